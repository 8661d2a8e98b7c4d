// The stop requests on POSIX: SIGINT, SIGTERM and SIGHUP on a signalfd; wake-ups on an eventfd;
// both waited for with poll(). SIGPIPE is ignored.
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "base/texts.h"
#include "base/unique_fd.h"
#include "cli/commands.h"
#include "cli/stop_signals.h"

namespace {

sigset_t StopSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

// Polls `fd` beside the stop signals. Index 0 of the result is `fd`, index 1 the signals; false
// (with the reason on stderr) when poll() cannot be used.
bool PollWithSignals(int fd, int signalFd, short (&revents)[2]) {
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {signalFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue; // a stopped and continued process
            }
            std::perror("k720ctl");
            return false;
        }
        revents[0] = fds[0].revents;
        revents[1] = fds[1].revents;
        return true;
    }
}

} // namespace

struct WakeEvent::Native {
    UniqueFd fd;
    int error = 0;
};

WakeEvent::WakeEvent() : native_(std::make_unique<Native>()) {
    native_->fd.Reset(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!native_->fd.Valid()) {
        native_->error = errno;
    }
}

WakeEvent::~WakeEvent() = default;

int WakeEvent::Check() const {
    if (native_->error != 0) {
        std::fprintf(stderr, "k720ctl: %s\n",
                     FillText(kMessages, K720_TEXT("Messages", "cannot wait for the exchange: %1"),
                              {std::strerror(native_->error)})
                         .c_str());
        return kExitFailed;
    }
    return kExitOk;
}

void WakeEvent::Set() {
    // Adding 1 to the counter fails only when it is about to overflow, which wakes the reader all
    // the same.
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(native_->fd.Get(), &one, sizeof one);
}

struct StopSignals::Native {
    int error = 0;
    UniqueFd signalFd;

    // Consumes one pending stop signal; only called when poll() reported one.
    void Take() {
        signalfd_siginfo info{};
        [[maybe_unused]] const ssize_t n = read(signalFd.Get(), &info, sizeof info);
    }
};

StopSignals::StopSignals() : native_(std::make_unique<Native>()) {
    // A standard output that nobody reads (k720ctl ... | head) must not end an exchange half way:
    // writing to it fails instead, and the exchange runs to its end.
    std::signal(SIGPIPE, SIG_IGN);
    const sigset_t set = StopSignalSet();
    native_->error = pthread_sigmask(SIG_BLOCK, &set, nullptr);
    if (native_->error != 0) {
        return;
    }
    native_->signalFd.Reset(signalfd(-1, &set, SFD_CLOEXEC));
    if (!native_->signalFd.Valid()) {
        native_->error = errno;
    }
}

StopSignals::~StopSignals() = default;

int StopSignals::Check() const {
    if (native_->error != 0) {
        std::fprintf(stderr, "k720ctl: %s\n",
                     FillText(kMessages, K720_TEXT("Messages", "cannot take the stop signals: %1"),
                              {std::strerror(native_->error)})
                         .c_str());
        return kExitFailed;
    }
    return kExitOk;
}

StopSignals::Wait StopSignals::WaitFor(WakeEvent& wake) {
    for (;;) {
        short revents[2] = {};
        if (!PollWithSignals(wake.native_->fd.Get(), native_->signalFd.Get(), revents)) {
            return Wait::Failed;
        }
        if ((revents[0] | revents[1]) & (POLLERR | POLLNVAL)) {
            // Cannot happen with the descriptors held here.
            std::fprintf(stderr, "k720ctl: %s\n",
                         FillText(kMessages,
                                  K720_TEXT("Messages", "cannot wait for the exchange: %1"),
                                  {std::strerror(EBADF)})
                             .c_str());
            return Wait::Failed;
        }
        if (revents[1] & POLLIN) {
            native_->Take();
            return Wait::Stopped;
        }
        if (revents[0] & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = read(wake.native_->fd.Get(), &count, sizeof count);
            return Wait::Woken;
        }
    }
}

StopSignals::Input StopSignals::ReadInputByte(char& byte) {
    for (;;) {
        short revents[2] = {};
        if (!PollWithSignals(STDIN_FILENO, native_->signalFd.Get(), revents)) {
            return Input::End;
        }
        if (revents[1] & POLLIN) {
            native_->Take();
            return Input::Stopped;
        }
        const ssize_t n = read(STDIN_FILENO, &byte, 1);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n == 1 ? Input::Byte : Input::End;
    }
}
