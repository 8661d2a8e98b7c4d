// What the benchmarks share: the simulator as a child process (so that its CPU time is not counted
// as ours), the count of bytes that crossed the line, this process's CPU time and peak memory,
// a wait for an engine's end report, the milliseconds since a start, and the --help of every
// benchmark program.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <utility>
#include <vector>

#include "link/comm.h"
#include "tests/support/child_process.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// k720-sim, started from beside this program with `options`.
class Simulator {
public:
    explicit Simulator(std::vector<std::string> options)
        : process_(
              (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "k720-sim").string(),
              std::move(options)) {
        const std::string firstLine = process_.OutputUntil("\n");
        device_ = firstLine.substr(0, firstLine.find('\n'));
    }
    ~Simulator() {
        process_.Signal(SIGTERM);
        process_.Wait();
    }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Empty when the simulator did not start.
    const std::string& Device() const { return device_; }

private:
    ChildProcess process_;
    std::string device_;
};

// Counts the bytes that cross the line in both directions, from the link's trace.
struct WireCount {
    std::size_t bytes = 0;

    // At 38400 baud 8N1: ten bits a byte.
    double Seconds() const { return static_cast<double>(bytes) * 10.0 / kInstrumentBaud; }

    static void Sink(CommTraceEvent event, const std::uint8_t*, std::size_t size, void* context) {
        auto& count = static_cast<WireCount*>(context)->bytes;
        switch (event) {
        case CommTraceEvent::Sent:
            count += size + 2; // CR LF follows every command
            break;
        case CommTraceEvent::SentBytes:
            count += size;
            break;
        case CommTraceEvent::LineRead:
            count += size + 2; // the instrument ends lines with CR LF
            break;
        case CommTraceEvent::LineTimedOut:
            count += size;
            break;
        case CommTraceEvent::ByteRead:
            count += 1;
            break;
        default:
            break;
        }
    }
};

// Waits for an engine's end report, which arrives on one of its threads.
template <typename End>
class EndWaiter {
public:
    void Set(End end) {
        std::lock_guard lock(mutex_);
        end_ = std::move(end);
        cv_.notify_all();
    }
    End Wait() {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [this] { return end_.has_value(); });
        return *end_;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::optional<End> end_;
};

inline double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

inline double PeakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// True when the command line asks for help; prints `help` then. A benchmark takes no other
// argument.
inline bool AskedForHelp(int argc, char** argv, const char* help) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(help, stdout);
            return true;
        }
    }
    return false;
}

} // namespace bench
