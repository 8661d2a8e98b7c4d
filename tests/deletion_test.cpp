// The deletion exchange against the simulated instrument: which commands go out, when the
// sequence stops, how the last reply is judged, and that the port is closed afterwards.
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "measure/deletion.h"
#include "measure/units.h"
#include "sim/reading_encoder.h"
#include "tests/support/measure_support.h"
#include "translations/text_language.h"

namespace {

using measure::DeleteUnits;
using measure_test::SentCommands;
using measure_test::SimInstrument;
using O = measure::DeletionOutcome;
using Lines = std::vector<std::string>;
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

TEST(Deletion, CommandsSentAndOutcome) {
    struct Case {
        const char* name;
        int code;
        int mask;
        sim::Faults faults;
        O outcome;
        Lines sent;
    };
    sim::Faults hangUpAtSecond;
    hangUpAtSecond.hangUpAtCommand = 2;
    const Lines acp = {":MEM:CLEAR A", ":MEM:CLEAR C", ":MEM:CLEAR P"};
    const Lines ac = {":MEM:CLEAR A", ":MEM:CLEAR C"};
    const Lines p = {":MEM:CLEAR P"};
    const Case cases[] = {
        {"unit b", 0x2, 0, {}, O::Deleted, {":MEM:CLEAR B"}},
        {"unit d", 0x8, 0, {}, O::Deleted, {":MEM:CLEAR D"}},
        {"unit n", 0x400, 0, {}, O::Deleted, {":MEM:CLEAR N"}},
        {"all of A, C and P", kAll, kMaskACP, {}, O::Deleted, acp},
        {"all, the second answered NG", kAll, kMaskACP, ClearReply("NG\r\n", 2), O::InvalidResponse,
         ac},
        {"all, a late line before the second command",
         kAll,
         kMaskACP,
         ClearReply("OK\r\nOK\r\n", 1),
         O::InvalidResponse,
         {":MEM:CLEAR A"}},
        {"all, the port fails awaiting the second reply", kAll, kMaskACP, hangUpAtSecond,
         O::CommunicationFailure, ac},
        {"all, none holds data", kAll, 0, {}, O::NothingToDelete, {}},
        {"a code that names no unit", 0x3, kMaskACP, {}, O::CommunicationFailure, {}},
        // Only exactly "OK" acknowledges; the carriage return is no part of the reply.
        {"OK LF", 0x800, 0, ClearReply("OK\n"), O::Deleted, p},
        {"ok", 0x800, 0, ClearReply("ok\r\n"), O::InvalidResponse, p},
        {"OK and a blank", 0x800, 0, ClearReply("OK \r\n"), O::InvalidResponse, p},
        {"a blank and OK", 0x800, 0, ClearReply(" OK\r\n"), O::InvalidResponse, p},
        {"OKK", 0x800, 0, ClearReply("OKK\r\n"), O::InvalidResponse, p},
        {"an empty line", 0x800, 0, ClearReply("\r\n"), O::InvalidResponse, p},
        {"longer than the buffer", 0x800, 0, ClearReply("OKOKOKOKOKOKOKOKOKOKOK\r\n"),
         O::InvalidResponse, p},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimInstrument sim(WithData(), c.faults);
        SentCommands sent;
        EXPECT_EQ(DeleteUnits({c.code, c.mask, sim.Port()}), c.outcome);
        EXPECT_EQ(sent.Lines(), c.sent);
        EXPECT_EQ(CommClose(), 0) << "the port was left open";
    }
}

// The unit line and an outcome's message and status line, in English and in Japanese.
TEST(Deletion, TextsInTheLanguageInUse) {
    UseTextLanguage(Language::Japanese);
    const std::string unitLine = measure::DeletionUnitText(0x2);
    const measure::DeletionReport report = measure::DeletionReportOf(O::NoResponse);
    const std::string message = report.message;
    const std::string statusLine = report.statusLine;
    UseTextLanguage(Language::English);
    EXPECT_EQ(unitLine, "ユニット [ b ] を削除します。");
    EXPECT_EQ(message, "通信エラーです。  \n応答がありません。 ");
    EXPECT_EQ(statusLine, "実行しますか？");
    EXPECT_EQ(measure::DeletionUnitText(0x2), "This will delete unit [ b ].");
    EXPECT_STREQ(measure::DeletionReportOf(O::NoResponse).message,
                 "Communication Error.  \nNo response. ");
}

TEST(Deletion, PortThatCannotBeOpenedSendsNothing) {
    SimInstrument sim(WithData());
    sim.Server().Stop(); // the cable pulled after the unit selection
    SentCommands sent;
    EXPECT_EQ(DeleteUnits({kAll, kMaskACP, sim.Port()}), O::PortNotOpened);
    EXPECT_TRUE(sent.Lines().empty());
}

// A silent second unit ends the sequence there, after one reply budget, as no response.
TEST(Deletion, SilenceEndsTheSequenceAsNoResponse) {
    sim::Faults faults;
    faults.silentFromCommand = 2;
    SimInstrument sim(WithData(), faults);
    SentCommands sent;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(DeleteUnits({kAll, kMaskACP, sim.Port()}), O::NoResponse);
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
    EXPECT_EQ(deletion.get(), O::CommunicationFailure);
    EXPECT_LE(std::chrono::steady_clock::now() - stopped, 2500ms);
    EXPECT_EQ(sent.Lines(), (Lines{":MEM:CLEAR A"}));
    EXPECT_EQ(CommClose(), 0);

    // Asked to stop before it began: the port is not even opened.
    SentCommands none;
    EXPECT_EQ(DeleteUnits({0x1, 0, sim.Port()}, stop.get_token()), O::CommunicationFailure);
    EXPECT_TRUE(none.Lines().empty());
}

} // namespace
