// Serves the simulated instrument on the master side of a pseudo-terminal, so that clients open
// the slave device exactly like a serial port.
#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/unique_fd.h"
#include "sim/instrument.h"

namespace sim {

struct ServerOptions {
    // Deliver bytes no faster than a 38400-baud 8N1 line: 10 bits a byte, for the command's bytes
    // and for the reply's, handed on in packets of up to 16 bytes as a USB bridge does.
    bool pace = false;
    // Extra delay between the end of a command and the start of its reply.
    std::chrono::microseconds latency{0};
    // Every received command line and port event is appended to this file as it happens.
    std::string logPath;
};

class SimServer {
public:
    SimServer(InstrumentState state, Faults faults = {}, ServerOptions options = {});
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Creates the pseudo-terminal and starts serving it. On failure returns false and says why.
    bool Start(std::string* error = nullptr);
    // Stops serving and removes the device. Safe to call more than once.
    void Stop();

    // The device path that clients open, such as /dev/pts/3.
    const std::string& DevicePath() const { return devicePath_; }

    std::vector<ProtocolEvent> Events() const;
    std::vector<std::string> Commands() const; // the command lines only, in order
    InstrumentState State() const;

private:
    using Clock = std::chrono::steady_clock;

    void Serve();
    bool ReadClientInput();
    bool HandlePortEvents();
    bool Respond(const Reaction& reaction, Clock::time_point commandStart,
                 std::size_t commandBytes);
    bool SleepUntil(Clock::time_point when);
    bool WriteToClient(const std::uint8_t* bytes, std::size_t count);
    void AppendNewEventsToLog();
    void HangUp();

    mutable std::mutex mutex_; // guards protocol_
    InstrumentProtocol protocol_;
    ServerOptions options_;
    std::string devicePath_;
    UniqueFd master_;
    UniqueFd slaveHold_; // keeps the slave side alive between the clients' opens
    UniqueFd portWatch_; // inotify on the slave device: its opens and closes
    UniqueFd wake_;      // eventfd that ends a wait when Stop() is called
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> log_{nullptr, &std::fclose};
    std::size_t eventsLogged_ = 0;
    std::size_t commandBytes_ = 0; // bytes of the command (or record) being received
    Clock::time_point commandStart_{};
    Clock::time_point lastInputAt_{};
    Clock::time_point receiveLineFreeAt_{};
    Clock::time_point sendLineFreeAt_{};
    std::thread thread_;
};

} // namespace sim
