// The device under the serial link: one port at a time, opened with the line settings, written
// with a time budget, read as soon as anything has arrived. The framing, budgets and module state
// of the link (comm.cpp) sit on top of it. Each operating system has its own implementation file
// that makes the system's device; the link uses that one unless a program (the reading fuzz, a
// test) installs another for a while.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class SerialDevice {
public:
    using Clock = std::chrono::steady_clock;
    enum class ReadResult { Data, TimedOut, DeviceFailed };

    SerialDevice() = default;
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;
    virtual ~SerialDevice() = default;

    // Stores the line settings (baud, 8N1, no flow control, DTR off, RTS on) for the next Open.
    virtual void Configure(std::uint32_t baud) = 0;

    // Opens `path` exclusively and applies the line settings, without stale input. Returns 0, or
    // the system's error code.
    virtual int Open(const std::string& path) = 0;

    virtual bool IsOpen() = 0;

    // Gives the device back the settings it had before Open (a terminal a probe opened stays
    // usable) and closes it; false when it was not open or the system reported a failure.
    virtual bool Close() = 0;

    // Writes every byte before `deadline`.
    virtual bool Write(const std::uint8_t* bytes, std::size_t count,
                       Clock::time_point deadline) = 0;

    // Reads what has arrived (at most `capacity` bytes), waiting until `deadline` for the first
    // byte. A hang-up or an I/O error of the device is DeviceFailed.
    virtual ReadResult Read(std::uint8_t* buffer, std::size_t capacity, std::size_t* got,
                            Clock::time_point deadline) = 0;

    virtual void DiscardOutput() = 0;
    // Discards what has arrived and not been read; returns how many bytes that was.
    virtual std::size_t DiscardInput() = 0;
};

// The operating system's serial device (one implementation file per system).
std::unique_ptr<SerialDevice> MakeSystemSerialDevice();

// Puts `device` under the link in place of the current one, after closing the port the link
// holds (CommClose), and returns the device it replaced. The caller keeps `device` alive while it
// is installed; CommConfigure reaches only the device installed at the time. Like the rest of the
// link, called while no other thread uses it.
SerialDevice& SetSerialDevice(SerialDevice& device);

// Installs a device for the installer's lifetime, then puts back the one it replaced.
class ScopedSerialDevice {
public:
    explicit ScopedSerialDevice(SerialDevice& device) : replaced_(SetSerialDevice(device)) {}
    ~ScopedSerialDevice() { SetSerialDevice(replaced_); }
    ScopedSerialDevice(const ScopedSerialDevice&) = delete;
    ScopedSerialDevice& operator=(const ScopedSerialDevice&) = delete;

private:
    SerialDevice& replaced_;
};
