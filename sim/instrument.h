// The simulated instrument: its memory, comparator table and clock, and the protocol engine that
// answers the remote-control language byte for byte. No I/O here; the pseudo-terminal server
// feeds it bytes and paces its replies.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "sim/reading_encoder.h"

namespace sim {

inline constexpr int kUnitCount = 12;
inline constexpr int kSlotsPerUnit = 400;
inline constexpr int kTableEntries = 200;
inline constexpr std::size_t kEntryRecordSize = 5;
inline constexpr std::size_t kSlotMapSize = kSlotsPerUnit / 8;
// The longest command line kept: the bytes of a longer line are dropped up to its LF, so a line
// that never ends cannot grow without bound (the longest real command has 22 characters).
inline constexpr std::size_t kMaxCommandLength = 256;
// The most recent protocol events kept: a full reading of every unit and its surroundings fit
// many times over, while a client that never stops sending cannot grow the log without bound.
inline constexpr std::size_t kMaxKeptEvents = 20000;

using EntryRecord = std::array<std::uint8_t, kEntryRecordSize>;

// Command letters of the units 0 to 11.
inline constexpr std::array<char, kUnitCount> kUnitLetters = {'A', 'B', 'C', 'D', 'E', 'F',
                                                              'G', 'H', 'J', 'L', 'N', 'P'};

struct ClockSetting {
    int year = 2026;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    bool operator==(const ClockSetting&) const = default;
};

struct MemoryUnit {
    std::bitset<kSlotsPerUnit> occupied;              // bit s-1 set when slot s holds a reading
    std::array<ReadingRecord, kSlotsPerUnit> records; // 0xFF-filled where empty

    MemoryUnit();
    void Store(int slot, const ReadingRecord& record); // slot 1 to 400
    void Clear();
    bool HasData() const { return occupied.any(); }
};

struct InstrumentState {
    std::string identity = "K720 V1.00";
    std::string serialNumber = "72012345";
    char temperatureUnit = 'C';
    ClockSetting clock;
    std::array<MemoryUnit, kUnitCount> units;
    std::array<EntryRecord, kTableEntries> comparatorTable{}; // default entries: zero bytes
};

// An instrument with nothing stored and a default comparator table.
InstrumentState EmptyInstrument();

// An instrument with realistic readings: Li-ion cells, 12 V lead-acid blocks, a sparse unit with
// special codes, and one full unit of 400 readings; a few comparator entries set.
InstrumentState DemoInstrument();

// Every slot of every unit holds a reading: 4800 readings, for the benchmarks.
InstrumentState FullInstrument();

// The entry record of a comparator entry, packed by the instrument's own rule (kept apart from the
// companion's packer, so that tests cross-check the two): the range codes and the limit counts.
EntryRecord PackEntryCodes(int rRange, int limit1, int limit2, int vRange, int voltageLimit);

// Faults a test can inject. Commands are counted from 1 in the order received.
struct Faults {
    // From this command on, nothing is answered (0: never).
    int silentFromCommand = 0;
    // On this command the instrument hangs up: the device disappears (0: never).
    int hangUpAtCommand = 0;
    // ":MEM:DATA?" requests answered before the instrument stops answering them (-1: no limit).
    int readingsBeforeSilence = -1;
    // ":COMP:TABLE?" queries answered before the instrument stops answering them (-1: no limit).
    int tableEntriesBeforeSilence = -1;
    // Comparator entry (1 to 200) whose record is acknowledged with `badAckByte` (0: none).
    int badAckEntry = 0;
    std::uint8_t badAckByte = 0x55;
    // A reply that replaces the instrument's own, sent as raw bytes. `command` matches the whole
    // command text, or its beginning when it ends with '*'. `occurrence` 0 replaces every reply
    // to matching commands, n only the reply to the n-th matching one.
    struct WrongReply {
        std::string command;
        std::string reply;
        int occurrence = 0;
    };
    std::vector<WrongReply> wrongReplies;
};

// What the instrument does once a command line or a comparator record is complete.
struct Reaction {
    std::vector<std::uint8_t> reply; // may be empty: nothing is sent
    bool hangUp = false;
};

struct ProtocolEvent {
    enum class Kind { Command, TableRecord, PortOpened, PortClosed, HungUp };
    Kind kind;
    std::string text; // the command line, or the record's bytes in hex
    bool operator==(const ProtocolEvent&) const = default;
};

class InstrumentProtocol {
public:
    explicit InstrumentProtocol(InstrumentState state, Faults faults = {});

    // Takes one received byte. Returns a reaction when the byte completes a command line (LF) or
    // a comparator record of a table transfer.
    std::optional<Reaction> Receive(std::uint8_t byte);

    // The port was opened or closed on the other side. Like the real instrument, which cannot see
    // the PC's port, the protocol carries on: only the log notes it.
    void PortOpened();
    void PortClosed();

    // Input resumed after a pause longer than the instrument waits inside a table transfer: a
    // half-received transfer is abandoned.
    void InputResumedAfterPause();

    const InstrumentState& State() const { return state_; }
    InstrumentState& State() { return state_; }
    // The most recent kMaxKeptEvents events, oldest first.
    const std::deque<ProtocolEvent>& Events() const { return events_; }
    // Every event recorded so far, also those no longer kept.
    std::size_t EventsRecorded() const { return eventsRecorded_; }

private:
    Reaction Answer(const std::string& command);
    Reaction AnswerEntryRecord();
    std::optional<std::string> WrongReplyFor(const std::string& command);
    void Record(ProtocolEvent::Kind kind, std::string text = {});

    InstrumentState state_;
    Faults faults_;
    std::deque<ProtocolEvent> events_;
    std::size_t eventsRecorded_ = 0;
    std::string line_;
    int commandsReceived_ = 0;
    int readingsAnswered_ = 0;
    int tableEntriesAnswered_ = 0;
    std::vector<int> wrongReplyMatches_;
    // Table transfer in progress: entries received so far, the record being received.
    bool receivingTable_ = false;
    int entriesReceived_ = 0;
    std::vector<std::uint8_t> entryBytes_;
    bool hungUp_ = false;
};

// True for a valid clock setting the instrument accepts (years 2006 to 2037).
bool IsValidClock(const ClockSetting& clock);

} // namespace sim
