// A serial device without a tty for the reading fuzz, installed under the link in place of the
// system's (ScopedSerialDevice): a simulated instrument's protocol engine in the same process.
// Written bytes go to the instrument at once; its replies pass through a seeded line fault
// generator and wait in an input queue until the link reads them. Nothing ever waits for real time:
// a read with nothing queued times out at once, so a spent reply budget costs nothing.
//
// One instrument at a time is connected to one device path; the link reaches it through
// AttachPortDevice(path) and CommOpen. Every member is safe to call from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/serial_device.h"
#include "sim/instrument.h"

namespace fuzz {

// How often each line fault strikes a reply: probabilities per reply (an empty reply counts too),
// at most one fault per reply.
struct FaultRates {
    double strayByte = 0;     // a byte the instrument did not send, inside or after the reply
    double droppedByte = 0;   // a byte of the reply lost
    double duplicated = 0;    // the reply arrives twice
    double corruptedByte = 0; // a byte of the reply changed, its frame left whole
    double extraLine = 0;     // an unexpected line ("OK" or "NG") after the reply
    double silence = 0;       // neither this reply nor any later one arrives
    double hangUp = 0;        // the device vanishes part-way through the reply
};

// A corrupted byte leaves the reply's frame whole, so no receiver can tell it from a byte the
// instrument holds: the harness books it to the instrument's memory.
struct CorruptedByte {
    std::string command; // the command whose reply it was in
    std::size_t offset = 0;
    std::uint8_t value = 0; // the byte as it arrived
};

// What the faults did to one connected instrument.
struct FaultReport {
    int frameFaults = 0; // every fault but corrupted bytes
    std::vector<CorruptedByte> corrupted;
    std::vector<std::string> log; // one line per fault, for a violation's report
    int opens = 0;
};

class FakeSerialDevice final : public SerialDevice {
public:
    FakeSerialDevice();
    ~FakeSerialDevice() override;

    // Connects `protocol` to `path` (replacing any instrument connected before) with the faults
    // of `rates`, drawn from `seed`.
    void Connect(const std::string& path, sim::InstrumentProtocol protocol, const FaultRates& rates,
                 std::uint64_t seed);

    // Disconnects the instrument and reports what the faults did.
    FaultReport Disconnect();

    void Configure(std::uint32_t baud) override;
    int Open(const std::string& path) override;
    bool IsOpen() override;
    bool Close() override;
    bool Write(const std::uint8_t* bytes, std::size_t count, Clock::time_point deadline) override;
    // Hands out a random part of what is queued, as a tty hands out what has arrived so far.
    ReadResult Read(std::uint8_t* buffer, std::size_t capacity, std::size_t* got,
                    Clock::time_point deadline) override;
    void DiscardOutput() override {} // written bytes reach the instrument at once
    std::size_t DiscardInput() override;

    struct Connection; // the connected instrument and its line's state

private:
    std::mutex mutex_;
    std::unique_ptr<Connection> connection_;
    std::uint32_t baud_;
};

} // namespace fuzz
