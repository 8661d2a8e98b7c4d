// The k720-sim program's contract: the device path first on stdout, serving until SIGTERM or
// SIGINT, then exit status 0.
#include <cstdio>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "comm.h"
#include "port_names.h"

extern char** environ;

namespace {

class SimProgram {
public:
    explicit SimProgram(std::vector<std::string> arguments) {
        int out[2];
        if (pipe(out) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        arguments.insert(arguments.begin(), K720_SIM_PROGRAM);
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, K720_SIM_PROGRAM, &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        output_ = fdopen(out[0], "r");
    }
    ~SimProgram() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (output_ != nullptr) {
            std::fclose(output_);
        }
    }

    std::string FirstLine() {
        char line[256] = "";
        if (output_ == nullptr || std::fgets(line, sizeof line, output_) == nullptr) {
            return {};
        }
        std::string text = line;
        if (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        return text;
    }

    // Sends `signal` and returns the exit status, or -1 when the program did not exit normally.
    int Stop(int signal) {
        kill(pid_, signal);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    std::FILE* output_ = nullptr;
};

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
        SimProgram program({"--empty", "--latency-ms", "5"});
        const std::string device = program.FirstLine();
        ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;
        EXPECT_EQ(AskIdentity(device).substr(0, 4), "K720");
        EXPECT_EQ(program.Stop(signal), 0) << "signal " << signal;
    }
}

TEST(SimProgram, RefusesUnknownOptions) {
    SimProgram program({"--no-such-option"});
    EXPECT_EQ(program.FirstLine(), "");
    EXPECT_EQ(program.Stop(0), 2);
}

} // namespace
