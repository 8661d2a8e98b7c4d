#include "stop_signals.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <system_error>
#include <thread>

#include "commands.h"

namespace {

sigset_t StopSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

int WorkerFailed(int error) {
    std::fprintf(stderr, "k720ctl: cannot run the exchange: %s\n", std::strerror(error));
    return kExitFailed;
}

} // namespace

StopSignals::StopSignals() {
    const sigset_t set = StopSignalSet();
    error_ = pthread_sigmask(SIG_BLOCK, &set, nullptr);
    if (error_ != 0) {
        return;
    }
    signalFd_.Reset(signalfd(-1, &set, SFD_CLOEXEC));
    if (!signalFd_.Valid()) {
        error_ = errno;
    }
}

int StopSignals::Check() const {
    if (error_ != 0) {
        std::fprintf(stderr, "k720ctl: cannot take the stop signals: %s\n", std::strerror(error_));
        return kExitFailed;
    }
    return kExitOk;
}

void StopSignals::Take() {
    signalfd_siginfo info{};
    // Only called when poll() reported the descriptor readable: the read does not block.
    [[maybe_unused]] const ssize_t n = read(signalFd_.Get(), &info, sizeof info);
}

int StopSignals::Run(const std::function<void(std::stop_token)>& work,
                     const std::function<void()>& onSignal) {
    const UniqueFd done(eventfd(0, EFD_CLOEXEC));
    if (!done.Valid()) {
        return WorkerFailed(errno);
    }
    std::jthread worker;
    try {
        worker = std::jthread([&work, fd = done.Get()](std::stop_token stop) {
            work(stop);
            // Adding 1 to a fresh eventfd counter cannot overflow, so the write cannot fail.
            const std::uint64_t one = 1;
            [[maybe_unused]] const ssize_t n = write(fd, &one, sizeof one);
        });
    } catch (const std::system_error& error) {
        return WorkerFailed(error.code().value());
    }

    int status = kExitOk;
    pollfd fds[2] = {{done.Get(), POLLIN, 0}, {signalFd_.Get(), POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue; // a stopped and continued process
            }
            // The worker still ends within its budgets; waiting for it is all that is left.
            status = WorkerFailed(errno);
            worker.request_stop();
            break;
        }
        if ((fds[0].revents | fds[1].revents) & (POLLERR | POLLNVAL)) {
            status = WorkerFailed(EBADF); // cannot happen with the two descriptors held here
            worker.request_stop();
            break;
        }
        // A signal wins over an end seen at the same time: the user asked to stop.
        if (fds[1].revents & POLLIN) {
            Take();
            worker.request_stop();
            if (onSignal) {
                onSignal();
            }
            status = kExitInterrupted;
            break;
        }
        if (fds[0].revents & POLLIN) {
            break;
        }
    }
    worker.join();
    return status;
}

int OpenWakeFd(UniqueFd& fd) {
    fd.Reset(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!fd.Valid()) {
        std::perror("k720ctl");
        return kExitFailed;
    }
    return kExitOk;
}
