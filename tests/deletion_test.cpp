// The deletion exchange against the simulated instrument: which commands go out, when the
// sequence stops, how the last reply is judged, and that the port is closed afterwards.
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "deletion.h"
#include "reading_encoder.h"
#include "support/measure_support.h"
#include "units.h"

namespace {

using measure::DeleteUnits;
using measure::DeletionOutcome;
using measure::DeletionRequest;
using measure_test::SentCommands;
using measure_test::SimInstrument;
using namespace std::chrono_literals;

constexpr int kAll = measure::kAllUnitsCode;
constexpr int kMaskACP = 0x1 | 0x4 | 0x800;

// Data in A, C, E and P. E is not in kMaskACP: the mask, not the instrument, names the units.
sim::InstrumentState WithData() {
    sim::InstrumentState state = sim::EmptyInstrument();
    for (const int unit : {0, 2, 4, 11}) {
        state.units[static_cast<std::size_t>(unit)].Store(7, EncodeReading(ReadingCodes{}));
    }
    return state;
}

sim::Faults ClearReply(const std::string& reply, int occurrence = 0) {
    sim::Faults faults;
    faults.wrongReplies.push_back({":MEM:CLEAR*", reply, occurrence});
    return faults;
}

// Units of the instrument that still hold data, as a mask.
int UnitsWithData(SimInstrument& sim) {
    const sim::InstrumentState state = sim.Server().State();
    int mask = 0;
    for (int unit = 0; unit < measure::kUnitCount; ++unit) {
        mask |= state.units[static_cast<std::size_t>(unit)].HasData() ? 1 << unit : 0;
    }
    return mask;
}

using Lines = std::vector<std::string>;

TEST(Deletion, CommandsSentAndOutcome) {
    struct Case {
        const char* name;
        int code;
        int mask;
        sim::Faults faults;
        DeletionOutcome outcome;
        Lines sent;
        int dataLeft; // units that hold data afterwards
    };
    sim::Faults hangUpAtSecond;
    hangUpAtSecond.hangUpAtCommand = 2;
    const int acep = kMaskACP | 0x10;
    const Case cases[] = {
        {"unit C", 0x4, 0, {}, DeletionOutcome::Deleted, {":MEM:CLEAR C"}, acep & ~0x4},
        {"unit b", 0x2, 0, {}, DeletionOutcome::Deleted, {":MEM:CLEAR B"}, acep},
        {"unit d", 0x8, 0, {}, DeletionOutcome::Deleted, {":MEM:CLEAR D"}, acep},
        {"unit n", 0x400, 0, {}, DeletionOutcome::Deleted, {":MEM:CLEAR N"}, acep},
        {"all units of A, C and P",
         kAll,
         kMaskACP,
         {},
         DeletionOutcome::Deleted,
         {":MEM:CLEAR A", ":MEM:CLEAR C", ":MEM:CLEAR P"},
         0x10},
        {"all units, the second answered NG",
         kAll,
         kMaskACP,
         ClearReply("NG\r\n", 2),
         DeletionOutcome::InvalidResponse,
         {":MEM:CLEAR A", ":MEM:CLEAR C"},
         0x10 | 0x800},
        {"all units, a late second line before the next command",
         kAll,
         kMaskACP,
         ClearReply("OK\r\nOK\r\n", 1),
         DeletionOutcome::InvalidResponse,
         {":MEM:CLEAR A"},
         acep & ~0x1},
        {"all units, the port fails while the second reply is awaited",
         kAll,
         kMaskACP,
         hangUpAtSecond,
         DeletionOutcome::CommunicationFailure,
         {":MEM:CLEAR A", ":MEM:CLEAR C"},
         acep & ~0x1},
        {"all units, none holds data", kAll, 0, {}, DeletionOutcome::NothingToDelete, {}, acep},
        {"a code that names no unit",
         0x3,
         kMaskACP,
         {},
         DeletionOutcome::CommunicationFailure,
         {},
         acep},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimInstrument sim(WithData(), c.faults);
        SentCommands sent;
        EXPECT_EQ(DeleteUnits({c.code, c.mask, sim.Port()}), c.outcome);
        EXPECT_EQ(sent.Lines(), c.sent);
        EXPECT_EQ(CommClose(), 0) << "the port was left open";
        EXPECT_EQ(UnitsWithData(sim), c.dataLeft);
    }
}

// Only exactly "OK" is an acknowledgement; the carriage return is no part of the reply.
TEST(Deletion, RepliesOtherThanExactlyOkAreInvalid) {
    struct Case {
        const char* reply;
        DeletionOutcome outcome;
    };
    const Case cases[] = {
        {"OK\r\n", DeletionOutcome::Deleted},
        {"OK\n", DeletionOutcome::Deleted},
        {"ok\r\n", DeletionOutcome::InvalidResponse},
        {"OK \r\n", DeletionOutcome::InvalidResponse},
        {" OK\r\n", DeletionOutcome::InvalidResponse},
        {"OKK\r\n", DeletionOutcome::InvalidResponse},
        {"NG\r\n", DeletionOutcome::InvalidResponse},
        {"\r\n", DeletionOutcome::InvalidResponse},
        // Longer than the reply buffer: cut at 19 characters.
        {"OKOKOKOKOKOKOKOKOKOKOK\r\n", DeletionOutcome::InvalidResponse},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        SimInstrument sim(WithData(), ClearReply(c.reply));
        EXPECT_EQ(DeleteUnits({0x800, 0, sim.Port()}), c.outcome);
        EXPECT_EQ(CommClose(), 0);
    }
}

TEST(Deletion, PortThatCannotBeOpenedSendsNothing) {
    SimInstrument sim(WithData());
    sim.Server().Stop(); // the cable pulled after the unit selection
    SentCommands sent;
    EXPECT_EQ(DeleteUnits({kAll, kMaskACP, sim.Port()}), DeletionOutcome::PortNotOpened);
    EXPECT_TRUE(sent.Lines().empty());
}

// A silent second unit ends the sequence there, after one reply budget, as no response.
TEST(Deletion, SilenceEndsTheSequenceAsNoResponse) {
    sim::Faults faults;
    faults.silentFromCommand = 2;
    SimInstrument sim(WithData(), faults);
    SentCommands sent;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(DeleteUnits({kAll, kMaskACP, sim.Port()}), DeletionOutcome::NoResponse);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 1s);
    EXPECT_LE(elapsed, 2500ms);
    EXPECT_EQ(sent.Lines(), (Lines{":MEM:CLEAR A", ":MEM:CLEAR C"}));
    EXPECT_EQ(CommClose(), 0);
}

// A stop request lets the reply in progress come in and sends nothing more.
TEST(Deletion, StopRequestSendsNothingMoreAndClosesThePort) {
    sim::ServerOptions slow;
    slow.latency = 300ms;
    SimInstrument sim(WithData(), {}, slow);
    SentCommands sent;
    std::stop_source stop;
    auto deletion = std::async(std::launch::async, [&] {
        return DeleteUnits({kAll, kMaskACP, sim.Port()}, stop.get_token());
    });
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (sent.Lines().empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    const auto stopped = std::chrono::steady_clock::now();
    stop.request_stop();
    EXPECT_EQ(deletion.get(), DeletionOutcome::CommunicationFailure);
    EXPECT_LE(std::chrono::steady_clock::now() - stopped, 2500ms);
    EXPECT_EQ(sent.Lines(), (Lines{":MEM:CLEAR A"}));
    EXPECT_EQ(CommClose(), 0);
    EXPECT_EQ(UnitsWithData(sim), 0x4 | 0x10 | 0x800);

    // Asked to stop before it began: the port is not even opened.
    SentCommands none;
    EXPECT_EQ(DeleteUnits({0x1, 0, sim.Port()}, stop.get_token()),
              DeletionOutcome::CommunicationFailure);
    EXPECT_TRUE(none.Lines().empty());
}

} // namespace
