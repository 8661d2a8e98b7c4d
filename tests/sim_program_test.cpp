// The k720-sim program's contract: the device path first on stdout, serving until SIGTERM or
// SIGINT, then exit status 0.
#include <fstream>
#include <signal.h>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "comp/table_file.h"
#include "link/comm.h"
#include "link/port_names.h"
#include "tests/support/child_process.h"

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

// The instrument's table from a table file; its names stay behind. A file that fails the table's
// checks is refused with the check's message.
TEST(SimProgram, LoadsItsComparatorTableFromATableFile) {
    const std::string path = testing::TempDir() + "k720_sim_table.csv";
    comp::CompTable rows;
    rows[6] = {"Cell A", "30m", "12.34", "31.00", "60V", "12.00"};
    ASSERT_TRUE(comp::WriteTableFile(path, rows).Ok());
    ChildProcess program(K720_SIM_PROGRAM, {"--empty", "--table", path});
    const std::string firstLine = program.OutputUntil("\n");
    const int port = AttachPortDevice(firstLine.substr(0, firstLine.find('\n')));
    CommConfigure(kInstrumentBaud);
    ASSERT_EQ(CommOpen(port), 1);
    for (const auto& [query, record] :
         {std::pair{":COMP:TABLE? 7", std::vector<std::uint8_t>{0x53, 0x4B, 0x07, 0x24, 0xB0}},
          std::pair{":COMP:TABLE? 8", std::vector<std::uint8_t>(5, 0)}}) {
        ASSERT_EQ(CommSendCommand(query), 1);
        std::vector<std::uint8_t> received(5);
        for (std::uint8_t& byte : received) {
            ASSERT_EQ(CommReadByte(&byte), 1) << query;
        }
        EXPECT_EQ(received, record) << query;
    }
    CommClose();
    DetachPortDevice(port);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(), 0);

    std::string text;
    ASSERT_TRUE(comp::LoadTableFile(path, text).Ok());
    const std::string entry7 = "\r\n7,Cell A,30m,12.34";
    ASSERT_NE(text.find(entry7), std::string::npos);
    text.replace(text.find(entry7), entry7.size(), "\r\n7,Cell A,30m,31.01");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    ChildProcess broken(K720_SIM_PROGRAM, {"--table", path});
    EXPECT_EQ(broken.Wait(), 2);
    EXPECT_EQ(broken.out, "");
    EXPECT_NE(broken.err.find("File corrupted.  \nCan not open. \n\n( No.7, R-Lim1 )"),
              std::string::npos)
        << broken.err;
}

TEST(SimProgram, RefusesUnknownOptions) {
    ChildProcess program(K720_SIM_PROGRAM, {"--no-such-option"});
    EXPECT_EQ(program.Wait(), 2);
    EXPECT_EQ(program.out, "");
    EXPECT_NE(program.err.find("--no-such-option"), std::string::npos);
}

} // namespace
