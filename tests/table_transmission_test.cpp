// The comparator table transmission engine against the simulated instrument and against exact
// bytes on a bare pseudo-terminal: the records it sends, the replies it refuses, how it stops.
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "comp/table_file.h"
#include "comp/table_transmission.h"
#include "instrument/discovery.h"
#include "link/comm.h"
#include "tests/support/measure_support.h"
#include "tests/support/pty_peer.h"
#include "tests/support/transfer_record.h"

namespace {

using comp::CompRow;
using comp::CompTable;
using comp::TableTransmissionEnd;
using comp::TableTransmissionEngine;
using comp::TransmissionOutcome;
using comp::TransmissionStartOutcome;
using measure_test::SimInstrument;
using namespace std::chrono_literals;
using test_support::OneTo;
using Lines = std::vector<std::string>;

// Records what the engine reports, from its worker threads.
class RecordingObserver : public comp::TableTransmissionObserver,
                          public test_support::TransferRecord<TableTransmissionEnd> {
public:
    void OnProgress(int acknowledged) override { AddProgress(acknowledged); }
    void OnEnd(const TableTransmissionEnd& end) override { AddEnd(end); }
};

std::string TextOf(const CompTable& rows) {
    std::string text;
    EXPECT_TRUE(comp::BuildTableText(rows, text).Ok());
    return text;
}

// The records the instrument received, as its log shows them: "n: XX XX XX XX XX".
Lines ReceivedRecords(SimInstrument& instrument) {
    Lines records;
    for (const sim::ProtocolEvent& event : instrument.Server().Events()) {
        if (event.kind == sim::ProtocolEvent::Kind::TableRecord) {
            records.push_back(event.text);
        }
    }
    return records;
}

std::string RecordLine(int number, const sim::EntryRecord& record) {
    char text[32];
    std::snprintf(text, sizeof text, "%d: %02X %02X %02X %02X %02X", number, record[0], record[1],
                  record[2], record[3], record[4]);
    return text;
}

// Sends a table and checks the exact records the instrument received and stored; the expected
// bytes come from the simulated instrument's own packer.
TEST(TableTransmission, SendsEveryEntryAsItsRecord) {
    CompTable worked;
    worked[0] = {"Cell A", "30m", "12.34", "31.00", "60V", "12.00"};
    worked[2] = {"No Name", "3", "3100", "3100", "60V", "60.00"};
    worked[199] = {"Last", "300m", "0.1", "309.9", "6V", "0.001"};
    struct Case {
        const char* name;
        CompTable rows;
        std::vector<std::pair<int, sim::EntryRecord>> records; // the others are zero bytes
    };
    const Case cases[] = {
        {"default table", CompTable{}, {}},
        {"worked examples",
         worked,
         {{1, {0x53, 0x4B, 0x07, 0x24, 0xB0}},
          {3, sim::PackEntryCodes(3, 3100, 3100, 1, 6000)},
          {200, sim::PackEntryCodes(2, 1, 3099, 0, 1)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::InstrumentState state = sim::DemoInstrument(); // its old table is replaced
        std::array<sim::EntryRecord, sim::kTableEntries> expected{};
        for (const auto& [number, record] : c.records) {
            expected[static_cast<std::size_t>(number - 1)] = record;
        }
        Lines expectedLines;
        for (const int n : OneTo(comp::kEntryCount)) {
            expectedLines.push_back(RecordLine(n, expected[static_cast<std::size_t>(n - 1)]));
        }
        SimInstrument instrument(std::move(state));
        measure_test::SentCommands sent;
        RecordingObserver observer;
        TableTransmissionEngine engine(observer);

        const comp::TransmissionStart start = engine.StartOnPort(instrument.Port(), TextOf(c.rows));
        ASSERT_TRUE(start.Started()) << start.message;
        const std::optional<TableTransmissionEnd> end = observer.WaitForEnd();
        engine.Join();
        ASSERT_TRUE(end);
        EXPECT_EQ(end->outcome, TransmissionOutcome::Transferred);
        EXPECT_STREQ(comp::EndMessage(end->outcome), "Data transferred.  ");
        EXPECT_EQ(end->acknowledged, comp::kEntryCount);
        EXPECT_EQ(observer.Progress(), OneTo(comp::kEntryCount));
        EXPECT_EQ(sent.Lines(), Lines{":COMP:TABLE"}) << "no closing command";
        EXPECT_EQ(ReceivedRecords(instrument), expectedLines);
        EXPECT_EQ(instrument.Server().State().comparatorTable, expected);
        EXPECT_EQ(CommClose(), 0) << "the port is closed";
    }
}

// Every reply to ":COMP:TABLE" but exactly "OK" ends the opening: no record is sent, the port is
// closed, no end is reported.
TEST(TableTransmission, OpeningRefusesEveryReplyButOk) {
    const char* invalid = "Communication Error.  \nInvalid response. ";
    struct Case {
        const char* reply; // nullptr: none
        TransmissionStartOutcome outcome;
        const char* message;
    };
    const Case cases[] = {
        {"NG", TransmissionStartOutcome::InvalidResponse, invalid},
        {"OK ", TransmissionStartOutcome::InvalidResponse, invalid},
        {"ok", TransmissionStartOutcome::InvalidResponse, invalid},
        {"XK", TransmissionStartOutcome::InvalidResponse, invalid},
        {"O", TransmissionStartOutcome::InvalidResponse, invalid},
        {" OK", TransmissionStartOutcome::InvalidResponse, invalid},
        {nullptr, TransmissionStartOutcome::NoResponse, "Communication Error.  \nNo response. "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply != nullptr ? c.reply : "no reply");
        sim::Faults faults;
        if (c.reply != nullptr) {
            faults.wrongReplies.push_back({":COMP:TABLE", std::string(c.reply) + "\r\n"});
        } else {
            faults.silentFromCommand = 1;
        }
        SimInstrument instrument(sim::EmptyInstrument(), faults);
        RecordingObserver observer;
        TableTransmissionEngine engine(observer);

        const auto started = std::chrono::steady_clock::now();
        const comp::TransmissionStart start =
            engine.StartOnPort(instrument.Port(), TextOf(CompTable{}));
        const auto elapsed = std::chrono::steady_clock::now() - started;
        EXPECT_EQ(start.outcome, c.outcome);
        EXPECT_EQ(start.message, c.message);
        EXPECT_EQ(CommClose(), 0) << "the port is closed";
        EXPECT_TRUE(ReceivedRecords(instrument).empty());
        EXPECT_EQ(observer.EndCount(), 0u);
        if (c.reply == nullptr) {
            EXPECT_GE(elapsed, 1s);
            EXPECT_LE(elapsed, 2500ms);
        }
    }
}

// A wrong acknowledgement ends the transfer at its entry; the port is free for what follows.
TEST(TableTransmission, WrongAcknowledgementStopsAtItsEntry) {
    sim::Faults faults;
    faults.badAckEntry = 10;
    faults.badAckByte = 0x55;
    SimInstrument instrument(sim::EmptyInstrument(), faults);
    RecordingObserver observer;
    TableTransmissionEngine engine(observer);

    ASSERT_TRUE(engine.StartOnPort(instrument.Port(), TextOf(CompTable{})).Started());
    const std::optional<TableTransmissionEnd> end = observer.WaitForEnd();
    engine.Join();
    ASSERT_TRUE(end);
    EXPECT_EQ(end->outcome, TransmissionOutcome::Error);
    EXPECT_STREQ(comp::EndMessage(end->outcome), "Data transfer error.  ");
    EXPECT_EQ(end->acknowledged, 9);
    EXPECT_EQ(observer.Progress(), OneTo(9));
    EXPECT_EQ(ReceivedRecords(instrument).size(), 10u) << "nothing after the refused entry";
    EXPECT_EQ(CommClose(), 0) << "the port is closed";
    ASSERT_EQ(CommOpen(instrument.Port()), 1) << "a following exchange finds the port free";
    CommClose();
}

// The instrument's side scripted byte for byte: what it answers on each event of the link.
class ScriptedInstrument {
public:
    using Reaction = std::function<std::string(CommTraceEvent, const std::string&)>;
    explicit ScriptedInstrument(Reaction reaction) : reaction_(std::move(reaction)) {
        CommConfigure(kInstrumentBaud);
        CommSetTrace(&ScriptedInstrument::Sink, this);
    }
    ~ScriptedInstrument() { CommSetTrace(nullptr, nullptr); }
    ScriptedInstrument(const ScriptedInstrument&) = delete;
    ScriptedInstrument& operator=(const ScriptedInstrument&) = delete;

    int Port() const { return peer_.Port(); }
    int Records() const { return records_; }

private:
    static void Sink(CommTraceEvent event, const std::uint8_t* data, std::size_t size,
                     void* context) {
        auto& self = *static_cast<ScriptedInstrument*>(context);
        self.records_ += event == CommTraceEvent::SentBytes ? 1 : 0;
        const std::string text =
            data != nullptr ? std::string(reinterpret_cast<const char*>(data), size) : "";
        if (const std::string reply = self.reaction_(event, text); !reply.empty()) {
            self.peer_.Write(reply);
            // Waiting on the link's side before the link reads.
            pollfd waiting{self.peer_.SlaveFd(), POLLIN, 0};
            EXPECT_EQ(poll(&waiting, 1, 1000), 1);
        }
    }

    PtyPeer peer_;
    Reaction reaction_;
    int records_ = 0; // touched on the link's thread only, read after the join
};

// Bytes waiting before ":COMP:TABLE" or before a record, or coming after the last
// acknowledgement, mean the line is out of step.
TEST(TableTransmission, StrayBytesEndTheTransfer) {
    struct Case {
        const char* name;
        int doubledAck; // the record answered with two acknowledgements (0: none)
        bool strayAtOpen;
        bool started;
        int acknowledged;
    };
    const Case cases[] = {
        {"a late reply waiting at the open", 0, true, false, 0},
        {"entry 5 acknowledged twice", 5, false, true, 5},
        {"entry 200 acknowledged twice", 200, false, true, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int records = 0;
        ScriptedInstrument instrument([&](CommTraceEvent event, const std::string& text) {
            switch (event) {
            case CommTraceEvent::Opened:
                return std::string(c.strayAtOpen ? "OK\r\n" : "");
            case CommTraceEvent::Sent:
                return std::string(text == ":COMP:TABLE" ? "OK\r\n" : "");
            case CommTraceEvent::SentBytes:
                return std::string(++records == c.doubledAck ? "\xAA\xAA" : "\xAA");
            default:
                return std::string();
            }
        });
        RecordingObserver observer;
        TableTransmissionEngine engine(observer);

        const comp::TransmissionStart start =
            engine.StartOnPort(instrument.Port(), TextOf(CompTable{}));
        EXPECT_EQ(start.Started(), c.started) << start.message;
        if (c.started) {
            const std::optional<TableTransmissionEnd> end = observer.WaitForEnd();
            engine.Join();
            ASSERT_TRUE(end);
            EXPECT_EQ(end->outcome, TransmissionOutcome::Error);
            EXPECT_EQ(end->acknowledged, c.acknowledged);
        } else {
            EXPECT_EQ(start.outcome, TransmissionStartOutcome::InvalidResponse);
        }
        EXPECT_EQ(instrument.Records(), c.acknowledged) << "no record after the stray bytes";
        EXPECT_EQ(CommClose(), 0) << "the port is closed";
    }
}

// A text that fails the table's parse is refused before the instrument is looked for.
TEST(TableTransmission, TextThatFailsTheParseSendsNothing) {
    SimInstrument instrument(sim::EmptyInstrument());
    g_candidatePorts = {{"simulated", instrument.Port(), instrument.Server().DevicePath()}};
    RecordingObserver observer;
    TableTransmissionEngine engine(observer);

    std::string text = TextOf(CompTable{});
    const std::string entry7 = "\r\n7,No Name,3m,0.000,";
    text.replace(text.find(entry7), entry7.size(), "\r\n7,No Name,30m,31.01,");
    const comp::TransmissionStart refused = engine.Start(text);
    EXPECT_EQ(refused.outcome, TransmissionStartOutcome::TableRefused);
    EXPECT_EQ(refused.message, "File corrupted.  \nCan not open. \n\n( No.7, R-Lim1 )");

    g_candidatePorts.clear();
    const comp::TransmissionStart none = engine.Start(TextOf(CompTable{}));
    EXPECT_EQ(none.outcome, TransmissionStartOutcome::ScanFailed);
    EXPECT_EQ(none.message, "Communication Error. \nIs the USB cable connected?  ");
    EXPECT_TRUE(instrument.SettledCommands().empty()) << "not even the scan";
    EXPECT_EQ(observer.EndCount(), 0u);
}

// Stop() and the destructor end the transfer after the acknowledgement in progress, with the port
// closed; the instrument holds exactly the entries acknowledged.
TEST(TableTransmission, StopEndsAfterTheAcknowledgementInProgress) {
    sim::ServerOptions paced;
    paced.pace = true;
    CompTable rows;
    for (CompRow& row : rows) {
        row.vLim = "1.234";
    }
    const sim::EntryRecord sentRecord = sim::PackEntryCodes(0, 0, 0, 0, 1234);
    for (const bool byDestructor : {false, true}) {
        SCOPED_TRACE(byDestructor ? "destroyed" : "Stop()");
        SimInstrument instrument(sim::EmptyInstrument(), {}, paced);
        RecordingObserver observer;
        {
            TableTransmissionEngine engine(observer);
            ASSERT_TRUE(engine.StartOnPort(instrument.Port(), TextOf(rows)).Started());
            ASSERT_TRUE(observer.WaitForProgress(20));
            EXPECT_EQ(engine.StartOnPort(instrument.Port(), TextOf(rows)).outcome,
                      TransmissionStartOutcome::Busy);
            if (!byDestructor) {
                engine.StopAndJoin();
                EXPECT_FALSE(engine.Running());
            }
        }
        ASSERT_EQ(observer.EndCount(), 1u);
        const TableTransmissionEnd end = *observer.WaitForEnd();
        EXPECT_EQ(end.outcome, TransmissionOutcome::Stopped);
        EXPECT_GE(end.acknowledged, 20);
        EXPECT_LT(end.acknowledged, comp::kEntryCount);
        EXPECT_EQ(observer.Progress(), OneTo(end.acknowledged));
        EXPECT_EQ(CommClose(), 0) << "the port is closed";
        const auto table = instrument.Server().State().comparatorTable;
        for (std::size_t i = 0; i < table.size(); ++i) {
            ASSERT_EQ(table[i], i < static_cast<std::size_t>(end.acknowledged) ? sentRecord
                                                                               : sim::EntryRecord{})
                << "entry " << i + 1;
        }
    }
}

} // namespace
