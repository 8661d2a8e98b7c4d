// The serial device over POSIX termios. Waits block in ppoll() with the remaining budget on the
// monotonic clock; nothing spins.
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "base/unique_fd.h"
#include "link/serial_device.h"

namespace {

using Clock = SerialDevice::Clock;
using ReadResult = SerialDevice::ReadResult;

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

timespec Remaining(Clock::time_point deadline) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) {
        return {0, 0};
    }
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    return {static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
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

class PosixSerialDevice final : public SerialDevice {
public:
    void Configure(std::uint32_t baud) override { speedValid_ = SpeedForBaud(baud, speed_); }
    int Open(const std::string& path) override;
    bool IsOpen() override { return fd_.Valid(); }
    bool Close() override;
    bool Write(const std::uint8_t* bytes, std::size_t count, Clock::time_point deadline) override;
    ReadResult Read(std::uint8_t* buffer, std::size_t capacity, std::size_t* got,
                    Clock::time_point deadline) override;
    void DiscardOutput() override;
    std::size_t DiscardInput() override;

private:
    bool ApplyLineSettings();

    UniqueFd fd_;
    // The device's settings before Open changed them, given back at Close.
    termios savedSettings_{};
    bool settingsSaved_ = false;
    speed_t speed_ = B38400;
    bool speedValid_ = true;
};

bool PosixSerialDevice::ApplyLineSettings() {
    termios tio{};
    if (tcgetattr(fd_.Get(), &tio) != 0) {
        return false;
    }
    savedSettings_ = tio;
    settingsSaved_ = true;
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    tio.c_cc[VSTART] = 0x11;
    tio.c_cc[VSTOP] = 0x13;
    if (cfsetispeed(&tio, speed_) != 0 || cfsetospeed(&tio, speed_) != 0) {
        return false;
    }
    return tcsetattr(fd_.Get(), TCSANOW, &tio) == 0;
}

int PosixSerialDevice::Open(const std::string& path) {
    if (!speedValid_) {
        return EINVAL;
    }
    fd_.Reset(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd_.Valid()) {
        return errno;
    }
    const int fd = fd_.Get();
    // Root ignores the exclusive open (TIOCEXCL): an advisory lock on the device, which other
    // serial programs honour too, keeps a second program of any user off a port in use. A busy
    // port is left as its user set it: no exclusive flag cleared, no settings touched.
    if (isatty(fd) && flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        fd_.Reset();
        return error;
    }
    errno = 0;
    if (!isatty(fd) || ioctl(fd, TIOCEXCL) != 0 || !ApplyLineSettings() || !SetModemLines(fd)) {
        const int error = errno != 0 ? errno : ENOTTY;
        Close();
        return error;
    }
    // Start without stale input (a late reply to the previous user). Output is left alone: on a
    // pseudo-terminal, discarding it would drop what the previous user wrote before closing.
    tcflush(fd, TCIFLUSH);
    return 0;
}

bool PosixSerialDevice::Close() {
    if (!fd_.Valid()) {
        return false;
    }
    if (settingsSaved_) {
        tcsetattr(fd_.Get(), TCSANOW, &savedSettings_);
        settingsSaved_ = false;
    }
    ioctl(fd_.Get(), TIOCNXCL);
    return close(fd_.Release()) == 0;
}

bool PosixSerialDevice::Write(const std::uint8_t* bytes, std::size_t count,
                              Clock::time_point deadline) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = write(fd_.Get(), bytes + done, count - done);
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
        pollfd entry{fd_.Get(), POLLOUT, 0};
        const timespec timeout = Remaining(deadline);
        const int ready = ppoll(&entry, 1, &timeout, nullptr);
        if (ready == 0 || (ready < 0 && errno != EINTR) ||
            (ready > 0 && !(entry.revents & POLLOUT))) {
            return false;
        }
    }
    return true;
}

ReadResult PosixSerialDevice::Read(std::uint8_t* buffer, std::size_t capacity, std::size_t* got,
                                   Clock::time_point deadline) {
    for (;;) {
        pollfd entry{fd_.Get(), POLLIN, 0};
        const timespec timeout = Remaining(deadline);
        const int ready = ppoll(&entry, 1, &timeout, nullptr);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return ReadResult::DeviceFailed;
        }
        if (ready == 0) {
            return ReadResult::TimedOut;
        }
        if (entry.revents & POLLIN) {
            const ssize_t n = read(fd_.Get(), buffer, capacity);
            if (n > 0) {
                *got = static_cast<std::size_t>(n);
                return ReadResult::Data;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                continue;
            }
            return ReadResult::DeviceFailed; // end of file (hang-up) or an I/O error
        }
        return ReadResult::DeviceFailed; // POLLHUP, POLLERR or POLLNVAL without data
    }
}

void PosixSerialDevice::DiscardOutput() {
    if (fd_.Valid()) {
        tcflush(fd_.Get(), TCOFLUSH);
    }
}

std::size_t PosixSerialDevice::DiscardInput() {
    // Read out rather than flushed: a byte that arrives between counting and flushing would be
    // dropped uncounted, and the caller would take a line out of step for a clean one.
    std::size_t discarded = 0;
    std::uint8_t buffer[256];
    while (fd_.Valid()) {
        const ssize_t n = read(fd_.Get(), buffer, sizeof buffer);
        if (n > 0) {
            discarded += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break; // nothing more waiting (EAGAIN), a hang-up or an error: the next read tells
        }
    }
    return discarded;
}

} // namespace

std::unique_ptr<SerialDevice> MakeSystemSerialDevice() {
    return std::make_unique<PosixSerialDevice>();
}
