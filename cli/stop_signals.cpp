// What the stop requests do on every system: a core call on a worker thread, waited for.
#include "cli/stop_signals.h"

#include <cstdio>
#include <system_error>
#include <thread>

#include "base/texts.h"
#include "cli/commands.h"

int StopSignals::Run(const std::function<void(std::stop_token)>& work,
                     const std::function<void()>& onSignal) {
    WakeEvent done;
    if (const int status = done.Check(); status != kExitOk) {
        return status;
    }
    std::jthread worker;
    try {
        worker = std::jthread([&work, &done](std::stop_token stop) {
            work(stop);
            done.Set();
        });
    } catch (const std::system_error& error) {
        std::fprintf(stderr, "k720ctl: %s\n",
                     FillText(kMessages, K720_TEXT("Messages", "cannot run the exchange: %1"),
                              {error.what()})
                         .c_str());
        return kExitFailed;
    }

    int status = kExitOk;
    switch (WaitFor(done)) {
    case Wait::Woken:
        break;
    case Wait::Stopped:
        worker.request_stop();
        if (onSignal) {
            onSignal();
        }
        status = kExitInterrupted;
        break;
    case Wait::Failed:
        // The worker still ends within its budgets; waiting for it is all that is left.
        worker.request_stop();
        status = kExitFailed;
        break;
    }
    worker.join();
    return status;
}
