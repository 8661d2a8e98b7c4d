// The reading fuzz's serial device: serial_device over an in-process simulated instrument whose
// replies pass through a seeded line fault generator. See fake_serial_device.h.
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
#include "link/serial_device.h"

namespace fuzz {

namespace {

struct Connection {
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

std::mutex g_mutex;
Connection g_connection;
std::uint32_t g_baud = kInstrumentBaud;

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

void Connect(const std::string& path, sim::InstrumentProtocol protocol, const FaultRates& rates,
             std::uint64_t seed) {
    std::lock_guard lock(g_mutex);
    g_connection = Connection{};
    g_connection.path = path;
    g_connection.protocol.emplace(std::move(protocol));
    g_connection.rates = rates;
    g_connection.random = Random(seed);
}

FaultReport Disconnect() {
    std::lock_guard lock(g_mutex);
    FaultReport report = std::move(g_connection.report);
    g_connection = Connection{};
    return report;
}

bool DeviceOpen() {
    std::lock_guard lock(g_mutex);
    return g_connection.open;
}

} // namespace fuzz

namespace serial_device {

using fuzz::g_connection;
using fuzz::g_mutex;

void Configure(std::uint32_t baud) {
    std::lock_guard lock(g_mutex);
    fuzz::g_baud = baud;
}

int Open(const std::string& path) {
    std::lock_guard lock(g_mutex);
    if (!g_connection.protocol || path != g_connection.path) {
        return ENOENT;
    }
    if (g_connection.open) {
        return EBUSY;
    }
    if (fuzz::g_baud != kInstrumentBaud) {
        return EINVAL; // the instrument speaks only its own line speed
    }
    g_connection.open = true;
    g_connection.input.clear(); // no stale input, as after the tty's flush
    ++g_connection.report.opens;
    g_connection.protocol->PortOpened();
    return 0;
}

bool IsOpen() {
    std::lock_guard lock(g_mutex);
    return g_connection.open;
}

bool Close() {
    std::lock_guard lock(g_mutex);
    if (!g_connection.open) {
        return false;
    }
    g_connection.open = false;
    g_connection.protocol->PortClosed();
    return true;
}

bool Write(const std::uint8_t* bytes, std::size_t count, Clock::time_point /*deadline*/) {
    std::lock_guard lock(g_mutex);
    if (!g_connection.open || g_connection.hungUp) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (auto reaction = g_connection.protocol->Receive(bytes[i])) {
            fuzz::Deliver(g_connection, *reaction);
        }
    }
    return true;
}

// Hands out a random part of what is queued, as a tty hands out what has arrived so far.
ReadResult Read(std::uint8_t* buffer, std::size_t capacity, std::size_t* got,
                Clock::time_point /*deadline*/) {
    std::lock_guard lock(g_mutex);
    std::deque<std::uint8_t>& input = g_connection.input;
    if (!g_connection.open) {
        return ReadResult::DeviceFailed;
    }
    if (input.empty() || capacity == 0) {
        return g_connection.hungUp ? ReadResult::DeviceFailed : ReadResult::TimedOut;
    }
    const std::size_t most = input.size() < capacity ? input.size() : capacity;
    const auto n = static_cast<std::size_t>(g_connection.random.Between(1, static_cast<int>(most)));
    std::copy_n(input.begin(), n, buffer);
    input.erase(input.begin(), input.begin() + static_cast<long>(n));
    *got = n;
    return ReadResult::Data;
}

void DiscardOutput() {} // written bytes reach the instrument at once

std::size_t DiscardInput() {
    std::lock_guard lock(g_mutex);
    const std::size_t waiting = g_connection.input.size();
    g_connection.input.clear();
    return waiting;
}

} // namespace serial_device
