// Test support for the measurement core: a simulated instrument on a pseudo-terminal attached to a
// port number, a scratch folder, and file helpers.
#pragma once

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <stdlib.h>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "link/comm.h"
#include "link/port_names.h"
#include "sim/instrument.h"
#include "sim/pty_server.h"
#include "tests/support/scratch_folder.h"

namespace measure_test {

// A simulated instrument served on a pseudo-terminal, reachable through Port().
class SimInstrument {
public:
    explicit SimInstrument(sim::InstrumentState state, sim::Faults faults = {},
                           sim::ServerOptions options = {})
        : server_(std::move(state), std::move(faults), std::move(options)) {
        std::string error;
        started_ = server_.Start(&error);
        EXPECT_TRUE(started_) << error;
        if (started_) {
            port_ = AttachPortDevice(server_.DevicePath());
            EXPECT_NE(port_, 0);
        }
        CommConfigure(kInstrumentBaud);
    }
    ~SimInstrument() {
        CommClose();
        server_.Stop();
        if (port_ != 0) {
            DetachPortDevice(port_);
        }
    }
    SimInstrument(const SimInstrument&) = delete;
    SimInstrument& operator=(const SimInstrument&) = delete;

    int Port() const { return port_; }
    sim::SimServer& Server() { return server_; }

    // The command lines received so far, once the instrument has had the time to take every byte
    // that was sent (the list stayed unchanged for a while).
    std::vector<std::string> SettledCommands() {
        using namespace std::chrono_literals;
        std::vector<std::string> last = server_.Commands();
        auto stableSince = std::chrono::steady_clock::now();
        const auto deadline = stableSince + 5s;
        while (std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(10ms);
            std::vector<std::string> now = server_.Commands();
            if (now != last) {
                last = std::move(now);
                stableSince = std::chrono::steady_clock::now();
            } else if (std::chrono::steady_clock::now() - stableSince >= 150ms) {
                break;
            }
        }
        return last;
    }

private:
    sim::SimServer server_;
    bool started_ = false;
    int port_ = 0;
};

// The command lines the serial link sent, as the link's trace reports them, whatever thread sent
// them. The instrument's own log can miss the last command before the port is closed (see
// SimInstrument::SettledCommands), this one cannot.
class SentCommands {
public:
    SentCommands() { CommSetTrace(&SentCommands::Sink, this); }
    ~SentCommands() { CommSetTrace(nullptr, nullptr); }
    SentCommands(const SentCommands&) = delete;
    SentCommands& operator=(const SentCommands&) = delete;

    std::vector<std::string> Lines() {
        std::lock_guard lock(mutex_);
        return lines_;
    }

private:
    static void Sink(CommTraceEvent event, const std::uint8_t* data, std::size_t size,
                     void* context) {
        if (event != CommTraceEvent::Sent) {
            return;
        }
        auto* self = static_cast<SentCommands*>(context);
        std::lock_guard lock(self->mutex_);
        self->lines_.emplace_back(reinterpret_cast<const char*>(data), size);
    }

    std::mutex mutex_;
    std::vector<std::string> lines_;
};

using test_support::ScratchFolder;

inline bool FileExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// While it lives, no file of this process may grow beyond `bytes` (a full disk): a write past it
// fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::size_t bytes) : oldHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit small = old_;
        small.rlim_cur = bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    void (*oldHandler_)(int);
    rlimit old_{};
};

// Splits a text at CR LF. A lone CR or LF stays inside its line (so a test sees it).
inline std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            if (start < text.size()) {
                lines.push_back(text.substr(start));
            }
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
}

} // namespace measure_test
