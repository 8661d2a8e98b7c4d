// The k720-sim program's contract: the device path first on stdout, serving until SIGTERM or
// SIGINT, then exit status 0.
#include <signal.h>
#include <string>

#include <gtest/gtest.h>

#include "comm.h"
#include "port_names.h"
#include "support/child_process.h"

namespace {

std::string AskIdentity(const std::string& device) {
    const int port = AttachPortDevice(device);
    CommConfigure(kInstrumentBaud);
    if (CommOpen(port) != 1 || CommSendCommand("QPID") != 1) {
        return "<no port>";
    }
    char line[64];
    const int read = CommReadLine(line);
    CommClose();
    DetachPortDevice(port);
    return read == 1 && CommTimedOut() == 0 ? line : "<no answer>";
}

TEST(SimProgram, PrintsDeviceAnswersAndStopsCleanlyOnEitherSignal) {
    for (int signal : {SIGTERM, SIGINT}) {
        ChildProcess program(K720_SIM_PROGRAM, {"--empty", "--latency-ms", "5"});
        const std::string firstLine = program.OutputUntil("\n");
        ASSERT_EQ(firstLine.rfind("/dev/", 0), 0u) << firstLine;
        const std::string device = firstLine.substr(0, firstLine.find('\n'));
        EXPECT_EQ(AskIdentity(device).substr(0, 4), "K720");
        program.Signal(signal);
        EXPECT_EQ(program.Wait(), 0) << "signal " << signal;
    }
}

TEST(SimProgram, RefusesUnknownOptions) {
    ChildProcess program(K720_SIM_PROGRAM, {"--no-such-option"});
    EXPECT_EQ(program.Wait(), 2);
    EXPECT_EQ(program.out, "");
    EXPECT_NE(program.err.find("--no-such-option"), std::string::npos);
}

} // namespace
