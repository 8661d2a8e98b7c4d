// Windows port names: the number is the COM port number.
#include <cctype>
#include <charconv>
#include <string_view>

#include "link/port_names.h"

std::string PortDevicePath(int port) {
    if (port < kFirstPortNumber || port > kLastPortNumber) {
        return {};
    }
    // Ports from 10 up are reachable only through the device namespace.
    return (port < 10 ? "COM" : "\\\\.\\COM") + std::to_string(port);
}

int PortNumberByRule(const std::string& devicePath) {
    std::string_view name = devicePath;
    if (name.starts_with("\\\\.\\")) {
        name.remove_prefix(4);
    }
    // Device names are case-insensitive on Windows: "com5" is COM5.
    if (name.size() < 3 || std::toupper(static_cast<unsigned char>(name[0])) != 'C' ||
        std::toupper(static_cast<unsigned char>(name[1])) != 'O' ||
        std::toupper(static_cast<unsigned char>(name[2])) != 'M') {
        return 0;
    }
    name.remove_prefix(3);
    int port = 0;
    auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), port);
    if (error != std::errc() || end != name.data() + name.size() || port < kFirstPortNumber ||
        port > kLastPortNumber) {
        return 0;
    }
    return port;
}

int AttachPortDevice(const std::string& devicePath) {
    return PortNumberByRule(devicePath);
}

void DetachPortDevice(int) {}
