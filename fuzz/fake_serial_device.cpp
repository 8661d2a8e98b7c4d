// The reading fuzz's serial device: an in-process simulated instrument whose replies pass through
// a seeded line fault generator. See fake_serial_device.h.
#include "fuzz/fake_serial_device.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <mutex>
#include <optional>
#include <string_view>
#include <utility>

#include "fuzz/fuzz_random.h"
#include "link/comm.h"

namespace fuzz {

struct FakeSerialDevice::Connection {
    std::string path;
    std::optional<sim::InstrumentProtocol> protocol;
    FaultRates rates;
    Random random;
    std::deque<std::uint8_t> input; // replies that arrived and were not read yet
    bool open = false;
    bool silent = false;
    bool hungUp = false;
    FaultReport report;
};

namespace {

using Connection = FakeSerialDevice::Connection;

using Bytes = std::vector<std::uint8_t>;

std::string ByteText(std::uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

// The command a reaction answers: the last command line, or "" after a comparator record.
std::string CommandAnswered(const sim::InstrumentProtocol& protocol) {
    const auto& events = protocol.Events();
    if (events.empty() || events.back().kind != sim::ProtocolEvent::Kind::Command) {
        return {};
    }
    return events.back().text;
}

// Replies read by count; every other reply is a line ending in CR LF.
bool ReadByCount(std::string_view command) {
    return command.empty() || command.starts_with(":MEM:UNIT? ") ||
           command.starts_with(":MEM:DATA? ") || command.starts_with(":COMP:TABLE? ");
}

enum class Fault { None, Stray, Dropped, Duplicated, Corrupted, ExtraLine, Silence, HangUp };

Fault DrawFault(Connection& c) {
    const FaultRates& r = c.rates;
    const std::pair<double, Fault> kinds[] = {
        {r.strayByte, Fault::Stray},       {r.droppedByte, Fault::Dropped},
        {r.duplicated, Fault::Duplicated}, {r.corruptedByte, Fault::Corrupted},
        {r.extraLine, Fault::ExtraLine},   {r.silence, Fault::Silence},
        {r.hangUp, Fault::HangUp},
    };
    double u = c.random.Unit();
    for (const auto& [rate, fault] : kinds) {
        if (u < rate) {
            return fault;
        }
        u -= rate;
    }
    return Fault::None;
}

// Applies at most one fault to `reply`. In a line reply the text is left alone except by a
// corruption: a byte inserted there is a control byte (dropped by the link's line framing, or an
// LF that splits the line), a byte dropped is the CR or the LF.
void ApplyFault(Connection& c, const std::string& command, Bytes& reply) {
    const bool byCount = ReadByCount(command);
    const std::size_t size = reply.size();
    const std::size_t textSize = !byCount && size >= 2 ? size - 2 : 0;
    std::string what;
    switch (DrawFault(c)) {
    case Fault::None:
        return;
    case Fault::Stray: {
        const auto at = static_cast<std::size_t>(c.random.Below(static_cast<int>(size) + 1));
        const bool inText = !byCount && at < size;
        const auto byte = static_cast<std::uint8_t>(c.random.Below(inText ? 0x20 : 0x100));
        reply.insert(reply.begin() + static_cast<long>(at), byte);
        what = "stray byte " + ByteText(byte) + " at " + std::to_string(at);
        break;
    }
    case Fault::Dropped: {
        if (size == 0 || (!byCount && size < 2)) {
            return;
        }
        const auto at = byCount ? static_cast<std::size_t>(c.random.Below(static_cast<int>(size)))
                                : size - 1 - static_cast<std::size_t>(c.random.Below(2));
        what = "byte " + ByteText(reply[at]) + " at " + std::to_string(at) + " dropped";
        reply.erase(reply.begin() + static_cast<long>(at));
        break;
    }
    case Fault::Duplicated: {
        if (size == 0) {
            return;
        }
        const Bytes once = reply;
        reply.insert(reply.end(), once.begin(), once.end());
        what = "reply duplicated";
        break;
    }
    case Fault::Corrupted: {
        const std::size_t span = byCount ? size : textSize;
        if (span == 0) {
            return;
        }
        const auto at = static_cast<std::size_t>(c.random.Below(static_cast<int>(span)));
        std::uint8_t value = 0;
        if (byCount) {
            value = static_cast<std::uint8_t>(reply[at] ^ c.random.Between(1, 0xFF));
        } else { // another printable byte, so that the line keeps its frame and its length
            const int printable = reply[at] >= 0x20 && reply[at] < 0x7F ? reply[at] - 0x20 : 0;
            value = static_cast<std::uint8_t>(0x20 + (printable + c.random.Between(1, 94)) % 95);
        }
        what = "byte at " + std::to_string(at) + " corrupted from " + ByteText(reply[at]) + " to " +
               ByteText(value);
        reply[at] = value;
        c.report.corrupted.push_back({command, at, value});
        c.report.log.push_back("reply to '" + command + "': " + what);
        return; // not a frame fault
    }
    case Fault::ExtraLine: {
        const std::string_view line = c.random.Below(2) == 0 ? "OK\r\n" : "NG\r\n";
        reply.insert(reply.end(), line.begin(), line.end());
        what = "extra line after the reply";
        break;
    }
    case Fault::Silence:
        c.silent = true;
        what = "silent from here on";
        break;
    case Fault::HangUp: {
        const auto kept = static_cast<std::size_t>(c.random.Below(static_cast<int>(size) + 1));
        reply.resize(kept);
        c.hungUp = true;
        what = "hung up after " + std::to_string(kept) + " bytes";
        break;
    }
    }
    ++c.report.frameFaults;
    c.report.log.push_back("reply to '" + command + "': " + what);
}

void Deliver(Connection& c, const sim::Reaction& reaction) {
    if (c.silent || c.hungUp) {
        return;
    }
    Bytes reply = reaction.reply;
    ApplyFault(c, CommandAnswered(*c.protocol), reply);
    if (reaction.hangUp) {
        c.hungUp = true;
    }
    if (!c.silent) {
        c.input.insert(c.input.end(), reply.begin(), reply.end());
    }
}

} // namespace

FakeSerialDevice::FakeSerialDevice()
    : connection_(std::make_unique<Connection>()), baud_(kInstrumentBaud) {}

FakeSerialDevice::~FakeSerialDevice() = default;

void FakeSerialDevice::Connect(const std::string& path, sim::InstrumentProtocol protocol,
                               const FaultRates& rates, std::uint64_t seed) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    c = Connection{};
    c.path = path;
    c.protocol.emplace(std::move(protocol));
    c.rates = rates;
    c.random = Random(seed);
}

FaultReport FakeSerialDevice::Disconnect() {
    std::lock_guard lock(mutex_);
    FaultReport report = std::move(connection_->report);
    *connection_ = Connection{};
    return report;
}

void FakeSerialDevice::Configure(std::uint32_t baud) {
    std::lock_guard lock(mutex_);
    baud_ = baud;
}

int FakeSerialDevice::Open(const std::string& path) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    if (!c.protocol || path != c.path) {
        return ENOENT;
    }
    if (c.open) {
        return EBUSY;
    }
    if (baud_ != kInstrumentBaud) {
        return EINVAL; // the instrument speaks only its own line speed
    }
    c.open = true;
    c.input.clear(); // no stale input, as after the tty's flush
    ++c.report.opens;
    c.protocol->PortOpened();
    return 0;
}

bool FakeSerialDevice::IsOpen() {
    std::lock_guard lock(mutex_);
    return connection_->open;
}

bool FakeSerialDevice::Close() {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    if (!c.open) {
        return false;
    }
    c.open = false;
    c.protocol->PortClosed();
    return true;
}

bool FakeSerialDevice::Write(const std::uint8_t* bytes, std::size_t count,
                             Clock::time_point /*deadline*/) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    if (!c.open || c.hungUp) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (auto reaction = c.protocol->Receive(bytes[i])) {
            Deliver(c, *reaction);
        }
    }
    return true;
}

SerialDevice::ReadResult FakeSerialDevice::Read(std::uint8_t* buffer, std::size_t capacity,
                                                std::size_t* got, Clock::time_point /*deadline*/) {
    std::lock_guard lock(mutex_);
    Connection& c = *connection_;
    std::deque<std::uint8_t>& input = c.input;
    if (!c.open) {
        return ReadResult::DeviceFailed;
    }
    if (input.empty() || capacity == 0) {
        return c.hungUp ? ReadResult::DeviceFailed : ReadResult::TimedOut;
    }
    const std::size_t most = input.size() < capacity ? input.size() : capacity;
    const auto n = static_cast<std::size_t>(c.random.Between(1, static_cast<int>(most)));
    std::copy_n(input.begin(), n, buffer);
    input.erase(input.begin(), input.begin() + static_cast<long>(n));
    *got = n;
    return ReadResult::Data;
}

std::size_t FakeSerialDevice::DiscardInput() {
    std::lock_guard lock(mutex_);
    const std::size_t waiting = connection_->input.size();
    connection_->input.clear();
    return waiting;
}

} // namespace fuzz
