// The stop requests on Windows: the console's Ctrl-C, Ctrl-Break and close events reach a console
// control handler, which runs on a thread of its own and sets an event; wake-ups are events too,
// and the command's thread waits for both with WaitForMultipleObjects.
#include <atomic>
#include <cstdio>

#include "commands.h"
#include "console.h"
#include "stop_signals.h"
#include "unique_handle.h"

namespace {

// How long a read of the console that ended empty waits for the control handler: Ctrl-C ends the
// read at once, and its handler sets the event an instant later on another thread.
constexpr DWORD kControlHandlerDelayMs = 500;

// The event the control handler sets. Auto-reset, so that a wait consumes one stop request; set
// once for the process and never closed while the handler is installed.
std::atomic<HANDLE> g_stopEvent{nullptr};

BOOL WINAPI OnConsoleControl(DWORD type) {
    switch (type) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        SetEvent(g_stopEvent.load());
        return TRUE;
    case CTRL_CLOSE_EVENT:
        SetEvent(g_stopEvent.load());
        // The system ends the process as soon as this handler returns. Waiting here gives the
        // command the time the system allows (some seconds) to end its exchange and exit by
        // itself, which ends this thread.
        Sleep(INFINITE);
        return TRUE;
    default:
        return FALSE;
    }
}

// The stop event and the control handler, installed once and kept for the rest of the process:
// a second Ctrl-C while a worker is joined must not kill it.
struct ProcessStopRequests {
    UniqueHandle event;
    DWORD error = 0;

    ProcessStopRequests() {
        event.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!event.Valid()) {
            error = GetLastError();
            return;
        }
        g_stopEvent.store(event.Get());
        if (!SetConsoleCtrlHandler(OnConsoleControl, TRUE)) {
            error = GetLastError();
        }
    }
    ~ProcessStopRequests() {
        SetConsoleCtrlHandler(OnConsoleControl, FALSE);
        g_stopEvent.store(nullptr);
    }
};

ProcessStopRequests& StopRequests() {
    static ProcessStopRequests requests;
    return requests;
}

} // namespace

struct WakeEvent::Native {
    UniqueHandle event;
    DWORD error = 0;
};

WakeEvent::WakeEvent() : native_(std::make_unique<Native>()) {
    native_->event.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!native_->event.Valid()) {
        native_->error = GetLastError();
    }
}

WakeEvent::~WakeEvent() = default;

int WakeEvent::Check() const {
    if (native_->error != 0) {
        std::fprintf(stderr, "k720ctl: cannot wait for the exchange: %s\n",
                     SystemErrorText(static_cast<int>(native_->error)).c_str());
        return kExitFailed;
    }
    return kExitOk;
}

void WakeEvent::Set() {
    SetEvent(native_->event.Get());
}

struct StopSignals::Native {
    HANDLE stopEvent = nullptr; // owned by ProcessStopRequests
    DWORD error = 0;
};

StopSignals::StopSignals() : native_(std::make_unique<Native>()) {
    const ProcessStopRequests& requests = StopRequests();
    native_->stopEvent = requests.event.Get();
    native_->error = requests.error;
}

StopSignals::~StopSignals() = default;

int StopSignals::Check() const {
    if (native_->error != 0) {
        std::fprintf(stderr, "k720ctl: cannot take Ctrl-C: %s\n",
                     SystemErrorText(static_cast<int>(native_->error)).c_str());
        return kExitFailed;
    }
    return kExitOk;
}

StopSignals::Wait StopSignals::WaitFor(WakeEvent& wake) {
    // The stop event first: when both are set, the lower index is reported (and only it reset).
    const HANDLE handles[2] = {native_->stopEvent, wake.native_->event.Get()};
    switch (WaitForMultipleObjects(2, handles, FALSE, INFINITE)) {
    case WAIT_OBJECT_0:
        return Wait::Stopped;
    case WAIT_OBJECT_0 + 1:
        return Wait::Woken;
    default:
        std::fprintf(stderr, "k720ctl: cannot wait for the exchange: %s\n",
                     SystemErrorText(static_cast<int>(GetLastError())).c_str());
        return Wait::Failed;
    }
}

StopSignals::Input StopSignals::ReadInputByte(char& byte) {
    if (WaitForSingleObject(native_->stopEvent, 0) == WAIT_OBJECT_0) {
        return Input::Stopped;
    }
    DWORD got = 0;
    if (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &got, nullptr) && got == 1) {
        return Input::Byte;
    }
    // An empty read is the end of the input, or Ctrl-C, whose handler is about to set the event.
    if (WaitForSingleObject(native_->stopEvent, kControlHandlerDelayMs) == WAIT_OBJECT_0) {
        return Input::Stopped;
    }
    return Input::End;
}
