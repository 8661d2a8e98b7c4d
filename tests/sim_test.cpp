// The simulated instrument's answers, byte for byte, as a client sees them over the serial link.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include <gtest/gtest.h>

#include "link/comm.h"
#include "link/port_names.h"
#include "sim/pty_server.h"

namespace {

using sim::ProtocolEvent;

ReadingRecord SampleRecord(int minute) {
    ReadingCodes codes;
    codes.year = 2026;
    codes.month = 12;
    codes.day = 6;
    codes.hour = 10;
    codes.minute = minute;
    codes.resistanceRange = 1;
    codes.resistance = 2345;
    codes.voltage = 6000 + 3912;
    codes.temperature = 100 + 235;
    return EncodeReading(codes);
}

class SimTest : public ::testing::Test {
protected:
    void Serve(sim::InstrumentState state, sim::Faults faults = {},
               sim::ServerOptions options = {}) {
        server_ = std::make_unique<sim::SimServer>(std::move(state), std::move(faults),
                                                   std::move(options));
        std::string error;
        ASSERT_TRUE(server_->Start(&error)) << error;
        port_ = AttachPortDevice(server_->DevicePath());
        CommConfigure(kInstrumentBaud);
        ASSERT_EQ(CommOpen(port_), 1);
    }
    void TearDown() override {
        CommClose();
        if (server_) {
            server_->Stop();
            DetachPortDevice(port_);
        }
    }

    std::string Ask(const char* command) {
        EXPECT_EQ(CommSendCommand(command), 1);
        char line[128];
        EXPECT_EQ(CommReadLine(line), 1);
        return CommTimedOut() ? "<timed out>" : line;
    }
    std::vector<std::uint8_t> AskBytes(const char* command, std::size_t count) {
        EXPECT_EQ(CommSendCommand(command), 1);
        std::vector<std::uint8_t> bytes(count);
        for (std::uint8_t& byte : bytes) {
            if (CommReadByte(&byte) != 1) {
                ADD_FAILURE() << "reply to " << command << " too short";
                break;
            }
        }
        return bytes;
    }

    std::unique_ptr<sim::SimServer> server_;
    int port_ = 0;
};

TEST_F(SimTest, IdentityMemoryCheckSerialAndTemperatureUnit) {
    sim::InstrumentState state = sim::EmptyInstrument();
    state.units[1].Store(1, SampleRecord(0));
    state.units[11].Store(400, SampleRecord(1));
    state.serialNumber = "98765";
    state.temperatureUnit = 'F';
    Serve(std::move(state));

    EXPECT_EQ(Ask("QPID").substr(0, 4), "K720");
    EXPECT_EQ(Ask(":MEM:CHECK?"), "010000000001");
    EXPECT_EQ(Ask(":SERIAL?"), "98765");
    EXPECT_EQ(Ask(":FACT:SYS:UNIT?"), "F");
}

TEST_F(SimTest, SlotMapIsInvertedOnTheWireAndReadingsComeByGlobalNumber) {
    sim::InstrumentState state = sim::EmptyInstrument();
    state.units[2].Store(3, SampleRecord(3));
    state.units[2].Store(7, SampleRecord(7));
    state.units[2].Store(400, SampleRecord(40));
    Serve(std::move(state));

    std::vector<std::uint8_t> expectedMap(50, 0xFF);
    expectedMap[0] = static_cast<std::uint8_t>(~0b0100'0100); // slots 3 and 7
    expectedMap[49] = 0x7F;                                   // slot 400
    EXPECT_EQ(AskBytes(":MEM:UNIT? C", 50), expectedMap);
    EXPECT_EQ(AskBytes(":MEM:UNIT? A", 50), std::vector<std::uint8_t>(50, 0xFF));

    ASSERT_EQ(CommSendCommand(":MEM:DATA:START"), 1);
    const ReadingRecord third = SampleRecord(3);
    const ReadingRecord last = SampleRecord(40);
    EXPECT_EQ(AskBytes(":MEM:DATA? 803", 13),
              std::vector<std::uint8_t>(third.begin(), third.end()));
    EXPECT_EQ(AskBytes(":MEM:DATA? 1200", 13), std::vector<std::uint8_t>(last.begin(), last.end()));
    EXPECT_EQ(AskBytes(":MEM:DATA? 804", 13), std::vector<std::uint8_t>(13, 0xFF));
    ASSERT_EQ(CommSendCommand(":MEM:DATA:END"), 1);
    // START and END have no reply: the next answer is not preceded by anything.
    EXPECT_EQ(Ask("QPID").substr(0, 4), "K720");
}

TEST_F(SimTest, ClearEmptiesOneUnit) {
    sim::InstrumentState state = sim::EmptyInstrument();
    state.units[0].Store(1, SampleRecord(0));
    state.units[10].Store(5, SampleRecord(5));
    Serve(std::move(state));

    EXPECT_EQ(Ask(":MEM:CLEAR N"), "OK");
    EXPECT_EQ(Ask(":MEM:CHECK?"), "100000000000");
    EXPECT_EQ(AskBytes(":MEM:DATA? 4005", 13), std::vector<std::uint8_t>(13, 0xFF));
    EXPECT_NE(Ask(":MEM:CLEAR X"), "OK");
}

TEST_F(SimTest, ClockAcceptsOnlyValidSettings) {
    Serve(sim::EmptyInstrument());
    EXPECT_EQ(Ask(":TIME 2028,2,29,23,59"), "OK");
    const sim::ClockSetting set{2028, 2, 29, 23, 59};
    EXPECT_EQ(server_->State().clock, set);

    for (const char* bad : {":TIME 2027,2,29,10,0", ":TIME 2038,1,1,0,0", ":TIME 2026,13,1,0,0",
                            ":TIME 2026,4,31,0,0", ":TIME 2026,1,1,24,0", ":TIME 2026,1,1,0,60",
                            ":TIME 2026,1,1,0", ":TIME 2026,1,1,0,0,0", ":TIME 2026,01,1,0,x"}) {
        EXPECT_NE(Ask(bad), "OK") << bad;
    }
    EXPECT_EQ(server_->State().clock, set);
}

TEST_F(SimTest, ComparatorTableReadAndFullTransfer) {
    sim::InstrumentState state = sim::EmptyInstrument();
    state.comparatorTable[6] = {0x53, 0x4B, 0x07, 0x24, 0xB0};
    Serve(std::move(state));

    ASSERT_EQ(CommSendCommand(":COMP:TABLE:START"), 1);
    EXPECT_EQ(AskBytes(":COMP:TABLE? 7", 5),
              (std::vector<std::uint8_t>{0x53, 0x4B, 0x07, 0x24, 0xB0}));
    EXPECT_EQ(AskBytes(":COMP:TABLE? 200", 5), std::vector<std::uint8_t>(5, 0));
    ASSERT_EQ(CommSendCommand(":COMP:TABLE:END"), 1);

    EXPECT_EQ(Ask(":COMP:TABLE"), "OK");
    for (int entry = 1; entry <= sim::kTableEntries; ++entry) {
        // Every byte value appears, the line terminators among them.
        const std::uint8_t record[5] = {static_cast<std::uint8_t>(entry), 0x0A, 0x0D,
                                        static_cast<std::uint8_t>(255 - entry), 0x00};
        ASSERT_EQ(CommSendBytes(record, sizeof record), 1);
        std::uint8_t ack = 0;
        ASSERT_EQ(CommReadByte(&ack), 1) << "entry " << entry;
        ASSERT_EQ(ack, 0xAA) << "entry " << entry;
    }
    const auto table = server_->State().comparatorTable;
    EXPECT_EQ(table[0], (sim::EntryRecord{1, 0x0A, 0x0D, 254, 0}));
    EXPECT_EQ(table[199], (sim::EntryRecord{200, 0x0A, 0x0D, 55, 0}));
    // Back to commands after the 200th record.
    EXPECT_EQ(Ask("QPID").substr(0, 4), "K720");
}

TEST_F(SimTest, WrongAcknowledgementAtTheChosenEntry) {
    sim::Faults faults;
    faults.badAckEntry = 10;
    faults.badAckByte = 0x55;
    Serve(sim::EmptyInstrument(), faults);

    EXPECT_EQ(Ask(":COMP:TABLE"), "OK");
    const std::uint8_t record[5] = {0xF0, 0x73, 0x07, 0x37, 0x70};
    for (int entry = 1; entry <= 10; ++entry) {
        ASSERT_EQ(CommSendBytes(record, sizeof record), 1);
        std::uint8_t ack = 0;
        ASSERT_EQ(CommReadByte(&ack), 1);
        EXPECT_EQ(ack, entry < 10 ? 0xAA : 0x55) << "entry " << entry;
    }
    EXPECT_EQ(server_->State().comparatorTable[9], sim::EntryRecord{})
        << "a refused entry is not stored";
}

TEST_F(SimTest, SilenceFromTheChosenCommand) {
    sim::Faults faults;
    faults.silentFromCommand = 2;
    Serve(sim::EmptyInstrument(), faults);
    EXPECT_EQ(Ask("QPID").substr(0, 4), "K720");
    EXPECT_EQ(Ask("QPID"), "<timed out>");
}

TEST_F(SimTest, WrongReplyToTheChosenOccurrence) {
    sim::Faults faults;
    faults.wrongReplies.push_back({"QPID", "XYZ\r\n", 2});
    faults.wrongReplies.push_back({":FACT:*", "c\r\n", 0});
    Serve(sim::EmptyInstrument(), faults);
    EXPECT_EQ(Ask("QPID").substr(0, 4), "K720");
    EXPECT_EQ(Ask("QPID"), "XYZ");
    EXPECT_EQ(Ask("QPID").substr(0, 4), "K720");
    EXPECT_EQ(Ask(":FACT:SYS:UNIT?"), "c");
}

TEST_F(SimTest, ReadingsStopAfterTheChosenCount) {
    sim::Faults faults;
    faults.readingsBeforeSilence = 2;
    Serve(sim::DemoInstrument(), faults);
    AskBytes(":MEM:DATA? 1", 13);
    AskBytes(":MEM:DATA? 2", 13);
    ASSERT_EQ(CommSendCommand(":MEM:DATA? 3"), 1);
    std::uint8_t byte = 0;
    EXPECT_EQ(CommReadByte(&byte), 0);
}

TEST_F(SimTest, TableQueriesStopAfterTheChosenCount) {
    sim::Faults faults;
    faults.tableEntriesBeforeSilence = 2;
    const sim::EntryRecord first = sim::DemoInstrument().comparatorTable[0];
    Serve(sim::DemoInstrument(), faults);
    EXPECT_EQ(AskBytes(":COMP:TABLE? 1", 5), std::vector<std::uint8_t>(first.begin(), first.end()));
    AskBytes(":COMP:TABLE? 2", 5);
    EXPECT_EQ(Ask(":MEM:CHECK?").size(), 12u) << "other commands are still answered";
    ASSERT_EQ(CommSendCommand(":COMP:TABLE? 3"), 1);
    std::uint8_t byte = 0;
    EXPECT_EQ(CommReadByte(&byte), 0);
}

TEST_F(SimTest, HangUpMakesTheDeviceVanish) {
    sim::Faults faults;
    faults.hangUpAtCommand = 2;
    Serve(sim::EmptyInstrument(), faults);
    EXPECT_EQ(Ask("QPID").substr(0, 4), "K720");
    ASSERT_EQ(CommSendCommand(":MEM:CHECK?"), 1);
    char line[32];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CommReadLine(line), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(CommOpen(port_), 0);
}

TEST_F(SimTest, LogsCommandsAndPortEventsInOrder) {
    const std::string logPath = testing::TempDir() + "k720_sim_test.log";
    std::remove(logPath.c_str());
    sim::ServerOptions options;
    options.logPath = logPath;
    Serve(sim::EmptyInstrument(), {}, options);
    Ask("QPID");
    Ask(":SERIAL?");
    CommClose();
    ASSERT_EQ(CommOpen(port_), 1);
    Ask("QPID");
    CommClose();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));

    using K = ProtocolEvent::Kind;
    const std::vector<ProtocolEvent> expected = {
        {K::PortOpened, ""}, {K::Command, "QPID"}, {K::Command, ":SERIAL?"}, {K::PortClosed, ""},
        {K::PortOpened, ""}, {K::Command, "QPID"}, {K::PortClosed, ""}};
    EXPECT_EQ(server_->Events(), expected);

    std::ifstream log(logPath);
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_EQ(text.str(), "port opened\ncommand QPID\ncommand :SERIAL?\nport closed\n"
                          "port opened\ncommand QPID\nport closed\n");
}

TEST_F(SimTest, LogsEveryTableRecordInHex) {
    const std::string logPath = testing::TempDir() + "k720_sim_records.log";
    std::remove(logPath.c_str());
    sim::ServerOptions options;
    options.logPath = logPath;
    Serve(sim::EmptyInstrument(), {}, options);
    EXPECT_EQ(Ask(":COMP:TABLE"), "OK");
    for (const std::uint8_t first : {0x53, 0x0A}) {
        const std::uint8_t record[5] = {first, 0x4B, 0x07, 0x24, 0xB0};
        ASSERT_EQ(CommSendBytes(record, sizeof record), 1);
        std::uint8_t ack = 0;
        ASSERT_EQ(CommReadByte(&ack), 1);
    }
    CommClose();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::ifstream log(logPath);
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_EQ(text.str(), "port opened\ncommand :COMP:TABLE\nentry 1: 53 4B 07 24 B0\n"
                          "entry 2: 0A 4B 07 24 B0\nport closed\n");
}

TEST_F(SimTest, CommandSentJustBeforeTheCloseIsNotLost) {
    Serve(sim::EmptyInstrument());
    // The link writes the text and the CR LF separately; the close follows at once.
    constexpr int kRounds = 100;
    for (int i = 0; i < kRounds; ++i) {
        ASSERT_EQ(CommSendCommand(":MEM:DATA:END"), 1);
        CommClose();
        ASSERT_EQ(CommOpen(port_), 1);
    }
    EXPECT_EQ(Ask("QPID").substr(0, 4), "K720");
    const std::vector<std::string> commands = server_->Commands();
    ASSERT_EQ(commands.size(), kRounds + 1u);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), ":MEM:DATA:END"), kRounds);
}

TEST_F(SimTest, TableTransferAbandonedByTheClientEndsAfterAPause) {
    Serve(sim::EmptyInstrument());
    EXPECT_EQ(Ask(":COMP:TABLE"), "OK");
    const std::uint8_t record[5] = {1, 2, 3, 4, 5};
    ASSERT_EQ(CommSendBytes(record, sizeof record), 1);
    std::uint8_t ack = 0;
    ASSERT_EQ(CommReadByte(&ack), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(2200));
    EXPECT_EQ(Ask("QPID").substr(0, 4), "K720") << "commands are understood again";
}

// A client that never ends its line, or never stops sending, does not make the instrument grow:
// a line is cut at its length limit up to its LF, and only the most recent events are kept.
TEST(SimProtocolTest, EndlessLinesAndEndlessCommandsStayBounded) {
    sim::InstrumentProtocol protocol(sim::EmptyInstrument());
    const auto send = [&protocol](std::string_view bytes) {
        std::optional<sim::Reaction> last;
        for (const char c : bytes) {
            last = protocol.Receive(static_cast<std::uint8_t>(c));
        }
        return last;
    };
    send(std::string(4'000'000, 'x'));
    ASSERT_TRUE(send("\r\n"));
    ASSERT_EQ(protocol.Events().size(), 1u);
    EXPECT_EQ(protocol.Events().back().text, std::string(sim::kMaxCommandLength, 'x'));
    const std::optional<sim::Reaction> identity = send("QPID\r\n");
    ASSERT_TRUE(identity);
    EXPECT_EQ(std::string(identity->reply.begin(), identity->reply.end()).substr(0, 4), "K720");

    const std::size_t commands = sim::kMaxKeptEvents + 10;
    for (std::size_t i = 0; i < commands; ++i) {
        send(":SERIAL?\r\n");
    }
    send(":MEM:CHECK?\r\n");
    EXPECT_EQ(protocol.Events().size(), sim::kMaxKeptEvents);
    EXPECT_EQ(protocol.EventsRecorded(), commands + 3);
    EXPECT_EQ(protocol.Events().front().text, ":SERIAL?");
    EXPECT_EQ(protocol.Events().back().text, ":MEM:CHECK?");
}

TEST_F(SimTest, DemoDataHoldsWhatTheDemoPromises) {
    const sim::InstrumentState demo = sim::DemoInstrument();
    int units = 0;
    for (const sim::MemoryUnit& unit : demo.units) {
        units += unit.HasData() ? 1 : 0;
    }
    EXPECT_GE(units, 3);
    EXPECT_EQ(demo.units[11].occupied.count(), 400u) << "one full unit for the benchmarks";
    EXPECT_FALSE(demo.units[0].occupied.all()) << "gaps in the slot maps";
    EXPECT_EQ(demo.temperatureUnit, 'C');
}

} // namespace
