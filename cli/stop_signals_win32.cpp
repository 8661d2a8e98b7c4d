// The stop requests on Windows: the console's Ctrl-C, Ctrl-Break and close events reach a console
// control handler, which runs on a thread of its own and sets an event; wake-ups are events too,
// and the command's thread waits for both with WaitForMultipleObjects.
#include <atomic>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "base/texts.h"
#include "base/unique_handle.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/stop_signals.h"

namespace {

// How long the end of the typed input waits for the control handler: Ctrl-C may end a console
// read at once, while its handler sets the stop event an instant later on another thread.
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

// One line typed on standard input, read by a thread of its own. A console read does not end on
// Ctrl-C everywhere (not under Wine), so the command's thread waits for the line's bytes and the
// stop event together instead of reading itself.
struct TypedLine {
    std::mutex mutex;
    std::deque<char> bytes;
    bool ended = false;   // the end of the input, or a failed read
    UniqueHandle arrived; // auto-reset: set for every byte and at the end

    // Reads up to the end of the line. Runs detached: a stop request leaves it waiting for input
    // that may never come, and the process's end ends it.
    static void Read(const std::shared_ptr<TypedLine>& line) {
        const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        for (;;) {
            char byte = 0;
            DWORD got = 0;
            const bool read = ReadFile(input, &byte, 1, &got, nullptr) && got == 1;
            {
                const std::lock_guard lock(line->mutex);
                if (read) {
                    line->bytes.push_back(byte);
                } else {
                    line->ended = true;
                }
            }
            SetEvent(line->arrived.Get());
            if (!read || byte == '\n') {
                return;
            }
        }
    }
};

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
        std::fprintf(stderr, "k720ctl: %s\n",
                     FillText(kMessages, K720_TEXT("Messages", "cannot wait for the exchange: %1"),
                              {SystemErrorText(static_cast<int>(native_->error)).c_str()})
                         .c_str());
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
    std::shared_ptr<TypedLine> typed; // the line being typed, once asked for

    // The end of the input, unless it came from Ctrl-C.
    StopSignals::Input End() const {
        return WaitForSingleObject(stopEvent, kControlHandlerDelayMs) == WAIT_OBJECT_0
                   ? StopSignals::Input::Stopped
                   : StopSignals::Input::End;
    }
};

StopSignals::StopSignals() : native_(std::make_unique<Native>()) {
    const ProcessStopRequests& requests = StopRequests();
    native_->stopEvent = requests.event.Get();
    native_->error = requests.error;
}

StopSignals::~StopSignals() = default;

int StopSignals::Check() const {
    if (native_->error != 0) {
        std::fprintf(stderr, "k720ctl: %s\n",
                     FillText(kMessages, K720_TEXT("Messages", "cannot take Ctrl-C: %1"),
                              {SystemErrorText(static_cast<int>(native_->error)).c_str()})
                         .c_str());
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
        std::fprintf(stderr, "k720ctl: %s\n",
                     FillText(kMessages, K720_TEXT("Messages", "cannot wait for the exchange: %1"),
                              {SystemErrorText(static_cast<int>(GetLastError())).c_str()})
                         .c_str());
        return Wait::Failed;
    }
}

StopSignals::Input StopSignals::ReadInputByte(char& byte) {
    if (WaitForSingleObject(native_->stopEvent, 0) == WAIT_OBJECT_0) {
        return Input::Stopped;
    }
    if (!native_->typed) {
        auto line = std::make_shared<TypedLine>();
        line->arrived.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!line->arrived.Valid()) {
            return Input::End;
        }
        try {
            std::thread(TypedLine::Read, line).detach();
        } catch (const std::system_error&) {
            return Input::End;
        }
        native_->typed = std::move(line);
    }
    TypedLine& line = *native_->typed;
    for (;;) {
        {
            const std::lock_guard lock(line.mutex);
            if (!line.bytes.empty()) {
                byte = line.bytes.front();
                line.bytes.pop_front();
                return Input::Byte;
            }
            if (line.ended) {
                return native_->End();
            }
        }
        const HANDLE handles[2] = {native_->stopEvent, line.arrived.Get()};
        switch (WaitForMultipleObjects(2, handles, FALSE, INFINITE)) {
        case WAIT_OBJECT_0:
            return Input::Stopped;
        case WAIT_OBJECT_0 + 1:
            break;
        default:
            return Input::End;
        }
    }
}
