// The serial link over the Windows communications API, run under Wine against the Linux simulated
// instrument on COM ports that scripts/test-windows maps to its pseudo-terminals.
#include <chrono>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "link/comm.h"
#include "link/port_names.h"
#include "tests/support/wine_ports.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string Exchange(const char* command) {
    char line[64] = "unset";
    EXPECT_EQ(CommSendCommand(command), 1);
    EXPECT_EQ(CommReadLine(line), 1);
    EXPECT_EQ(CommTimedOut(), 0);
    return line;
}

class SerialDeviceWin32Test : public ::testing::Test {
protected:
    void SetUp() override { CommConfigure(kInstrumentBaud); }
    void TearDown() override { CommClose(); }
};

TEST_F(SerialDeviceWin32Test, PortNumbersNameComDevicesAndTheDeviceNamespaceFromTen) {
    EXPECT_EQ(PortDevicePath(9), "COM9");
    EXPECT_EQ(PortDevicePath(10), "\\\\.\\COM10");
    EXPECT_EQ(PortDevicePath(256), "\\\\.\\COM256");
    EXPECT_EQ(PortNumberByRule("\\\\.\\COM12"), 12);
    EXPECT_EQ(CommOpen(0), 0);
    EXPECT_EQ(CommOpen(257), 0);
}

TEST_F(SerialDeviceWin32Test, ExchangesLinesAndBinaryRepliesBelowAndAboveTen) {
    K720_REQUIRE_COM_PORT(low, "K720_TEST_COM");
    K720_REQUIRE_COM_PORT(high, "K720_TEST_COM_HIGH");
    ASSERT_LT(low, 10);
    ASSERT_GE(high, 10);
    for (const int port : {low, high}) {
        SCOPED_TRACE(PortDevicePath(port));
        ASSERT_EQ(CommOpen(port), 1) << "error " << CommLastOpenError();
        EXPECT_EQ(Exchange("QPID"), "K720 V1.00");
        EXPECT_EQ(Exchange(":MEM:CHECK?"), "101100000001");

        // A binary reply read by count: the slot map of an empty unit is 50 bytes of 0xFF.
        EXPECT_EQ(CommPurgeStray(), 0u);
        ASSERT_EQ(CommSendCommand(":MEM:UNIT? B"), 1);
        for (int i = 0; i < 50; ++i) {
            std::uint8_t byte = 0;
            ASSERT_EQ(CommReadByte(&byte), 1) << "byte " << i;
            ASSERT_EQ(byte, 0xFF) << "byte " << i;
        }
        // A reply nobody reads is found waiting before the next command. The second reply is
        // given time to arrive: counted too early it would not be waiting yet, and would reach
        // the next port's exchanges instead (COM12 is the same instrument).
        ASSERT_EQ(CommSendCommand("QPID"), 1);
        EXPECT_EQ(Exchange(":SERIAL?"), "K720 V1.00");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_GT(CommPurgeStray(), 0u);
        EXPECT_EQ(CommClose(), 1);
        EXPECT_EQ(CommClose(), 0);
    }
}

TEST_F(SerialDeviceWin32Test, ANumberWithoutDeviceFailsWithTheSystemsError) {
    const auto start = Clock::now();
    EXPECT_EQ(CommOpen(77), 0);
    EXPECT_NE(CommLastOpenError(), 0);
    EXPECT_LT(SecondsSince(start), 1.0);
    char line[8];
    EXPECT_EQ(CommReadLine(line), 0);
    EXPECT_EQ(CommSendCommand("QPID"), 0);
}

TEST_F(SerialDeviceWin32Test, SilenceEndsLineAndByteReadsWithinTheBudget) {
    K720_REQUIRE_COM_PORT(port, "K720_TEST_COM_SILENT");
    ASSERT_EQ(CommOpen(port), 1) << "error " << CommLastOpenError();
    ASSERT_EQ(CommSendCommand("QPID"), 1);
    char line[16] = "garbage";
    auto start = Clock::now();
    ASSERT_EQ(CommReadLine(line), 1);
    double waited = SecondsSince(start);
    EXPECT_STREQ(line, "");
    EXPECT_EQ(CommTimedOut(), 1);
    EXPECT_GE(waited, 1.0);
    EXPECT_LE(waited, 2.5);

    // A byte time-out closes the port.
    std::uint8_t byte = 0;
    start = Clock::now();
    EXPECT_EQ(CommReadByte(&byte), 0);
    waited = SecondsSince(start);
    EXPECT_GE(waited, 1.0);
    EXPECT_LE(waited, 2.5);
    EXPECT_EQ(CommClose(), 0);
}

TEST_F(SerialDeviceWin32Test, AHangUpFailsTheReadAndClosesThePort) {
    K720_REQUIRE_COM_PORT(port, "K720_TEST_COM_HANGUP");
    ASSERT_EQ(CommOpen(port), 1) << "error " << CommLastOpenError();
    EXPECT_EQ(Exchange("QPID"), "K720 V1.00");
    ASSERT_EQ(CommSendCommand("QPID"), 1); // the simulator hangs up on this one
    char line[16];
    const auto start = Clock::now();
    EXPECT_EQ(CommReadLine(line), 0);
    EXPECT_LT(SecondsSince(start), 2.5);
    EXPECT_EQ(CommClose(), 0) << "the failed read must have closed the port";
}

TEST(SerialDeviceWin32Skipped, WhatWineCannotShow) {
    GTEST_SKIP() << "Wine opens a COM port as the Unix device it is mapped to, which keeps no "
                    "Linux process out, and a pseudo-terminal has no DTR or RTS line: the "
                    "exclusive open and the modem lines need a real port on Windows";
}

} // namespace
