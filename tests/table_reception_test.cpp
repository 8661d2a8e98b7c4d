// The comparator table reception engine against the simulated instrument: the text it builds, the
// commands it sends, how it fails and how it stops.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "comp/table_file.h"
#include "comp/table_reception.h"
#include "instrument/discovery.h"
#include "link/comm.h"
#include "tests/support/measure_support.h"
#include "tests/support/transfer_record.h"

namespace {

using comp::ReceptionOutcome;
using comp::ReceptionStartOutcome;
using comp::TableReceptionEnd;
using comp::TableReceptionEngine;
using measure_test::CrLfLines;
using measure_test::SentCommands;
using measure_test::SimInstrument;
using namespace std::chrono_literals;
using test_support::OneTo;
using Lines = std::vector<std::string>;

// Records what the engine reports, from its worker threads.
class RecordingObserver : public comp::TableReceptionObserver,
                          public test_support::TransferRecord<TableReceptionEnd> {
public:
    void OnProgress(int received) override { AddProgress(received); }
    void OnEnd(TableReceptionEnd end) override { AddEnd(std::move(end)); }
};

// ":COMP:TABLE:START", the queries of entries 1 to `last`, and ":COMP:TABLE:END" when `ended`.
Lines ExchangeUpTo(int last, bool ended) {
    Lines lines = {":COMP:TABLE:START"};
    for (const int n : OneTo(last)) {
        lines.push_back(comp::EntryQuery(n));
    }
    if (ended) {
        lines.push_back(":COMP:TABLE:END");
    }
    return lines;
}

// The lines of a received text after its five header lines.
Lines EntryLines(const std::string& text) {
    const std::string header = comp::BuiltTableHeader();
    EXPECT_TRUE(text.starts_with(header));
    return CrLfLines(text.substr(std::min(header.size(), text.size())));
}

std::string DefaultLine(int number) {
    return std::to_string(number) + ",No Name,3m,0.000,0.000,6V,0.000";
}

// Entries packed by the simulated instrument's own rule, read back through the engine; a count
// beyond its range's bound is received as it is and caught by the table's parse.
TEST(TableReception, BuildsTheTextOfTheReceivedEntries) {
    struct Entry {
        int number;
        sim::EntryRecord record;
        const char* line;
    };
    struct Case {
        const char* name;
        std::vector<Entry> entries; // the others hold the default entry
        const char* parseMessage;
    };
    const std::vector<Case> cases = {
        {"default table", {}, ""},
        {"worked examples",
         {{7, sim::PackEntryCodes(1, 1234, 3100, 1, 1200), "7,No Name,30m,12.34,31.00,60V,12.00"},
          {3, sim::PackEntryCodes(3, 3100, 3100, 1, 6000), "3,No Name,3,3100,3100,60V,60.00"},
          {200, sim::PackEntryCodes(2, 1, 3099, 0, 1), "200,No Name,300m,0.1,309.9,6V,0.001"}},
         ""},
        {"beyond the bounds",
         {{9, sim::PackEntryCodes(0, 4000, 0, 0, 0), "9,No Name,3m,4.000,0.000,6V,0.000"}},
         "File corrupted.  \nCan not open. \n\n( No.9, R-Lim1 )"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::InstrumentState state = sim::EmptyInstrument();
        Lines expected;
        for (const int n : OneTo(comp::kEntryCount)) {
            expected.push_back(DefaultLine(n));
        }
        for (const Entry& entry : c.entries) {
            state.comparatorTable[static_cast<std::size_t>(entry.number - 1)] = entry.record;
            expected[static_cast<std::size_t>(entry.number - 1)] = entry.line;
        }
        SimInstrument instrument(std::move(state));
        SentCommands sent;
        RecordingObserver observer;
        TableReceptionEngine engine(observer);

        ASSERT_TRUE(engine.StartOnPort(instrument.Port()).Started());
        const std::optional<TableReceptionEnd> end = observer.WaitForEnd();
        engine.Join();
        ASSERT_TRUE(end);
        EXPECT_EQ(end->outcome, ReceptionOutcome::Received);
        EXPECT_EQ(end->received, comp::kEntryCount);
        EXPECT_EQ(EntryLines(end->text), expected);
        EXPECT_EQ(comp::ParseTableText(end->text).message, c.parseMessage);
        EXPECT_EQ(observer.Progress(), OneTo(comp::kEntryCount));
        EXPECT_EQ(sent.Lines(), ExchangeUpTo(comp::kEntryCount, true));
        EXPECT_EQ(CommClose(), 0) << "the port is closed";
        EXPECT_FALSE(engine.Running());
    }
}

// A failure ends without ":COMP:TABLE:END", with the port closed and the lines of the records
// received so far, but not of a record after which the line turned out to be out of step.
TEST(TableReception, FailuresEndAsErrorsWithoutTheClosingCommand) {
    sim::Faults silentAfter57;
    silentAfter57.tableEntriesBeforeSilence = 57;
    // Six bytes for five: the sixth waits before the next query.
    sim::Faults longRecord;
    longRecord.wrongReplies.push_back({comp::EntryQuery(30), "ABCD\r\n"});
    sim::Faults longLastRecord;
    longLastRecord.wrongReplies.push_back({comp::EntryQuery(200), "ABCDE\r\n"});
    struct Case {
        const char* name;
        sim::Faults faults;
        int received, kept;
    };
    const Case cases[] = {
        {"silence after entry 57", silentAfter57, 57, 57},
        {"stray bytes before a query", longRecord, 30, 29},
        {"stray bytes after the last record", longLastRecord, 200, 199},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimInstrument instrument(sim::EmptyInstrument(), c.faults);
        SentCommands sent;
        RecordingObserver observer;
        TableReceptionEngine engine(observer);

        const auto started = std::chrono::steady_clock::now();
        ASSERT_TRUE(engine.StartOnPort(instrument.Port()).Started());
        const std::optional<TableReceptionEnd> end = observer.WaitForEnd();
        const auto elapsed = std::chrono::steady_clock::now() - started;
        engine.Join();
        ASSERT_TRUE(end);
        EXPECT_EQ(end->outcome, ReceptionOutcome::Error);
        EXPECT_STREQ(comp::EndMessage(end->outcome), "Data reception error.  ");
        EXPECT_EQ(end->received, c.kept);
        EXPECT_EQ(EntryLines(end->text).size(), static_cast<std::size_t>(c.kept));
        EXPECT_EQ(observer.Progress(), OneTo(c.received));
        const int queried = c.faults.tableEntriesBeforeSilence >= 0 ? c.received + 1 : c.received;
        EXPECT_EQ(sent.Lines(), ExchangeUpTo(queried, false));
        EXPECT_EQ(CommClose(), 0) << "the port is closed";
        if (c.faults.tableEntriesBeforeSilence >= 0) {
            EXPECT_GE(elapsed, 1s);
            EXPECT_LE(elapsed, 2500ms);
        }
    }
}

TEST(TableReception, APortThatDoesNotOpenIsAReceptionError) {
    RecordingObserver observer;
    TableReceptionEngine engine(observer);
    SentCommands sent;
    ASSERT_TRUE(engine.StartOnPort(999).Started());
    const std::optional<TableReceptionEnd> end = observer.WaitForEnd();
    ASSERT_TRUE(end);
    EXPECT_EQ(end->outcome, ReceptionOutcome::Error);
    EXPECT_EQ(end->received, 0);
    EXPECT_EQ(end->text, comp::BuiltTableHeader());
    EXPECT_TRUE(sent.Lines().empty());
}

// Stop() and the destructor end the reception after the entry in progress: the instrument is told
// the reading ended, the port is closed, the text holds exactly the entries reported.
TEST(TableReception, StopEndsAfterTheEntryInProgress) {
    sim::ServerOptions paced;
    paced.pace = true;
    for (const bool byDestructor : {false, true}) {
        SCOPED_TRACE(byDestructor ? "destroyed" : "Stop()");
        SimInstrument instrument(sim::EmptyInstrument(), {}, paced);
        SentCommands sent;
        RecordingObserver observer;
        {
            TableReceptionEngine engine(observer);
            ASSERT_TRUE(engine.StartOnPort(instrument.Port()).Started());
            ASSERT_TRUE(observer.WaitForProgress(20));
            EXPECT_EQ(engine.StartOnPort(instrument.Port()).outcome, ReceptionStartOutcome::Busy);
            if (!byDestructor) {
                engine.StopAndJoin();
                EXPECT_FALSE(engine.Running());
            }
        }
        ASSERT_EQ(observer.EndCount(), 1u);
        const TableReceptionEnd end = *observer.WaitForEnd();
        EXPECT_EQ(end.outcome, ReceptionOutcome::Stopped);
        EXPECT_GE(end.received, 20);
        EXPECT_LT(end.received, comp::kEntryCount);
        EXPECT_EQ(EntryLines(end.text).size(), static_cast<std::size_t>(end.received));
        EXPECT_EQ(observer.Progress(), OneTo(end.received));
        EXPECT_EQ(sent.Lines(), ExchangeUpTo(end.received, true));
        EXPECT_EQ(CommClose(), 0) << "the port is closed";
    }
}

// Start finds the instrument with the port scan first.
TEST(TableReception, StartScansForTheInstrument) {
    SimInstrument instrument(sim::EmptyInstrument());
    RecordingObserver observer;
    TableReceptionEngine engine(observer);

    g_candidatePorts.clear();
    const comp::ReceptionStart none = engine.Start();
    EXPECT_EQ(none.outcome, ReceptionStartOutcome::ScanFailed);
    EXPECT_STREQ(none.message, "Communication Error.\nIs the USB cable connected?  ");

    g_candidatePorts = {{"simulated", instrument.Port(), instrument.Server().DevicePath()}};
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(engine.Start(stop.get_token()).outcome, ReceptionStartOutcome::Stopped);
    EXPECT_TRUE(instrument.SettledCommands().empty()) << "nothing sent";
    EXPECT_EQ(observer.EndCount(), 0u);

    ASSERT_TRUE(engine.Start().Started());
    const std::optional<TableReceptionEnd> end = observer.WaitForEnd();
    ASSERT_TRUE(end);
    EXPECT_EQ(end->outcome, ReceptionOutcome::Received);
    const Lines commands = instrument.SettledCommands();
    ASSERT_GE(commands.size(), 3u);
    EXPECT_EQ(Lines(commands.begin(), commands.begin() + 3),
              (Lines{"QPID", "QPID", ":COMP:TABLE:START"}));
    g_candidatePorts.clear();
}

} // namespace
