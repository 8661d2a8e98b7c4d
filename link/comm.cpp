// The serial link's framing, budgets and module state, the same on every operating system, over
// the device installed under it (the system's unless a program installed another).
#include "link/comm.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "link/port_names.h"
#include "link/serial_device.h"

namespace {

using Clock = SerialDevice::Clock;
using ReadResult = SerialDevice::ReadResult;

constexpr std::chrono::milliseconds kReplyBudget{kCommReplyBudgetMs};
constexpr std::chrono::milliseconds kWriteBudgetBase{2000};
constexpr std::chrono::milliseconds kWriteBudgetPerByte{2};

struct LinkState {
    std::unique_ptr<SerialDevice> systemDevice = MakeSystemSerialDevice();
    // The device the link uses: the system's unless a program installed another.
    SerialDevice* device = systemDevice.get();
    int timedOut = 0;
    int lastOpenError = 0;
    // Bytes read from the device but not yet handed out, so that nothing received is lost
    // between two reads.
    std::array<std::uint8_t, 4096> readAhead{};
    std::size_t head = 0;
    std::size_t tail = 0;
    CommTraceSink traceSink = nullptr;
    void* traceContext = nullptr;
};

LinkState g_link;

SerialDevice& Device() {
    return *g_link.device;
}

void Trace(CommTraceEvent event, const void* data = nullptr, std::size_t size = 0) {
    if (g_link.traceSink != nullptr) {
        g_link.traceSink(event, static_cast<const std::uint8_t*>(data), size, g_link.traceContext);
    }
}

void DropReadAhead() {
    g_link.head = g_link.tail = 0;
}

bool HasReadAhead() {
    return g_link.head < g_link.tail;
}

// Makes at least one received byte available in the read-ahead buffer, or says why not.
ReadResult FillReadAhead(Clock::time_point deadline) {
    if (HasReadAhead()) {
        return ReadResult::Data;
    }
    DropReadAhead();
    return Device().Read(g_link.readAhead.data(), g_link.readAhead.size(), &g_link.tail, deadline);
}

bool WriteWithinBudget(const std::uint8_t* bytes, std::size_t count) {
    const auto deadline =
        Clock::now() + kWriteBudgetBase + kWriteBudgetPerByte * static_cast<long>(count);
    return Device().Write(bytes, count, deadline);
}

// The device failed under a read: the port is closed, as after a failed line-status request.
void DeviceFailed() {
    Trace(CommTraceEvent::DeviceFailed);
    CommClose();
}

} // namespace

void CommConfigure(std::uint32_t baud) {
    Device().Configure(baud);
}

int CommOpen(int port) {
    if (port < kFirstPortNumber || port > kLastPortNumber) {
        return 0;
    }
    CommClose(); // never leak a port that a caller forgot to close
    const std::string path = PortDevicePath(port);
    const int error = path.empty() ? ENOENT : Device().Open(path);
    g_link.lastOpenError = error;
    if (error != 0) {
        Trace(CommTraceEvent::OpenFailed, path.data(), path.size());
        return 0;
    }
    DropReadAhead();
    Trace(CommTraceEvent::Opened, path.data(), path.size());
    return 1;
}

int CommClose() {
    if (!Device().IsOpen()) {
        return 0;
    }
    const bool closed = Device().Close();
    DropReadAhead();
    Trace(CommTraceEvent::Closed);
    return closed ? 1 : 0;
}

int CommSendCommand(const char* text) {
    if (!Device().IsOpen() || text == nullptr) {
        return 0;
    }
    static constexpr std::uint8_t kTerminator[] = {0x0D, 0x0A};
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
    const std::size_t length = std::strlen(text);
    Trace(CommTraceEvent::Sent, bytes, length);
    if (!WriteWithinBudget(bytes, length) || !WriteWithinBudget(kTerminator, sizeof kTerminator)) {
        Device().DiscardOutput();
        return 0;
    }
    return 1;
}

int CommSendBytes(const std::uint8_t* bytes, std::size_t count) {
    if (!Device().IsOpen() || (bytes == nullptr && count != 0)) {
        return 0;
    }
    Trace(CommTraceEvent::SentBytes, bytes, count);
    if (!WriteWithinBudget(bytes, count)) {
        Device().DiscardOutput();
        return 0;
    }
    return 1;
}

int CommReadLine(char* buffer, std::size_t capacity) {
    // First, so that a call that fails never reports an earlier call's time-out.
    g_link.timedOut = 0;
    if (!Device().IsOpen() || buffer == nullptr || capacity == 0) {
        return 0;
    }
    const Clock::time_point deadline = Clock::now() + kReplyBudget;
    std::size_t length = 0;
    for (;;) {
        const ReadResult result = FillReadAhead(deadline);
        if (result == ReadResult::DeviceFailed) {
            DeviceFailed();
            return 0;
        }
        if (result == ReadResult::Data) {
            while (HasReadAhead()) {
                const std::uint8_t byte = g_link.readAhead[g_link.head++];
                if (byte == 0x0A) {
                    buffer[length] = '\0';
                    Trace(CommTraceEvent::LineRead, buffer, length);
                    return 1;
                }
                // Control bytes (CR among them) are not part of the reply; bytes past the
                // capacity are dropped up to the LF.
                if (byte >= 0x20 && length + 1 < capacity) {
                    buffer[length++] = static_cast<char>(byte);
                }
            }
            if (Clock::now() < deadline) {
                continue;
            }
        }
        // The budget is spent: the line comes back cut and flagged.
        g_link.timedOut = 1;
        CommPurge();
        buffer[length] = '\0';
        Trace(CommTraceEvent::LineTimedOut, buffer, length);
        return 1;
    }
}

int CommReadByte(std::uint8_t* byte) {
    if (!Device().IsOpen() || byte == nullptr) {
        return 0;
    }
    switch (FillReadAhead(Clock::now() + kReplyBudget)) {
    case ReadResult::Data:
        *byte = g_link.readAhead[g_link.head++];
        Trace(CommTraceEvent::ByteRead, byte, 1);
        return 1;
    case ReadResult::TimedOut:
        Trace(CommTraceEvent::ByteTimedOut);
        CommClose();
        return 0;
    case ReadResult::DeviceFailed:
        DeviceFailed();
        return 0;
    }
    return 0;
}

void CommPurge() {
    if (!Device().IsOpen()) {
        return;
    }
    Device().DiscardOutput();
    Device().DiscardInput();
    DropReadAhead();
}

std::size_t CommPurgeStray() {
    if (!Device().IsOpen()) {
        return 0;
    }
    // Output is left alone: a command just written (one whose reply is not read) may still be
    // on its way to the instrument.
    const std::size_t readAhead = g_link.tail - g_link.head;
    DropReadAhead();
    const std::size_t waiting = readAhead + Device().DiscardInput();
    if (waiting != 0) {
        Trace(CommTraceEvent::StrayDiscarded, nullptr, waiting);
    }
    return waiting;
}

std::size_t CommPurgeStrayFor(int milliseconds) {
    std::size_t waiting = CommPurgeStray();
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    std::size_t late = 0;
    std::array<std::uint8_t, 256> discarded{};
    while (Device().IsOpen()) {
        std::size_t got = 0;
        const ReadResult result = Device().Read(discarded.data(), discarded.size(), &got, deadline);
        if (result == ReadResult::DeviceFailed) {
            DeviceFailed();
        }
        if (result != ReadResult::Data) {
            break;
        }
        late += got;
    }
    if (late != 0) {
        Trace(CommTraceEvent::StrayDiscarded, nullptr, late);
    }
    return waiting + late;
}

int CommTimedOut() {
    return g_link.timedOut;
}

int CommLastOpenError() {
    return g_link.lastOpenError;
}

SerialDevice& SetSerialDevice(SerialDevice& device) {
    CommClose();
    SerialDevice& replaced = Device();
    g_link.device = &device;
    return replaced;
}

void CommSetTrace(CommTraceSink sink, void* context) {
    g_link.traceSink = sink;
    g_link.traceContext = context;
}
