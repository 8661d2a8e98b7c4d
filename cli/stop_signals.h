// The stop signals of k720ctl: SIGINT (Ctrl-C), SIGTERM and SIGHUP (the terminal closed) are
// taken as events on a signalfd, so that a command ends the exchange in progress and leaves the
// instrument and the file in order instead of dying in the middle of an exchange.
//
// A blocking core call (the port scan, the memory check, the reception's start) runs on a worker
// thread while the command's thread waits in poll() for the worker's end or a stop signal. On a
// signal the worker is asked to stop and joined, which takes at most the reply budget of the
// exchange in progress.
#pragma once

#include <functional>
#include <stop_token>

#include "unique_fd.h"

class StopSignals {
public:
    // Blocks the stop signals in the calling thread, and so in every thread it starts afterwards:
    // construct it before any thread starts. They stay blocked for the rest of the process, so a
    // second signal while a worker is joined cannot kill it.
    StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // kExitOk when the signals are taken as events; else prints why not and returns kExitFailed.
    [[nodiscard]] int Check() const;

    // Readable while a stop signal is pending.
    int Fd() const { return signalFd_.Get(); }
    // Consumes one pending stop signal.
    void Take();

    // Runs work(stop) on a worker thread until it returns or a stop signal comes. On a signal the
    // worker's stop is requested, `onSignal` runs (for a core call that is cancelled otherwise),
    // and the worker is joined. Returns kExitOk when the work ran to its end, kExitInterrupted
    // after a signal, kExitFailed (with the reason on stderr) when no worker could be run.
    [[nodiscard]] int Run(const std::function<void(std::stop_token)>& work,
                          const std::function<void()>& onSignal = {});

private:
    int error_ = 0;
    UniqueFd signalFd_;
};

// An eventfd on which the workers' reports wake the command's thread (it polls it beside the stop
// signals). kExitOk, or the reason on stderr and kExitFailed.
[[nodiscard]] int OpenWakeFd(UniqueFd& fd);
