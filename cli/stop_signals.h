// The stop requests of k720ctl: Ctrl-C, and the terminal or console going away (on POSIX SIGINT,
// SIGTERM and SIGHUP on a signalfd; on Windows the console's Ctrl-C, Ctrl-Break and close events
// through a console control handler). They are taken as events, so that a command ends the
// exchange in progress and leaves the instrument and the file in order instead of dying in the
// middle of an exchange. Each system has its own implementation file (stop_signals_posix.cpp,
// stop_signals_win32.cpp); what both share is in stop_signals.cpp.
//
// A blocking core call (the port scan, the memory check, the reception's start) runs on a worker
// thread while the command's thread waits for the worker's end or a stop request. On a stop the
// worker is asked to stop and joined, which takes at most the reply budget of the exchange in
// progress.
#pragma once

#include <functional>
#include <memory>
#include <stop_token>

// A wake-up that worker threads send to the command's thread (an eventfd, or an event object).
// Several wake-ups before the command's thread looks count as one.
class WakeEvent {
public:
    WakeEvent();
    ~WakeEvent();
    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    // kExitOk when the event could be made; else prints why not and returns kExitFailed.
    [[nodiscard]] int Check() const;
    // Wakes the command's thread; called from any thread.
    void Set();

private:
    friend class StopSignals;
    struct Native;
    std::unique_ptr<Native> native_;
};

class StopSignals {
public:
    // Starts taking the stop requests as events. On POSIX it blocks the stop signals in the
    // calling thread, and so in every thread it starts afterwards: construct it before any thread
    // starts. They stay taken for the rest of the process, so a second request while a worker is
    // joined cannot kill it.
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // kExitOk when the requests are taken as events; else prints why not and returns kExitFailed.
    [[nodiscard]] int Check() const;

    enum class Wait { Woken, Stopped, Failed };
    // Waits until `wake` is set or a stop request comes, and consumes what it reports; a stop
    // request wins over a wake-up seen at the same time. Failed (with the reason on stderr) when
    // the system cannot wait any more.
    [[nodiscard]] Wait WaitFor(WakeEvent& wake);

    enum class Input { Byte, End, Stopped };
    // Reads one byte of standard input, waiting for it or a stop request (a stop request wins).
    // End at the end of the input or when it cannot be read.
    [[nodiscard]] Input ReadInputByte(char& byte);

    // Runs work(stop) on a worker thread until it returns or a stop request comes. On a stop the
    // worker's stop is requested, `onSignal` runs (for a core call that is cancelled otherwise),
    // and the worker is joined. Returns kExitOk when the work ran to its end, kExitInterrupted
    // after a stop request, kExitFailed (with the reason on stderr) when no worker could be run.
    [[nodiscard]] int Run(const std::function<void(std::stop_token)>& work,
                          const std::function<void()>& onSignal = {});

private:
    struct Native;
    std::unique_ptr<Native> native_;
};
