// The serial device over the Windows communications API. Compiled only on Windows.
//
// Waits do not spin: before each wait the read time-outs are set so that ReadFile returns as soon
// as one byte arrives or the remaining budget is spent. Writes are bounded by the driver's write
// time-outs (2 ms a byte plus 2000 ms), set when the port is opened.
#include <cstring>

#include "base/unique_handle.h"
#include "link/serial_device.h"

namespace {

using Clock = SerialDevice::Clock;
using ReadResult = SerialDevice::ReadResult;

constexpr DWORD kQueueSize = 0x80000;

DWORD MillisecondsUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<DWORD>(left);
}

class Win32SerialDevice final : public SerialDevice {
public:
    void Configure(std::uint32_t baud) override;
    int Open(const std::string& path) override;
    bool IsOpen() override { return port_.Valid(); }
    bool Close() override;
    bool Write(const std::uint8_t* bytes, std::size_t count, Clock::time_point deadline) override;
    ReadResult Read(std::uint8_t* buffer, std::size_t capacity, std::size_t* got,
                    Clock::time_point deadline) override;
    void DiscardOutput() override;
    std::size_t DiscardInput() override;

private:
    // The open port; closed with the device if nobody closed it before.
    UniqueHandle port_;
    DCB settings_{};
};

void Win32SerialDevice::Configure(std::uint32_t baud) {
    DCB& dcb = settings_;
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

int Win32SerialDevice::Open(const std::string& path) {
    const HANDLE opened = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    const DWORD openError = GetLastError(); // before a handle still open is closed
    port_.Reset(opened);
    if (!port_.Valid()) {
        return static_cast<int>(openError);
    }
    const HANDLE port = port_.Get();
    COMMTIMEOUTS timeouts{};
    if (!SetCommMask(port, 0) || !SetupComm(port, kQueueSize, kQueueSize) ||
        !SetCommState(port, &settings_) || !GetCommTimeouts(port, &timeouts)) {
        const int error = static_cast<int>(GetLastError());
        Close();
        return error;
    }
    timeouts.WriteTotalTimeoutMultiplier = 2;
    timeouts.WriteTotalTimeoutConstant = 2000;
    if (!SetCommTimeouts(port, &timeouts)) {
        const int error = static_cast<int>(GetLastError());
        Close();
        return error;
    }
    return 0;
}

bool Win32SerialDevice::Close() {
    if (!port_.Valid()) {
        return false;
    }
    return CloseHandle(port_.Release()) != FALSE;
}

bool Win32SerialDevice::Write(const std::uint8_t* bytes, std::size_t count, Clock::time_point) {
    DWORD written = 0;
    return WriteFile(port_.Get(), bytes, static_cast<DWORD>(count), &written, nullptr) &&
           written == count;
}

ReadResult Win32SerialDevice::Read(std::uint8_t* buffer, std::size_t capacity, std::size_t* got,
                                   Clock::time_point deadline) {
    for (;;) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(port_.Get(), &errors, &status)) {
            return ReadResult::DeviceFailed;
        }
        const DWORD left = MillisecondsUntil(deadline);
        if (status.cbInQue == 0 && left == 0) {
            return ReadResult::TimedOut;
        }
        DWORD want = status.cbInQue == 0 ? 1 : status.cbInQue;
        if (want > capacity) {
            want = static_cast<DWORD>(capacity);
        }
        // Block in the driver until a byte arrives or the rest of the budget is spent.
        COMMTIMEOUTS timeouts{};
        GetCommTimeouts(port_.Get(), &timeouts);
        timeouts.ReadIntervalTimeout = MAXDWORD;
        timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
        timeouts.ReadTotalTimeoutConstant = status.cbInQue != 0 ? 1 : left;
        if (!SetCommTimeouts(port_.Get(), &timeouts)) {
            return ReadResult::DeviceFailed;
        }
        DWORD read = 0;
        if (!ReadFile(port_.Get(), buffer, want, &read, nullptr)) {
            return ReadResult::DeviceFailed;
        }
        if (read > 0) {
            *got = read;
            return ReadResult::Data;
        }
    }
}

void Win32SerialDevice::DiscardOutput() {
    if (port_.Valid()) {
        PurgeComm(port_.Get(), PURGE_TXCLEAR);
    }
}

std::size_t Win32SerialDevice::DiscardInput() {
    // Read out rather than purged: a byte that arrives between counting and purging would be
    // dropped uncounted, and the caller would take a line out of step for a clean one.
    std::size_t discarded = 0;
    COMMTIMEOUTS timeouts{};
    if (!port_.Valid() || !GetCommTimeouts(port_.Get(), &timeouts)) {
        return 0;
    }
    // A read that returns at once with what the driver holds.
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    if (!SetCommTimeouts(port_.Get(), &timeouts)) {
        return 0;
    }
    std::uint8_t buffer[256];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(port_.Get(), buffer, sizeof buffer, &read, nullptr) || read == 0) {
            return discarded;
        }
        discarded += read;
    }
}

} // namespace

std::unique_ptr<SerialDevice> MakeSystemSerialDevice() {
    return std::make_unique<Win32SerialDevice>();
}
