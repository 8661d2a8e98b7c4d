#include "sim/instrument.h"

#include <charconv>
#include <cstdio>
#include <string_view>

namespace sim {

namespace {

constexpr std::uint8_t kAck = 0xAA;

std::vector<std::uint8_t> Line(std::string_view text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0x0D);
    bytes.push_back(0x0A);
    return bytes;
}

const std::vector<std::uint8_t>& Rejected() {
    static const std::vector<std::uint8_t> kRejected = Line("NG");
    return kRejected;
}

// Strict decimal integer: the whole text, digits only.
std::optional<int> ParseInt(std::string_view text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> UnitOfLetter(std::string_view argument) {
    if (argument.size() != 1) {
        return std::nullopt;
    }
    for (int unit = 0; unit < kUnitCount; ++unit) {
        if (kUnitLetters[unit] == argument.front()) {
            return unit;
        }
    }
    return std::nullopt;
}

// "y,m,d,h,mi" with nothing else.
std::optional<ClockSetting> ParseClock(std::string_view text) {
    std::array<int, 5> fields{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t comma = text.find(',');
        const bool last = i + 1 == fields.size();
        if (last != (comma == std::string_view::npos)) {
            return std::nullopt;
        }
        const auto value = ParseInt(text.substr(0, comma));
        if (!value) {
            return std::nullopt;
        }
        fields[i] = *value;
        text = last ? std::string_view{} : text.substr(comma + 1);
    }
    return ClockSetting{fields[0], fields[1], fields[2], fields[3], fields[4]};
}

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    char digits[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(digits, sizeof digits, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += digits;
    }
    return text;
}

bool Matches(const std::string& pattern, const std::string& command) {
    if (!pattern.empty() && pattern.back() == '*') {
        return std::string_view(command).starts_with(
            std::string_view(pattern).substr(0, pattern.size() - 1));
    }
    return pattern == command;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

} // namespace

bool IsValidClock(const ClockSetting& c) {
    return c.year >= 2006 && c.year <= 2037 && c.month >= 1 && c.month <= 12 && c.day >= 1 &&
           c.day <= DaysInMonth(c.year, c.month) && c.hour >= 0 && c.hour <= 23 && c.minute >= 0 &&
           c.minute <= 59;
}

MemoryUnit::MemoryUnit() {
    Clear();
}

void MemoryUnit::Store(int slot, const ReadingRecord& record) {
    occupied.set(static_cast<std::size_t>(slot - 1));
    records[static_cast<std::size_t>(slot - 1)] = record;
}

void MemoryUnit::Clear() {
    occupied.reset();
    ReadingRecord empty;
    empty.fill(0xFF);
    records.fill(empty);
}

InstrumentProtocol::InstrumentProtocol(InstrumentState state, Faults faults)
    : state_(std::move(state)), faults_(std::move(faults)),
      wrongReplyMatches_(faults_.wrongReplies.size(), 0) {}

void InstrumentProtocol::Record(ProtocolEvent::Kind kind, std::string text) {
    if (events_.size() == kMaxKeptEvents) {
        events_.pop_front();
    }
    events_.push_back({kind, std::move(text)});
    ++eventsRecorded_;
}

void InstrumentProtocol::PortOpened() {
    Record(ProtocolEvent::Kind::PortOpened);
}

void InstrumentProtocol::PortClosed() {
    Record(ProtocolEvent::Kind::PortClosed);
}

void InstrumentProtocol::InputResumedAfterPause() {
    receivingTable_ = false;
    entryBytes_.clear();
}

std::optional<Reaction> InstrumentProtocol::Receive(std::uint8_t byte) {
    if (hungUp_) {
        return std::nullopt;
    }
    if (receivingTable_) {
        entryBytes_.push_back(byte);
        if (entryBytes_.size() < kEntryRecordSize) {
            return std::nullopt;
        }
        return AnswerEntryRecord();
    }
    if (byte != 0x0A) {
        if (line_.size() < kMaxCommandLength) {
            line_.push_back(static_cast<char>(byte));
        }
        return std::nullopt;
    }
    std::string command;
    command.swap(line_);
    if (!command.empty() && command.back() == '\r') {
        command.pop_back();
    }
    Record(ProtocolEvent::Kind::Command, command);
    ++commandsReceived_;
    if (faults_.hangUpAtCommand != 0 && commandsReceived_ >= faults_.hangUpAtCommand) {
        hungUp_ = true;
        Record(ProtocolEvent::Kind::HungUp);
        return Reaction{{}, true};
    }
    if (faults_.silentFromCommand != 0 && commandsReceived_ >= faults_.silentFromCommand) {
        return Reaction{};
    }
    Reaction reaction = Answer(command);
    if (auto wrong = WrongReplyFor(command)) {
        reaction.reply.assign(wrong->begin(), wrong->end());
    }
    return reaction;
}

std::optional<std::string> InstrumentProtocol::WrongReplyFor(const std::string& command) {
    for (std::size_t i = 0; i < faults_.wrongReplies.size(); ++i) {
        const Faults::WrongReply& wrong = faults_.wrongReplies[i];
        if (!Matches(wrong.command, command)) {
            continue;
        }
        const int occurrence = ++wrongReplyMatches_[i];
        if (wrong.occurrence == 0 || wrong.occurrence == occurrence) {
            return wrong.reply;
        }
    }
    return std::nullopt;
}

Reaction InstrumentProtocol::AnswerEntryRecord() {
    const int entry = ++entriesReceived_;
    EntryRecord record{};
    std::copy(entryBytes_.begin(), entryBytes_.end(), record.begin());
    entryBytes_.clear();
    Record(ProtocolEvent::Kind::TableRecord,
           std::to_string(entry) + ": " + Hex(record.data(), record.size()));
    if (entry == kTableEntries) {
        receivingTable_ = false;
    }
    if (entry == faults_.badAckEntry) {
        receivingTable_ = false;
        return Reaction{{faults_.badAckByte}, false};
    }
    state_.comparatorTable[static_cast<std::size_t>(entry - 1)] = record;
    return Reaction{{kAck}, false};
}

Reaction InstrumentProtocol::Answer(const std::string& command) {
    const std::string_view text = command;
    auto argumentOf = [&](std::string_view prefix) -> std::optional<std::string_view> {
        if (!text.starts_with(prefix)) {
            return std::nullopt;
        }
        return text.substr(prefix.size());
    };

    if (text == "QPID") {
        return {Line(state_.identity)};
    }
    if (text == ":MEM:CHECK?") {
        std::string flags;
        for (const MemoryUnit& unit : state_.units) {
            flags += unit.HasData() ? '1' : '0';
        }
        return {Line(flags)};
    }
    if (auto argument = argumentOf(":MEM:UNIT? ")) {
        const auto unit = UnitOfLetter(*argument);
        if (!unit) {
            return {Rejected()};
        }
        // On the wire a 0 bit marks a stored reading.
        std::vector<std::uint8_t> map(kSlotMapSize, 0xFF);
        const auto& occupied = state_.units[static_cast<std::size_t>(*unit)].occupied;
        for (std::size_t slot = 0; slot < kSlotsPerUnit; ++slot) {
            if (occupied.test(slot)) {
                map[slot / 8] &= static_cast<std::uint8_t>(~(1U << (slot % 8)));
            }
        }
        return {map};
    }
    if (text == ":SERIAL?") {
        return {Line(state_.serialNumber)};
    }
    if (text == ":FACT:SYS:UNIT?") {
        return {Line(std::string(1, state_.temperatureUnit))};
    }
    if (text == ":MEM:DATA:START" || text == ":MEM:DATA:END" || text == ":COMP:TABLE:START" ||
        text == ":COMP:TABLE:END") {
        return {};
    }
    if (auto argument = argumentOf(":MEM:DATA? ")) {
        const auto number = ParseInt(*argument);
        if (!number || *number < 1 || *number > kUnitCount * kSlotsPerUnit) {
            return {Rejected()};
        }
        if (faults_.readingsBeforeSilence >= 0 &&
            readingsAnswered_ >= faults_.readingsBeforeSilence) {
            return {};
        }
        ++readingsAnswered_;
        const auto unit = static_cast<std::size_t>((*number - 1) / kSlotsPerUnit);
        const auto slot = static_cast<std::size_t>((*number - 1) % kSlotsPerUnit);
        const ReadingRecord& record = state_.units[unit].records[slot];
        return {std::vector<std::uint8_t>(record.begin(), record.end())};
    }
    if (auto argument = argumentOf(":MEM:CLEAR ")) {
        const auto unit = UnitOfLetter(*argument);
        if (!unit) {
            return {Rejected()};
        }
        state_.units[static_cast<std::size_t>(*unit)].Clear();
        return {Line("OK")};
    }
    if (auto argument = argumentOf(":TIME ")) {
        const auto clock = ParseClock(*argument);
        if (!clock || !IsValidClock(*clock)) {
            return {Rejected()};
        }
        state_.clock = *clock;
        return {Line("OK")};
    }
    if (auto argument = argumentOf(":COMP:TABLE? ")) {
        const auto entry = ParseInt(*argument);
        if (!entry || *entry < 1 || *entry > kTableEntries) {
            return {Rejected()};
        }
        if (faults_.tableEntriesBeforeSilence >= 0 &&
            tableEntriesAnswered_ >= faults_.tableEntriesBeforeSilence) {
            return {};
        }
        ++tableEntriesAnswered_;
        const EntryRecord& record = state_.comparatorTable[static_cast<std::size_t>(*entry - 1)];
        return {std::vector<std::uint8_t>(record.begin(), record.end())};
    }
    if (text == ":COMP:TABLE") {
        receivingTable_ = true;
        entriesReceived_ = 0;
        entryBytes_.clear();
        return {Line("OK")};
    }
    return {}; // an unknown command gets no answer
}

} // namespace sim
