// POSIX serial link over termios. Waits block in ppoll() with the remaining budget on the
// monotonic clock; nothing spins.
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "comm.h"
#include "port_names.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kReplyBudget{kCommReplyBudgetMs};
constexpr std::chrono::milliseconds kWriteBudgetBase{2000};
constexpr std::chrono::milliseconds kWriteBudgetPerByte{2};

struct PortState {
    int fd = -1;
    speed_t speed = B38400;
    bool speedValid = true;
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

PortState g_port;

void Trace(CommTraceEvent event, const void* data = nullptr, std::size_t size = 0) {
    if (g_port.traceSink != nullptr) {
        g_port.traceSink(event, static_cast<const std::uint8_t*>(data), size, g_port.traceContext);
    }
}

bool SpeedForBaud(std::uint32_t baud, speed_t& speed) {
    switch (baud) {
    case 1200:
        speed = B1200;
        return true;
    case 2400:
        speed = B2400;
        return true;
    case 4800:
        speed = B4800;
        return true;
    case 9600:
        speed = B9600;
        return true;
    case 19200:
        speed = B19200;
        return true;
    case 38400:
        speed = B38400;
        return true;
    case 57600:
        speed = B57600;
        return true;
    case 115200:
        speed = B115200;
        return true;
    default:
        return false;
    }
}

void DropReadAhead() {
    g_port.head = g_port.tail = 0;
}

bool HasReadAhead() {
    return g_port.head < g_port.tail;
}

timespec Remaining(Clock::time_point deadline) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) {
        return {0, 0};
    }
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    return {static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

enum class Wait { Data, TimedOut, DeviceFailed };

// Makes at least one received byte available in the read-ahead buffer, or says why not.
// A hang-up or an I/O error of the device counts as a failed line-status request.
Wait FillReadAhead(Clock::time_point deadline) {
    if (HasReadAhead()) {
        return Wait::Data;
    }
    DropReadAhead();
    for (;;) {
        pollfd entry{g_port.fd, POLLIN, 0};
        const timespec timeout = Remaining(deadline);
        const int ready = ppoll(&entry, 1, &timeout, nullptr);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Wait::DeviceFailed;
        }
        if (ready == 0) {
            return Wait::TimedOut;
        }
        if (entry.revents & POLLIN) {
            const ssize_t n = read(g_port.fd, g_port.readAhead.data(), g_port.readAhead.size());
            if (n > 0) {
                g_port.tail = static_cast<std::size_t>(n);
                return Wait::Data;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                continue;
            }
            return Wait::DeviceFailed; // end of file (hang-up) or an I/O error
        }
        return Wait::DeviceFailed; // POLLHUP, POLLERR or POLLNVAL without data
    }
}

bool WriteAll(const std::uint8_t* bytes, std::size_t count, Clock::time_point deadline) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = write(g_port.fd, bytes + done, count - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            return false;
        }
        pollfd entry{g_port.fd, POLLOUT, 0};
        const timespec timeout = Remaining(deadline);
        const int ready = ppoll(&entry, 1, &timeout, nullptr);
        if (ready == 0 || (ready < 0 && errno != EINTR) ||
            (ready > 0 && !(entry.revents & POLLOUT))) {
            return false;
        }
    }
    return true;
}

Clock::time_point WriteDeadline(std::size_t count) {
    return Clock::now() + kWriteBudgetBase + kWriteBudgetPerByte * static_cast<long>(count);
}

void DiscardOutput() {
    if (g_port.fd >= 0) {
        tcflush(g_port.fd, TCOFLUSH);
    }
}

// DTR off, RTS on. A device without modem lines (a pseudo-terminal) refuses the request with
// ENOTTY or EINVAL; that is no reason to fail the open.
bool SetModemLines(int fd) {
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    if (ioctl(fd, TIOCMBIC, &dtr) == 0 && ioctl(fd, TIOCMBIS, &rts) == 0) {
        return true;
    }
    return errno == ENOTTY || errno == EINVAL;
}

bool ApplyLineSettings(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        return false;
    }
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    tio.c_cc[VSTART] = 0x11;
    tio.c_cc[VSTOP] = 0x13;
    if (cfsetispeed(&tio, g_port.speed) != 0 || cfsetospeed(&tio, g_port.speed) != 0) {
        return false;
    }
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

int FailOpen(int error, const std::string& path) {
    g_port.lastOpenError = error;
    Trace(CommTraceEvent::OpenFailed, path.data(), path.size());
    CommClose();
    return 0;
}

} // namespace

void CommConfigure(std::uint32_t baud) {
    g_port.speedValid = SpeedForBaud(baud, g_port.speed);
}

int CommOpen(int port) {
    if (port < kFirstPortNumber || port > kLastPortNumber) {
        return 0;
    }
    CommClose(); // never leak a port that a caller forgot to close
    const std::string path = PortDevicePath(port);
    if (path.empty()) {
        return FailOpen(ENOENT, path);
    }
    if (!g_port.speedValid) {
        return FailOpen(EINVAL, path);
    }
    g_port.fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (g_port.fd < 0) {
        return FailOpen(errno, path);
    }
    if (!isatty(g_port.fd) || ioctl(g_port.fd, TIOCEXCL) != 0 || !ApplyLineSettings(g_port.fd) ||
        !SetModemLines(g_port.fd)) {
        return FailOpen(errno != 0 ? errno : ENOTTY, path);
    }
    // Start without stale input (a late reply to the previous user). Output is left alone: on a
    // pseudo-terminal, flushing it would discard what the previous user wrote before closing.
    tcflush(g_port.fd, TCIFLUSH);
    DropReadAhead();
    g_port.lastOpenError = 0;
    Trace(CommTraceEvent::Opened, path.data(), path.size());
    return 1;
}

int CommClose() {
    if (g_port.fd < 0) {
        return 0;
    }
    ioctl(g_port.fd, TIOCNXCL);
    const int result = close(g_port.fd);
    g_port.fd = -1;
    DropReadAhead();
    Trace(CommTraceEvent::Closed);
    return result == 0 ? 1 : 0;
}

int CommSendCommand(const char* text) {
    if (g_port.fd < 0 || text == nullptr) {
        return 0;
    }
    static constexpr std::uint8_t kTerminator[] = {0x0D, 0x0A};
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
    const std::size_t length = std::strlen(text);
    Trace(CommTraceEvent::Sent, bytes, length);
    if (!WriteAll(bytes, length, WriteDeadline(length)) ||
        !WriteAll(kTerminator, sizeof kTerminator, WriteDeadline(sizeof kTerminator))) {
        DiscardOutput();
        return 0;
    }
    return 1;
}

int CommSendBytes(const std::uint8_t* bytes, std::size_t count) {
    if (g_port.fd < 0 || (bytes == nullptr && count != 0)) {
        return 0;
    }
    Trace(CommTraceEvent::SentBytes, bytes, count);
    if (!WriteAll(bytes, count, WriteDeadline(count))) {
        DiscardOutput();
        return 0;
    }
    return 1;
}

int CommReadLine(char* buffer, std::size_t capacity) {
    if (g_port.fd < 0 || buffer == nullptr || capacity == 0) {
        return 0;
    }
    const Clock::time_point deadline = Clock::now() + kReplyBudget;
    g_port.timedOut = 0;
    std::size_t length = 0;
    for (;;) {
        switch (FillReadAhead(deadline)) {
        case Wait::DeviceFailed:
            Trace(CommTraceEvent::DeviceFailed);
            CommClose();
            return 0;
        case Wait::TimedOut:
            break;
        case Wait::Data:
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
            if (Clock::now() < deadline) {
                continue;
            }
            break;
        }
        // The budget is spent: the line comes back cut and flagged.
        g_port.timedOut = 1;
        CommPurge();
        buffer[length] = '\0';
        Trace(CommTraceEvent::LineTimedOut, buffer, length);
        return 1;
    }
}

int CommReadByte(std::uint8_t* byte) {
    if (g_port.fd < 0 || byte == nullptr) {
        return 0;
    }
    switch (FillReadAhead(Clock::now() + kReplyBudget)) {
    case Wait::Data:
        *byte = g_port.readAhead[g_port.head++];
        Trace(CommTraceEvent::ByteRead, byte, 1);
        return 1;
    case Wait::TimedOut:
        Trace(CommTraceEvent::ByteTimedOut);
        break;
    case Wait::DeviceFailed:
        Trace(CommTraceEvent::DeviceFailed);
        break;
    }
    CommClose();
    return 0;
}

void CommPurge() {
    if (g_port.fd < 0) {
        return;
    }
    tcflush(g_port.fd, TCOFLUSH);
    tcflush(g_port.fd, TCIFLUSH);
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
