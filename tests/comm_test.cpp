#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "fuzz/fake_serial_device.h"
#include "link/comm.h"
#include "link/port_names.h"
#include "link/serial_device.h"
#include "sim/instrument.h"
#include "tests/support/pty_peer.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class CommTest : public ::testing::Test {
protected:
    void SetUp() override {
        CommConfigure(kInstrumentBaud);
        ASSERT_EQ(CommOpen(peer.Port()), 1) << "errno " << CommLastOpenError();
    }
    void TearDown() override { CommClose(); }

    std::string ReadLine() {
        char line[64];
        EXPECT_EQ(CommReadLine(line), 1);
        return line;
    }

    PtyPeer peer;
};

TEST_F(CommTest, CommandGoesOutWithCrLf) {
    ASSERT_EQ(CommSendCommand("QPID"), 1);
    EXPECT_EQ(peer.ReadSent(), "QPID\r\n");

    const std::uint8_t raw[] = {0x00, 0x0A, 0xAA, 0xFF, 0x0D};
    ASSERT_EQ(CommSendBytes(raw, sizeof raw), 1);
    EXPECT_EQ(peer.ReadSent(), std::string(reinterpret_cast<const char*>(raw), sizeof raw));
}

TEST_F(CommTest, OpenAppliesLineSettingsExclusively) {
    termios tio{};
    ASSERT_EQ(tcgetattr(peer.SlaveFd(), &tio), 0);
    EXPECT_EQ(cfgetispeed(&tio), B38400);
    EXPECT_EQ(cfgetospeed(&tio), B38400);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);

    int exclusive = 0;
    ASSERT_EQ(ioctl(peer.SlaveFd(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    EXPECT_EQ(CommClose(), 1);
    ASSERT_EQ(ioctl(peer.SlaveFd(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0) << "a closed port must be open to the next user";
}

// Root ignores the exclusive open: the advisory lock keeps a second program, whoever runs it, off
// a port in use, and a port that another program holds locked is busy.
TEST(CommLock, APortInUseIsBusyForEveryone) {
    PtyPeer peer;
    CommConfigure(kInstrumentBaud);
    const int other = open(peer.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(CommOpen(peer.Port()), 0);
    EXPECT_EQ(CommLastOpenError(), EBUSY);
    close(other);

    ASSERT_EQ(CommOpen(peer.Port()), 1);
    // Without privileges the exclusive open already refuses the second open.
    const int second = open(peer.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (second >= 0) {
        EXPECT_NE(flock(second, LOCK_EX | LOCK_NB), 0);
        close(second);
    }
    EXPECT_EQ(CommClose(), 1);
}

TEST_F(CommTest, ReplyLineDropsControlBytesAndKeepsHighBytes) {
    peer.Write(std::string("O\tK\0\r\xB0\r\n", 8));
    char line[16];
    ASSERT_EQ(CommReadLine(line), 1);
    EXPECT_STREQ(line, "OK\xB0");
    EXPECT_EQ(CommTimedOut(), 0);

    peer.Write("\r\n");
    EXPECT_EQ(ReadLine(), "");
    EXPECT_EQ(CommTimedOut(), 0);
}

TEST_F(CommTest, NothingReceivedIsLostBetweenReads) {
    peer.Write("ONE\r\nTWO\r\n\x01\x0A\xFF");
    EXPECT_EQ(ReadLine(), "ONE");
    EXPECT_EQ(ReadLine(), "TWO");
    std::uint8_t byte = 0;
    for (std::uint8_t expected : {0x01, 0x0A, 0xFF}) {
        ASSERT_EQ(CommReadByte(&byte), 1);
        EXPECT_EQ(byte, expected);
    }
}

TEST_F(CommTest, PurgeDropsWhatWasReadAhead) {
    peer.Write("A\r\nB\r\n");
    EXPECT_EQ(ReadLine(), "A");
    CommPurge();
    peer.Write("C\r\n");
    EXPECT_EQ(ReadLine(), "C");
}

TEST_F(CommTest, OverlongLineIsCutAtCapacityAndTheRestDropped) {
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    peer.Write(std::string(100, 'x') + "\r\nOK\r\n");
    ASSERT_EQ(CommReadLine(buffer, 8), 1);
    EXPECT_STREQ(buffer, "xxxxxxx");
    EXPECT_EQ(buffer[8], '#') << "wrote past the capacity";
    EXPECT_EQ(CommTimedOut(), 0);
    EXPECT_EQ(ReadLine(), "OK");
}

TEST_F(CommTest, MissingReplyTimesOutFlaggedWithinBudget) {
    const auto start = Clock::now();
    char line[16] = "garbage";
    ASSERT_EQ(CommReadLine(line), 1);
    const double waited = SecondsSince(start);
    EXPECT_STREQ(line, "");
    EXPECT_EQ(CommTimedOut(), 1);
    EXPECT_GE(waited, 1.0);
    EXPECT_LE(waited, 2.5);

    // The port stays open after a line time-out, and the flag clears on the next read.
    peer.Write("OK\r\n");
    EXPECT_EQ(ReadLine(), "OK");
    EXPECT_EQ(CommTimedOut(), 0);
}

TEST_F(CommTest, AFailedReadNeverReportsTheTimeOutOfTheReadBefore) {
    char line[16];
    ASSERT_EQ(CommReadLine(line), 1);
    ASSERT_EQ(CommTimedOut(), 1);
    CommClose();
    EXPECT_EQ(CommReadLine(line), 0);
    EXPECT_EQ(CommTimedOut(), 0);
}

TEST_F(CommTest, LateLineComesBackCutAndItsRestIsPurged) {
    peer.Write("ABC");
    Later rest(2500ms, [this] { peer.Write("DEF\r\n"); });
    const auto start = Clock::now();
    EXPECT_EQ(ReadLine(), "ABC");
    EXPECT_EQ(CommTimedOut(), 1);
    EXPECT_LE(SecondsSince(start), 2.5);

    // Bytes that were waiting when the budget ran out are gone; the next line stands alone.
    peer.Write("XYZ");
    CommPurge();
    peer.Write("NEXT\r\n");
    EXPECT_EQ(ReadLine(), "NEXT");
}

TEST_F(CommTest, ByteTimeOutClosesThePort) {
    const auto start = Clock::now();
    std::uint8_t byte = 0x5A;
    EXPECT_EQ(CommReadByte(&byte), 0);
    const double waited = SecondsSince(start);
    EXPECT_GE(waited, 1.0);
    EXPECT_LE(waited, 2.5);
    EXPECT_EQ(byte, 0x5A);
    EXPECT_EQ(CommClose(), 0) << "the time-out should have closed the port";
}

TEST_F(CommTest, DeviceVanishingMidReadFailsAndClosesPort) {
    {
        Later pull(300ms, [this] { peer.Vanish(); });
        const auto start = Clock::now();
        char line[16];
        std::memcpy(line, "untouched", 10);
        EXPECT_EQ(CommReadLine(line), 0);
        EXPECT_LT(SecondsSince(start), 1.0) << "a hang-up must not wait for the budget";
        EXPECT_STREQ(line, "untouched");
    }
    EXPECT_EQ(CommClose(), 0);
    std::uint8_t byte = 0;
    EXPECT_EQ(CommReadByte(&byte), 0);
}

TEST(CommClosedPort, EveryOperationFailsHarmlessly) {
    CommClose();
    EXPECT_EQ(CommClose(), 0);
    EXPECT_EQ(CommSendCommand("QPID"), 0);
    const std::uint8_t bytes[] = {1, 2};
    EXPECT_EQ(CommSendBytes(bytes, sizeof bytes), 0);
    char line[8] = "keep";
    EXPECT_EQ(CommReadLine(line), 0);
    EXPECT_STREQ(line, "keep");
    std::uint8_t byte = 7;
    EXPECT_EQ(CommReadByte(&byte), 0);
    EXPECT_EQ(byte, 7);
    CommPurge();
}

TEST(CommClosedPort, TerminalGetsItsOwnSettingsBack) {
    PtyPeer peer;
    termios own{};
    ASSERT_EQ(tcgetattr(peer.SlaveFd(), &own), 0);
    own.c_lflag |= ICANON | ECHO | ISIG;
    own.c_iflag |= ICRNL | IXON;
    own.c_oflag |= OPOST;
    own.c_cc[VMIN] = 1;
    ASSERT_EQ(cfsetspeed(&own, B9600), 0);
    ASSERT_EQ(tcsetattr(peer.SlaveFd(), TCSANOW, &own), 0);
    ASSERT_EQ(tcgetattr(peer.SlaveFd(), &own), 0);

    CommConfigure(kInstrumentBaud);
    ASSERT_EQ(CommOpen(peer.Port()), 1);
    termios during{};
    ASSERT_EQ(tcgetattr(peer.SlaveFd(), &during), 0);
    ASSERT_NE(during.c_lflag, own.c_lflag) << "the link did not apply its settings";
    EXPECT_EQ(CommClose(), 1);

    termios after{};
    ASSERT_EQ(tcgetattr(peer.SlaveFd(), &after), 0);
    EXPECT_EQ(after.c_iflag, own.c_iflag);
    EXPECT_EQ(after.c_oflag, own.c_oflag);
    EXPECT_EQ(after.c_cflag, own.c_cflag);
    EXPECT_EQ(after.c_lflag, own.c_lflag);
    EXPECT_EQ(cfgetispeed(&after), B9600);
    EXPECT_EQ(cfgetospeed(&after), B9600);
    EXPECT_EQ(std::memcmp(after.c_cc, own.c_cc, sizeof own.c_cc), 0);
}

TEST(CommOpenRange, OutOfRangeNumbersTouchNothing) {
    PtyPeer peer;
    CommConfigure(kInstrumentBaud);
    ASSERT_EQ(CommOpen(peer.Port()), 1);
    EXPECT_EQ(CommOpen(0), 0);
    EXPECT_EQ(CommOpen(257), 0);
    // The port opened before is still the open one.
    ASSERT_EQ(CommSendCommand("STILL"), 1);
    EXPECT_EQ(peer.ReadSent(), "STILL\r\n");
    EXPECT_EQ(CommClose(), 1);
}

TEST(CommOpenRange, UnknownPortNumberFailsWithoutAPort) {
    const int unattached = kLastPortNumber;
    ASSERT_EQ(PortDevicePath(unattached), "");
    EXPECT_EQ(CommOpen(unattached), 0);
    EXPECT_NE(CommLastOpenError(), 0);
    EXPECT_EQ(CommClose(), 0);
}

// The fuzz harness installs its own device under the link for a while: the port open on the
// device it replaces is closed first, and that device carries the link again afterwards.
TEST(CommDevice, AnInstalledDeviceCarriesTheLinkForItsScope) {
    PtyPeer peer;
    CommConfigure(kInstrumentBaud);
    ASSERT_EQ(CommOpen(peer.Port()), 1);
    fuzz::FakeSerialDevice fake;
    fake.Connect("/fake/instrument", sim::InstrumentProtocol(sim::EmptyInstrument()), {}, 1);
    const int fakePort = AttachPortDevice("/fake/instrument");
    {
        ScopedSerialDevice installed(fake);
        int exclusive = 1;
        ASSERT_EQ(ioctl(peer.SlaveFd(), TIOCGEXCL, &exclusive), 0);
        EXPECT_EQ(exclusive, 0) << "the replaced device's port must be closed";
        ASSERT_EQ(CommOpen(fakePort), 1) << "errno " << CommLastOpenError();
        EXPECT_TRUE(fake.IsOpen());
    }
    EXPECT_FALSE(fake.IsOpen());
    DetachPortDevice(fakePort);
    ASSERT_EQ(CommOpen(peer.Port()), 1) << "errno " << CommLastOpenError();
    ASSERT_EQ(CommSendCommand("QPID"), 1);
    EXPECT_EQ(peer.ReadSent(), "QPID\r\n");
    EXPECT_EQ(CommClose(), 1);
}

TEST(PortNames, RuleMapsSerialDevicesBothWays) {
    struct Case {
        const char* path;
        int port;
    };
    const Case cases[] = {{"/dev/ttyUSB0", 1},    {"/dev/ttyUSB63", 64}, {"/dev/ttyACM0", 65},
                          {"/dev/ttyACM63", 128}, {"/dev/ttyS0", 129},   {"/dev/ttyS31", 160}};
    for (const Case& c : cases) {
        EXPECT_EQ(PortNumberByRule(c.path), c.port) << c.path;
        EXPECT_EQ(PortDevicePath(c.port), c.path) << c.port;
        EXPECT_EQ(AttachPortDevice(c.path), c.port) << c.path;
    }
    // Other devices, however close their names: attached, never given a rule's number.
    for (const char* outside :
         {"/dev/ttyUSB64", "/dev/ttyUSB", "/dev/ttyUSB01", "/dev/ttyUSB1x", "/dev/ttyS32",
          "/dev/ttyS-0", "/dev/ttyS+1", "/dev/ttyS 1", "/dev/pts/3", "ttyUSB0"}) {
        EXPECT_EQ(PortNumberByRule(outside), 0) << outside;
        const int attached = AttachPortDevice(outside);
        EXPECT_GE(attached, kFirstAttachedPortNumber) << outside;
        EXPECT_EQ(PortDevicePath(attached), outside);
        DetachPortDevice(attached);
    }
    EXPECT_EQ(PortDevicePath(0), "");
    EXPECT_EQ(PortDevicePath(257), "");
}

TEST(PortNames, AttachedPathsKeepTheirNumberUntilDetached) {
    const int first = AttachPortDevice("/dev/pts/900");
    const int second = AttachPortDevice("/dev/pts/901");
    EXPECT_GE(first, kFirstAttachedPortNumber);
    EXPECT_LE(second, kLastPortNumber);
    EXPECT_NE(first, second);
    EXPECT_EQ(AttachPortDevice("/dev/pts/900"), first);
    EXPECT_EQ(PortDevicePath(second), "/dev/pts/901");
    DetachPortDevice(first);
    EXPECT_EQ(PortDevicePath(first), "");
    EXPECT_EQ(AttachPortDevice("/dev/pts/902"), first) << "the lowest free number is reused";
    DetachPortDevice(first);
    DetachPortDevice(second);
    EXPECT_EQ(AttachPortDevice(""), 0);
}

} // namespace
