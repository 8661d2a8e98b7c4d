#include "sim/pty_server.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/prctl.h>
#include <termios.h>

namespace sim {

namespace {

constexpr double kNanosecondsPerByte = 10.0 * 1e9 / 38400.0; // 8N1: 10 bits a byte
constexpr std::size_t kBridgePacketBytes = 16;

std::chrono::nanoseconds WireTime(std::size_t bytes) {
    return std::chrono::nanoseconds(std::llround(static_cast<double>(bytes) * kNanosecondsPerByte));
}

std::string SystemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

const char* EventLabel(ProtocolEvent::Kind kind) {
    switch (kind) {
    case ProtocolEvent::Kind::Command:
        return "command";
    case ProtocolEvent::Kind::TableRecord:
        return "entry";
    case ProtocolEvent::Kind::PortOpened:
        return "port opened";
    case ProtocolEvent::Kind::PortClosed:
        return "port closed";
    case ProtocolEvent::Kind::HungUp:
        return "hung up";
    }
    return "?";
}

} // namespace

SimServer::SimServer(InstrumentState state, Faults faults, ServerOptions options)
    : protocol_(std::move(state), std::move(faults)), options_(std::move(options)) {}

SimServer::~SimServer() {
    Stop();
}

bool SimServer::Start(std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error != nullptr) {
            *error = why;
        }
        master_.Reset();
        slaveHold_.Reset();
        portWatch_.Reset();
        wake_.Reset();
        return false;
    };
    if (thread_.joinable()) {
        return fail("already serving");
    }
    master_.Reset(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
    if (!master_.Valid()) {
        return fail(SystemError("posix_openpt"));
    }
    char name[128];
    if (grantpt(master_.Get()) != 0 || unlockpt(master_.Get()) != 0 ||
        ptsname_r(master_.Get(), name, sizeof name) != 0) {
        return fail(SystemError("pseudo-terminal set-up"));
    }
    devicePath_ = name;

    // Raw line discipline from the start: no echo, no line editing, no CR/LF translation.
    slaveHold_.Reset(open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!slaveHold_.Valid()) {
        return fail(SystemError("open pseudo-terminal"));
    }
    termios tio{};
    tcgetattr(slaveHold_.Get(), &tio);
    cfmakeraw(&tio);
    cfsetispeed(&tio, B38400);
    cfsetospeed(&tio, B38400);
    if (tcsetattr(slaveHold_.Get(), TCSANOW, &tio) != 0) {
        return fail(SystemError("raw mode"));
    }

    // Opens and closes of the device by clients; optional, only for the log and the framing reset.
    portWatch_.Reset(inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
    if (portWatch_.Valid() && inotify_add_watch(portWatch_.Get(), name,
                                                IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        portWatch_.Reset();
    }

    wake_.Reset(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wake_.Valid()) {
        return fail(SystemError("eventfd"));
    }
    if (!options_.logPath.empty()) {
        log_.reset(std::fopen(options_.logPath.c_str(), "a"));
        if (!log_) {
            return fail(SystemError(options_.logPath.c_str()));
        }
    }
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void SimServer::Stop() {
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(wake_.Get(), &one, sizeof one);
        thread_.join();
    }
    master_.Reset();
    slaveHold_.Reset();
    portWatch_.Reset();
    wake_.Reset();
    log_.reset();
}

std::vector<ProtocolEvent> SimServer::Events() const {
    std::lock_guard lock(mutex_);
    const std::deque<ProtocolEvent>& events = protocol_.Events();
    return {events.begin(), events.end()};
}

std::vector<std::string> SimServer::Commands() const {
    std::vector<std::string> commands;
    for (const ProtocolEvent& event : Events()) {
        if (event.kind == ProtocolEvent::Kind::Command) {
            commands.push_back(event.text);
        }
    }
    return commands;
}

InstrumentState SimServer::State() const {
    std::lock_guard lock(mutex_);
    return protocol_.State();
}

void SimServer::Serve() {
    // Wake-ups within microseconds of the deadline, for the line pacing.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    for (;;) {
        std::array<pollfd, 3> fds{
            {{wake_.Get(), POLLIN, 0}, {portWatch_.Get(), POLLIN, 0}, {master_.Get(), POLLIN, 0}}};
        if (ppoll(fds.data(), fds.size(), nullptr, nullptr) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[0].revents != 0) {
            return;
        }
        if ((fds[1].revents & POLLIN) && !HandlePortEvents()) {
            return;
        }
        if (fds[2].revents & POLLIN) {
            if (!ReadClientInput()) {
                return;
            }
        } else if (fds[2].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            return;
        }
    }
}

// Takes what the client has sent (one read) and answers what completes. False when serving
// has to end (the device hung up, the server is stopping, or the pseudo-terminal failed).
bool SimServer::ReadClientInput() {
    std::array<std::uint8_t, 4096> input{};
    const ssize_t n = read(master_.Get(), input.data(), input.size());
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        return true;
    }
    if (n <= 0) {
        return false;
    }
    const Clock::time_point arrived = Clock::now();
    if (arrived - lastInputAt_ > std::chrono::seconds(2)) {
        std::lock_guard lock(mutex_);
        protocol_.InputResumedAfterPause();
    }
    lastInputAt_ = arrived;
    for (ssize_t i = 0; i < n; ++i) {
        if (commandBytes_++ == 0) {
            commandStart_ = arrived;
        }
        std::optional<Reaction> reaction;
        {
            std::lock_guard lock(mutex_);
            reaction = protocol_.Receive(input[static_cast<std::size_t>(i)]);
        }
        if (!reaction) {
            continue;
        }
        AppendNewEventsToLog();
        if (reaction->hangUp) {
            HangUp();
            return false;
        }
        if (!Respond(*reaction, commandStart_, commandBytes_)) {
            return false;
        }
        commandBytes_ = 0;
    }
    return true;
}

// Notes the client's opens and closes. They are taken before the input that arrived with them, so
// a client that closes and opens again logs in order; the tail of a command written just before
// a close is still answered, only logged after the close.
bool SimServer::HandlePortEvents() {
    alignas(inotify_event) std::array<char, 4096> buffer;
    for (;;) {
        const ssize_t n = read(portWatch_.Get(), buffer.data(), buffer.size());
        if (n <= 0) {
            break;
        }
        for (ssize_t offset = 0; offset < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + offset);
            if (event->mask & IN_OPEN) {
                std::lock_guard lock(mutex_);
                protocol_.PortOpened();
            }
            if (event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) {
                std::lock_guard lock(mutex_);
                protocol_.PortClosed();
            }
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    AppendNewEventsToLog();
    return true;
}

// Sends the reply no earlier than a real line would deliver it: the command's own bytes first,
// then the latency, then the reply's bytes at one wire-time each.
bool SimServer::Respond(const Reaction& reaction, Clock::time_point commandStart,
                        std::size_t commandBytes) {
    Clock::time_point replyStart = Clock::now();
    if (options_.pace) {
        const Clock::time_point received =
            std::max(commandStart, receiveLineFreeAt_) + WireTime(commandBytes);
        receiveLineFreeAt_ = received;
        replyStart = std::max(received + options_.latency, sendLineFreeAt_);
    } else {
        replyStart += options_.latency;
    }
    const std::vector<std::uint8_t>& reply = reaction.reply;
    if (reply.empty()) {
        return true;
    }
    if (!options_.pace) {
        return SleepUntil(replyStart) && WriteToClient(reply.data(), reply.size());
    }
    // A USB-to-serial bridge passes received bytes on in small packets: each packet arrives
    // when its last byte has crossed the line.
    std::size_t sent = 0;
    while (sent < reply.size()) {
        const std::size_t packetEnd = std::min(sent + kBridgePacketBytes, reply.size());
        if (!SleepUntil(replyStart + WireTime(packetEnd)) ||
            !WriteToClient(reply.data() + sent, packetEnd - sent)) {
            return false;
        }
        sent = packetEnd;
    }
    sendLineFreeAt_ = replyStart + WireTime(reply.size());
    return true;
}

// Waits until `when`; false when Stop() was called meanwhile.
bool SimServer::SleepUntil(Clock::time_point when) {
    for (;;) {
        const auto left = when - Clock::now();
        if (left <= Clock::duration::zero()) {
            return true;
        }
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec timeout{static_cast<time_t>(ns / 1'000'000'000),
                               static_cast<long>(ns % 1'000'000'000)};
        pollfd wake{wake_.Get(), POLLIN, 0};
        const int ready = ppoll(&wake, 1, &timeout, nullptr);
        if (ready > 0) {
            return false;
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
}

bool SimServer::WriteToClient(const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t n = write(master_.Get(), bytes, count);
        if (n > 0) {
            bytes += n;
            count -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            return false;
        }
        std::array<pollfd, 2> fds{{{wake_.Get(), POLLIN, 0}, {master_.Get(), POLLOUT, 0}}};
        if (ppoll(fds.data(), fds.size(), nullptr, nullptr) < 0 && errno != EINTR) {
            return false;
        }
        if (fds[0].revents != 0) {
            return false;
        }
    }
    return true;
}

void SimServer::AppendNewEventsToLog() {
    if (!log_) {
        return;
    }
    std::lock_guard lock(mutex_);
    const std::deque<ProtocolEvent>& events = protocol_.Events();
    const std::size_t recorded = protocol_.EventsRecorded();
    // The events since the last call are the newest ones kept.
    const std::size_t fresh = std::min(recorded - eventsLogged_, events.size());
    for (auto event = events.end() - static_cast<std::ptrdiff_t>(fresh); event != events.end();
         ++event) {
        std::fprintf(log_.get(), "%s%s%s\n", EventLabel(event->kind),
                     event->text.empty() ? "" : " ", event->text.c_str());
    }
    eventsLogged_ = recorded;
    std::fflush(log_.get());
}

// The device disappears: both sides of the pseudo-terminal are closed.
void SimServer::HangUp() {
    master_.Reset();
    slaveHold_.Reset();
}

} // namespace sim
