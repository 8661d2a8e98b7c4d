// Win32 serial link over the Windows communications API. Compiled only on Windows.
//
// Waits do not spin: before each wait the read time-outs are set so that ReadFile returns as soon
// as one byte arrives or the remaining budget is spent. Budgets run on GetTickCount64, which is
// monotonic.
#include "comm.h"
#include "port_names.h"

#define WIN32_LEAN_AND_MEAN
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <windows.h>

namespace {

constexpr DWORD kQueueSize = 0x80000;
constexpr ULONGLONG kReplyBudgetMs = kCommReplyBudgetMs;

struct PortState {
    HANDLE handle = INVALID_HANDLE_VALUE;
    DCB settings{};
    int timedOut = 0;
    int lastOpenError = 0;
    std::array<std::uint8_t, 4096> readAhead{};
    std::size_t head = 0;
    std::size_t tail = 0;
    CommTraceSink traceSink = nullptr;
    void* traceContext = nullptr;
};

PortState g_port;

void Trace(CommTraceEvent event, const void* data = nullptr, std::size_t size = 0) {
    if (g_port.traceSink != nullptr) {
        g_port.traceSink(event, static_cast<const std::uint8_t*>(data), size, g_port.traceContext);
    }
}

void DropReadAhead() {
    g_port.head = g_port.tail = 0;
}
bool HasReadAhead() {
    return g_port.head < g_port.tail;
}

enum class Wait { Data, TimedOut, DeviceFailed };

// Makes at least one received byte available, or says why not. A failed line-status request
// (the device is gone) is a device failure.
Wait FillReadAhead(ULONGLONG deadline) {
    if (HasReadAhead()) {
        return Wait::Data;
    }
    DropReadAhead();
    for (;;) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(g_port.handle, &errors, &status)) {
            return Wait::DeviceFailed;
        }
        const ULONGLONG now = GetTickCount64();
        if (status.cbInQue == 0 && now >= deadline) {
            return Wait::TimedOut;
        }
        DWORD want = status.cbInQue == 0 ? 1 : status.cbInQue;
        if (want > g_port.readAhead.size()) {
            want = static_cast<DWORD>(g_port.readAhead.size());
        }
        // Block in the driver until a byte arrives or the rest of the budget is spent.
        COMMTIMEOUTS timeouts{};
        GetCommTimeouts(g_port.handle, &timeouts);
        timeouts.ReadIntervalTimeout = MAXDWORD;
        timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
        timeouts.ReadTotalTimeoutConstant =
            status.cbInQue != 0 ? 1 : static_cast<DWORD>(deadline - now);
        if (!SetCommTimeouts(g_port.handle, &timeouts)) {
            return Wait::DeviceFailed;
        }
        DWORD got = 0;
        if (!ReadFile(g_port.handle, g_port.readAhead.data(), want, &got, nullptr)) {
            return Wait::DeviceFailed;
        }
        if (got > 0) {
            g_port.tail = got;
            return Wait::Data;
        }
    }
}

bool WriteAll(const std::uint8_t* bytes, std::size_t count) {
    DWORD written = 0;
    return WriteFile(g_port.handle, bytes, static_cast<DWORD>(count), &written, nullptr) &&
           written == count;
}

int FailOpen(const std::string& path) {
    g_port.lastOpenError = static_cast<int>(GetLastError());
    Trace(CommTraceEvent::OpenFailed, path.data(), path.size());
    CommClose();
    return 0;
}

} // namespace

void CommConfigure(std::uint32_t baud) {
    DCB& dcb = g_port.settings;
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = baud;
    dcb.fBinary = 1;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.XonLim = 200;
    dcb.XoffLim = 400;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.ErrorChar = 0x00;
    dcb.EofChar = 0x1A;
    dcb.EvtChar = 0x00;
}

int CommOpen(int port) {
    if (port < kFirstPortNumber || port > kLastPortNumber) {
        return 0;
    }
    CommClose();
    const std::string path = PortDevicePath(port);
    g_port.handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (g_port.handle == INVALID_HANDLE_VALUE) {
        return FailOpen(path);
    }
    if (!SetCommMask(g_port.handle, 0) || !SetupComm(g_port.handle, kQueueSize, kQueueSize) ||
        !SetCommState(g_port.handle, &g_port.settings)) {
        return FailOpen(path);
    }
    COMMTIMEOUTS timeouts{};
    if (!GetCommTimeouts(g_port.handle, &timeouts)) {
        return FailOpen(path);
    }
    timeouts.WriteTotalTimeoutMultiplier = 2;
    timeouts.WriteTotalTimeoutConstant = 2000;
    if (!SetCommTimeouts(g_port.handle, &timeouts)) {
        return FailOpen(path);
    }
    DropReadAhead();
    g_port.lastOpenError = 0;
    Trace(CommTraceEvent::Opened, path.data(), path.size());
    return 1;
}

int CommClose() {
    if (g_port.handle == INVALID_HANDLE_VALUE) {
        return 0;
    }
    const BOOL closed = CloseHandle(g_port.handle);
    g_port.handle = INVALID_HANDLE_VALUE;
    DropReadAhead();
    Trace(CommTraceEvent::Closed);
    return closed ? 1 : 0;
}

int CommSendCommand(const char* text) {
    if (g_port.handle == INVALID_HANDLE_VALUE || text == nullptr) {
        return 0;
    }
    static constexpr std::uint8_t kTerminator[] = {0x0D, 0x0A};
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
    const std::size_t length = std::strlen(text);
    Trace(CommTraceEvent::Sent, bytes, length);
    if (!WriteAll(bytes, length) || !WriteAll(kTerminator, sizeof kTerminator)) {
        PurgeComm(g_port.handle, PURGE_TXCLEAR);
        return 0;
    }
    return 1;
}

int CommSendBytes(const std::uint8_t* bytes, std::size_t count) {
    if (g_port.handle == INVALID_HANDLE_VALUE || (bytes == nullptr && count != 0)) {
        return 0;
    }
    Trace(CommTraceEvent::SentBytes, bytes, count);
    if (!WriteAll(bytes, count)) {
        PurgeComm(g_port.handle, PURGE_TXCLEAR);
        return 0;
    }
    return 1;
}

int CommReadLine(char* buffer, std::size_t capacity) {
    if (g_port.handle == INVALID_HANDLE_VALUE || buffer == nullptr || capacity == 0) {
        return 0;
    }
    const ULONGLONG deadline = GetTickCount64() + kReplyBudgetMs;
    g_port.timedOut = 0;
    std::size_t length = 0;
    for (;;) {
        const Wait wait = FillReadAhead(deadline);
        if (wait == Wait::DeviceFailed) {
            Trace(CommTraceEvent::DeviceFailed);
            CommClose();
            return 0;
        }
        if (wait == Wait::Data) {
            while (HasReadAhead()) {
                const std::uint8_t byte = g_port.readAhead[g_port.head++];
                if (byte == 0x0A) {
                    buffer[length] = '\0';
                    Trace(CommTraceEvent::LineRead, buffer, length);
                    return 1;
                }
                if (byte >= 0x20 && length + 1 < capacity) {
                    buffer[length++] = static_cast<char>(byte);
                }
            }
            if (GetTickCount64() < deadline) {
                continue;
            }
        }
        g_port.timedOut = 1;
        CommPurge();
        buffer[length] = '\0';
        Trace(CommTraceEvent::LineTimedOut, buffer, length);
        return 1;
    }
}

int CommReadByte(std::uint8_t* byte) {
    if (g_port.handle == INVALID_HANDLE_VALUE || byte == nullptr) {
        return 0;
    }
    const Wait wait = FillReadAhead(GetTickCount64() + kReplyBudgetMs);
    if (wait == Wait::Data) {
        *byte = g_port.readAhead[g_port.head++];
        Trace(CommTraceEvent::ByteRead, byte, 1);
        return 1;
    }
    Trace(wait == Wait::TimedOut ? CommTraceEvent::ByteTimedOut : CommTraceEvent::DeviceFailed);
    CommClose();
    return 0;
}

void CommPurge() {
    if (g_port.handle == INVALID_HANDLE_VALUE) {
        return;
    }
    PurgeComm(g_port.handle, PURGE_TXCLEAR);
    PurgeComm(g_port.handle, PURGE_RXCLEAR);
    DropReadAhead();
}

int CommTimedOut() {
    return g_port.timedOut;
}

int CommLastOpenError() {
    return g_port.lastOpenError;
}

void CommSetTrace(CommTraceSink sink, void* context) {
    g_port.traceSink = sink;
    g_port.traceContext = context;
}
