#include <array>
#include <charconv>
#include <cstdlib>
#include <mutex>
#include <string_view>

#include "link/port_names.h"

namespace {

struct RuleRange {
    std::string_view prefix; // device path before the index
    int firstPort;
    int count;
};

constexpr std::array<RuleRange, 3> kRule{{
    {"/dev/ttyUSB", 1, 64},
    {"/dev/ttyACM", 65, 64},
    {"/dev/ttyS", 129, 32},
}};

constexpr int kAttachedCount = kLastPortNumber - kFirstAttachedPortNumber + 1;

std::mutex g_attachedMutex;
std::array<std::string, kAttachedCount> g_attached; // "" = free

// The decimal index that follows `prefix` in `path`, or -1 when the path does not have that form.
int IndexAfter(std::string_view path, std::string_view prefix) {
    if (!path.starts_with(prefix) || path.size() == prefix.size()) {
        return -1;
    }
    std::string_view digits = path.substr(prefix.size());
    if (digits.size() > 1 && digits.front() == '0') {
        return -1; // "/dev/ttyUSB01" is not a device name the kernel gives
    }
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return -1; // "/dev/ttyS-0" is another device than "/dev/ttyS0"
        }
    }
    int index = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return -1;
    }
    return index;
}

std::string ResolvedPath(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        return path;
    }
    std::string result(resolved);
    std::free(resolved);
    return result;
}

} // namespace

int PortNumberByRule(const std::string& devicePath) {
    for (const RuleRange& range : kRule) {
        const int index = IndexAfter(devicePath, range.prefix);
        if (index >= 0 && index < range.count) {
            return range.firstPort + index;
        }
    }
    return 0;
}

std::string PortDevicePath(int port) {
    for (const RuleRange& range : kRule) {
        if (port >= range.firstPort && port < range.firstPort + range.count) {
            return std::string(range.prefix) + std::to_string(port - range.firstPort);
        }
    }
    if (port >= kFirstAttachedPortNumber && port <= kLastPortNumber) {
        std::lock_guard lock(g_attachedMutex);
        return g_attached[port - kFirstAttachedPortNumber];
    }
    return {};
}

int AttachPortDevice(const std::string& devicePath) {
    if (devicePath.empty()) {
        return 0;
    }
    if (const int byRule = PortNumberByRule(devicePath); byRule != 0) {
        return byRule;
    }
    if (const int byLink = PortNumberByRule(ResolvedPath(devicePath)); byLink != 0) {
        return byLink;
    }
    std::lock_guard lock(g_attachedMutex);
    int freeSlot = -1;
    for (int i = 0; i < kAttachedCount; ++i) {
        if (g_attached[i] == devicePath) {
            return kFirstAttachedPortNumber + i;
        }
        if (freeSlot < 0 && g_attached[i].empty()) {
            freeSlot = i;
        }
    }
    if (freeSlot < 0) {
        return 0;
    }
    g_attached[freeSlot] = devicePath;
    return kFirstAttachedPortNumber + freeSlot;
}

void DetachPortDevice(int port) {
    if (port >= kFirstAttachedPortNumber && port <= kLastPortNumber) {
        std::lock_guard lock(g_attachedMutex);
        g_attached[port - kFirstAttachedPortNumber].clear();
    }
}
