#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <grp.h>
#include <memory>
#include <pwd.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/unique_fd.h"
#include "instrument/discovery.h"
#include "instrument/port_listing.h"
#include "link/comm.h"
#include "link/port_names.h"
#include "sim/instrument.h"
#include "sim/pty_server.h"
#include "tests/support/measure_support.h"
#include "translations/text_language.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Clock = std::chrono::steady_clock;

const std::vector<std::string> kTwoProbes = {"QPID", "QPID"};

std::string ProlificName(int n) {
    return "Prolific USB-to-Serial Comm Port (COM" + std::to_string(n) + ")";
}

sim::Faults HangUpAt(int command) {
    sim::Faults faults;
    faults.hangUpAtCommand = command;
    return faults;
}

sim::Faults SilentFrom(int command) {
    sim::Faults faults;
    faults.silentFromCommand = command;
    return faults;
}

// Replaces the reply to the n-th "QPID" (0: every one).
sim::Faults IdentityReply(std::string reply, int occurrence = 0) {
    sim::Faults faults;
    faults.wrongReplies = {{"QPID", std::move(reply), occurrence}};
    return faults;
}

// Collects the device path of every open attempt, in order, through the link's trace.
void RecordOpen(CommTraceEvent event, const std::uint8_t* data, std::size_t size, void* context) {
    if (event == CommTraceEvent::Opened || event == CommTraceEvent::OpenFailed) {
        static_cast<std::vector<std::string>*>(context)->emplace_back(
            reinterpret_cast<const char*>(data), size);
    }
}

class Discovery : public ::testing::Test {
protected:
    void SetUp() override {
        g_candidatePorts.clear();
        g_instrumentPort = NO_INSTRUMENT_PORT;
        g_portListChanged.store(0);
        SetPortLister([this] { return listed_; });
    }

    void TearDown() override {
        CommSetTrace(nullptr, nullptr);
        SetPortLister({});
        CommClose();
        for (const ListedPort& port : listed_) {
            DetachPortDevice(port.portNumber);
        }
    }

    // Starts a simulated port, lists it as a Prolific port and returns its server.
    sim::SimServer& AddPort(sim::Faults faults = {}, std::string identity = "K720 V1.00") {
        sim::InstrumentState state = sim::EmptyInstrument();
        state.identity = std::move(identity);
        servers_.push_back(std::make_unique<sim::SimServer>(std::move(state), std::move(faults)));
        sim::SimServer& server = *servers_.back();
        std::string error;
        EXPECT_TRUE(server.Start(&error)) << error;
        const int number = AttachPortDevice(server.DevicePath());
        EXPECT_NE(number, 0);
        listed_.push_back({ProlificName(number), number, server.DevicePath(), true});
        return server;
    }

    sim::SimServer& AddWrongPort() { return AddPort(IdentityReply("K999 V2\r\n")); }

    // Lists a port whose device does not exist and returns its path.
    std::string AddMissingPort() {
        const std::string missing = "/nonexistent/k720-port";
        const int number = AttachPortDevice(missing);
        listed_.push_back({ProlificName(number), number, missing, true});
        return missing;
    }

    int PortOf(const sim::SimServer& server) const { return AttachPortDevice(server.DevicePath()); }

    std::vector<std::string> ScanRecordingOpens(int* result) {
        std::vector<std::string> opens;
        CommSetTrace(&RecordOpen, &opens);
        EnumerateCandidatePorts();
        *result = PortScan();
        CommSetTrace(nullptr, nullptr);
        return opens;
    }

    std::vector<ListedPort> listed_;
    std::vector<std::unique_ptr<sim::SimServer>> servers_;
};

TEST_F(Discovery, CandidatesAreTheEnabledProlificPortsInTheSystemsOrder) {
    listed_ = {
        {ProlificName(3), 3, "/dev/ttyUSB2", true},
        {"FTDI USB Serial Port (COM4)", 4, "/dev/ttyUSB3", true},
        {ProlificName(5), 5, "/dev/ttyUSB4", false},
        {"prolific usb-to-serial (COM6)", 6, "/dev/ttyUSB5", true},
        {"Prolific Technology, Inc. PL2303 Serial Port (ttyUSB0)", 1, "/dev/ttyUSB0", true},
        {"Prolific port without a number", 0, "", true},
        // Named by the user (k720app --port): another bridge, but a candidate.
        {"Serial port given with --port (/dev/ttyACM0)", 65, "/dev/ttyACM0", true, true},
        {"Serial port given with --port (/dev/ttyACM1)", 66, "/dev/ttyACM1", false, true},
    };
    g_candidatePorts = {{"left over from the last listing", 9, "/dev/ttyUSB8"}};

    EnumerateCandidatePorts();

    ASSERT_EQ(g_candidatePorts.size(), 3u);
    EXPECT_EQ(g_candidatePorts[0].friendlyName, ProlificName(3));
    EXPECT_EQ(g_candidatePorts[0].portNumber, 3);
    EXPECT_EQ(g_candidatePorts[0].devicePath, "/dev/ttyUSB2");
    EXPECT_EQ(g_candidatePorts[1].portNumber, 1);
    EXPECT_EQ(g_candidatePorts[1].devicePath, "/dev/ttyUSB0");
    EXPECT_EQ(g_candidatePorts[2].portNumber, 65);
}

TEST(FriendlyName, GivesTheComNumber) {
    const struct {
        const char* name;
        int number;
    } cases[] = {
        {"Prolific USB-to-Serial Comm Port (COM3)", 3},
        {"Prolific USB-to-Serial Comm Port (COM12)", 12},
        {"Prolific USB-to-Serial Comm Port (COM 7)", 7},
        {"Port (COM256) and (COM9)", 256},
        {"Port (COM4a)", 4},
        {"Prolific USB-to-Serial Comm Port", 0},
        {"Port (COM)", 0},
        {"Port (COMx1)", 0},
        {"Port (COM99999999999)", 0},
        {"Port (com3)", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComPortNumberFromFriendlyName(c.name), c.number) << c.name;
    }
}

TEST_F(Discovery, NoCandidatesFailAtOnceAndForgetTheInstrumentPort) {
    g_instrumentPort = 5;
    EnumerateCandidatePorts();
    EXPECT_EQ(PortScan(), 1);
    EXPECT_EQ(g_instrumentPort, NO_INSTRUMENT_PORT);
}

TEST_F(Discovery, ScanStartsAtTheSavedPortAndWraps) {
    sim::SimServer& a = AddWrongPort();
    sim::SimServer& b = AddWrongPort();
    sim::SimServer& c = AddWrongPort();
    const std::string pa = a.DevicePath(), pb = b.DevicePath(), pc = c.DevicePath();
    const struct {
        int saved;
        std::vector<std::string> order;
    } cases[] = {
        {PortOf(c), {pc, pa, pb}},
        {PortOf(b), {pb, pc, pa}},
        {NO_INSTRUMENT_PORT, {pa, pb, pc}},
        {42, {pa, pb, pc}},
    };
    for (const auto& row : cases) {
        g_instrumentPort = row.saved;
        int result = 0;
        EXPECT_EQ(ScanRecordingOpens(&result), row.order) << "saved port " << row.saved;
        EXPECT_EQ(result, 1);
        EXPECT_EQ(g_instrumentPort, NO_INSTRUMENT_PORT);
    }
    for (sim::SimServer* server : {&a, &b, &c}) {
        EXPECT_EQ(server->Commands().size(), 2 * std::size(cases));
    }
}

TEST_F(Discovery, InstrumentOnTheSavedPortIsTheOnlyPortProbed) {
    sim::SimServer& other = AddWrongPort();
    sim::SimServer& instrument = AddPort();
    g_instrumentPort = PortOf(instrument);
    g_portListChanged.store(1); // a change before the scan is cleared, not acted on
    EnumerateCandidatePorts();

    EXPECT_EQ(PortScan(), 0);
    EXPECT_EQ(g_instrumentPort, PortOf(instrument));
    EXPECT_EQ(g_portListChanged.load(), 0);
    EXPECT_TRUE(other.Commands().empty());
    EXPECT_EQ(instrument.Commands(), kTwoProbes);
}

// A silent port costs two read budgets before the scan moves on.
TEST_F(Discovery, ScanPassesUnopenableWrongAndSilentPortsAndStopsAtTheInstrument) {
    const std::string missing = AddMissingPort();
    sim::SimServer& wrong = AddWrongPort();
    sim::SimServer& silent = AddPort(SilentFrom(1));
    sim::SimServer& instrument = AddPort();
    sim::SimServer& after = AddPort();

    int result = 1;
    const Clock::time_point start = Clock::now();
    EXPECT_THAT(
        ScanRecordingOpens(&result),
        ElementsAre(missing, wrong.DevicePath(), silent.DevicePath(), instrument.DevicePath()));
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(2000));
    EXPECT_LE(elapsed, std::chrono::milliseconds(5000));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(g_instrumentPort, PortOf(instrument));
    EXPECT_EQ(wrong.Commands(), kTwoProbes);
    EXPECT_EQ(silent.Commands(), kTwoProbes);
    EXPECT_TRUE(after.Commands().empty());
}

TEST_F(Discovery, OnlyTheSecondReplyIsJudged) {
    const struct {
        const char* what;
        sim::Faults faults;
        const char* identity;
        int result;
    } cases[] = {
        {"instrument", {}, "K720 V1.00", 0},
        {"anything after K720", {}, "K720-whatever follows", 0},
        {"another model", {}, "K72 V1.00", 1},
        {"lower case", {}, "k720 V1.00", 1},
        {"first reply wrong", IdentityReply("NG\r\n", 1), "K720 V1.00", 0},
        {"second reply wrong", IdentityReply("NG\r\n", 2), "K720 V1.00", 1},
        {"gone before the second reply", HangUpAt(2), "K720 V1.00", 1},
    };
    for (const auto& c : cases) {
        sim::SimServer& server = AddPort(c.faults, c.identity);
        g_instrumentPort = 77;
        EXPECT_EQ(ProbePort(PortOf(server)), c.result) << c.what;
        EXPECT_EQ(g_instrumentPort, c.result == 0 ? PortOf(server) : 77) << c.what;
        EXPECT_EQ(server.Commands(), kTwoProbes) << c.what;
    }
}

// A change of the port list ends the scan after the probe in progress, a stop request (a window
// closing) within the reply budget in progress: nothing more is sent and the instrument's port is
// kept.
TEST_F(Discovery, ScanGivesUpWhenThePortListChangesOrAStopIsRequestedDuringAProbe) {
    AddPort(SilentFrom(1));
    sim::SimServer& instrument = AddPort();
    for (const bool byStop : {false, true}) {
        SCOPED_TRACE(byStop ? "stop requested" : "port list changed");
        EnumerateCandidatePorts();
        g_instrumentPort = 77; // from the last run, not among the candidates
        std::stop_source stop;

        const auto start = std::chrono::steady_clock::now();
        std::jthread interrupt([&stop, byStop] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            if (byStop) {
                stop.request_stop();
            } else {
                g_portListChanged.store(1);
            }
        });
        EXPECT_EQ(PortScan(stop.get_token()), 1);

        if (byStop) {
            EXPECT_LE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
        }
        EXPECT_TRUE(instrument.Commands().empty());
        EXPECT_EQ(g_instrumentPort, 77);
    }
}

// The window enumerates on its own thread while a scan runs on an exchange worker.
TEST_F(Discovery, EnumeratingDuringAScanOnAnotherThreadIsSafe) {
    AddPort();
    EnumerateCandidatePorts();
    std::atomic<bool> scanning{true};
    std::jthread scan([&scanning] {
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(PortScan(), 0);
        }
        scanning.store(false);
    });
    while (scanning.load()) {
        EnumerateCandidatePorts();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

TEST_F(Discovery, NoHintWhenPortsAreMissingRatherThanRefused) {
    AddMissingPort();
    EnumerateCandidatePorts();
    EXPECT_EQ(PortScan(), 1);
    EXPECT_EQ(ScanAccessHint(), "");
}

// Another program holds the instrument's port (its lock, as every serial program takes): the
// port is named as the cause, before the scan failure's text.
TEST_F(Discovery, APortHeldByAnotherProgramIsNamedBeforeTheMessage) {
    const std::string device = AddPort().DevicePath();
    EnumerateCandidatePorts();
    const UniqueFd held(open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    ASSERT_TRUE(held.Valid());
    ASSERT_EQ(flock(held.Get(), LOCK_EX | LOCK_NB), 0);

    EXPECT_EQ(PortScan(), 1);
    EXPECT_EQ(WithScanAccessHint("Communication Error."),
              "The port " + device + " is in use by another program.\nCommunication Error.");
}

TEST(AccessHints, JapaneseHintsNameTheDevice) {
    UseTextLanguage(Language::Japanese);
    const std::string busy = AccessHintForDevice("/dev/ttyUSB7", EBUSY);
    const std::string refused = AccessHintForDevice("/nonexistent/ttyUSB7", EACCES);
    UseTextLanguage(Language::English);
    EXPECT_EQ(busy, "ポート /dev/ttyUSB7 は他のプログラムが使用中です。");
    EXPECT_EQ(refused,
              "/nonexistent/ttyUSB7 を開く権限がありません: プログラムに付属の udev ルール "
              "60-k720.rules をインストールして、測定器を接続し直してください。");
}

// Runs `body` in a child process under the unprivileged user `as` and returns what it wrote.
std::string RunAs(const passwd& as, const std::function<std::string()>& body) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return "pipe failed";
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        std::string output = "could not drop privileges";
        if (setgroups(0, nullptr) == 0 && setgid(as.pw_gid) == 0 && setuid(as.pw_uid) == 0) {
            output = body();
        }
        const ssize_t written = write(pipeEnds[1], output.data(), output.size());
        _exit(written == static_cast<ssize_t>(output.size()) ? 0 : 1);
    }
    close(pipeEnds[1]);
    std::string output;
    char chunk[256];
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], chunk, sizeof chunk)) > 0) {
        output.append(chunk, static_cast<std::size_t>(got));
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return output;
}

TEST_F(Discovery, RefusedPortGetsAHintNamingTheDeviceAndItsGroup) {
    // As root the scan runs as 'nobody' against a device of a serial group, else against a device
    // that grants nothing to anybody.
    const bool root = geteuid() == 0;
    const passwd* nobody = getpwnam("nobody");
    const group* grant = getgrnam("dialout");
    if (grant == nullptr) {
        grant = getgrnam("tty");
    }
    if (root && (nobody == nullptr || grant == nullptr)) {
        GTEST_SKIP() << "needs a user 'nobody' and a group 'dialout' or 'tty'";
    }
    measure_test::ScratchFolder folder;
    const std::string device = folder.File("ttyK720");
    ASSERT_TRUE(std::ofstream(device).is_open());
    ASSERT_EQ(chmod(folder.Path().c_str(), 0755), 0);
    if (root) {
        ASSERT_EQ(chown(device.c_str(), 0, grant->gr_gid), 0);
    }
    ASSERT_EQ(chmod(device.c_str(), root ? 0660 : 0), 0);
    const int refused = AttachPortDevice(device);
    const ListedPort refusedPort{ProlificName(refused), refused, device, true};
    sim::SimServer& instrument = AddPort();
    ASSERT_EQ(chmod(instrument.DevicePath().c_str(), 0666), 0);
    const ListedPort instrumentPort = listed_.back();

    auto scanTwice = [&] {
        std::string report;
        for (const auto& ports :
             {std::vector{refusedPort}, std::vector{refusedPort, instrumentPort}}) {
            listed_ = ports;
            EnumerateCandidatePorts();
            const int result = PortScan();
            report += std::to_string(result) + "|" + ScanAccessHint() + "\n";
        }
        return report;
    };
    const std::string output = root ? RunAs(*nobody, scanTwice) : scanTwice();
    listed_ = {refusedPort, instrumentPort}; // detached at the end

    const std::string::size_type lineEnd = output.find('\n');
    ASSERT_NE(lineEnd, std::string::npos) << output;
    const std::string failedScan = output.substr(0, lineEnd);
    EXPECT_THAT(failedScan, ::testing::StartsWith("1|No permission to open " + device + ": "));
    if (root) {
        EXPECT_THAT(failedScan, HasSubstr("group \"" + std::string(grant->gr_name) + "\""));
        EXPECT_THAT(failedScan, HasSubstr("log in again"));
    }
    // The instrument answered on another port: nothing to tell.
    EXPECT_EQ(output.substr(lineEnd + 1), "0|\n");
}

TEST(PortListing, ListsThisMachinesPortsConsistently) {
    for (const ListedPort& port : ListSerialPorts()) {
        EXPECT_THAT(port.devicePath, ::testing::StartsWith("/dev/"));
        EXPECT_EQ(port.portNumber, AttachPortDevice(port.devicePath)) << port.devicePath;
        EXPECT_THAT(port.productName, ::testing::EndsWith(")")) << port.devicePath;
    }
}

TEST(PortListing, MonitorDrainsWithoutWaiting) {
    PortListMonitor monitor;
    EXPECT_FALSE(monitor.TakeChanges()); // not started: nothing to report
    std::string whyNot;
    if (!monitor.Start(&whyNot)) {
        GTEST_SKIP() << "no device events here: " << whyNot;
    }
    EXPECT_GE(monitor.FileDescriptor(), 0);
    const Clock::time_point start = Clock::now();
    [[maybe_unused]] const bool changed = monitor.TakeChanges();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
}

} // namespace
