// k720app: the K720 companion's main program.
//
//   k720app              finds the instrument on the serial ports of its USB bridge
//   k720app --simulate   also offers a built-in simulated instrument as one more port
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <QCoreApplication>

#include "display_check.h"
#include "main_app.h"
#include "simulated_instrument.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kNoDisplay = 3;
constexpr int kSimulatorFailed = 4;

struct CommandLine {
    bool valid = true;
    bool simulate = false;
};

CommandLine ParseCommandLine(int argc, char** argv) {
    CommandLine commandLine;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--simulate") == 0 && !commandLine.simulate) {
            commandLine.simulate = true;
        } else {
            commandLine.valid = false;
        }
    }
    return commandLine;
}

} // namespace

int main(int argc, char** argv) {
    const CommandLine commandLine = ParseCommandLine(argc, argv);
    if (!commandLine.valid) {
        std::fprintf(stderr, "usage: k720app [--simulate]\n"
                             "  --simulate  offer a built-in simulated K720 as one more port\n");
        return kUsageError;
    }
    if (const std::string reason = MissingDisplayReason(); !reason.empty()) {
        std::fprintf(stderr, "k720app: %s; it needs a graphical session (X11 or Wayland).\n",
                     reason.c_str());
        return kNoDisplay;
    }

    std::unique_ptr<SimulatedInstrument> simulated;
    if (commandLine.simulate) {
        simulated = std::make_unique<SimulatedInstrument>();
        std::string error;
        if (!simulated->Start(&error)) {
            std::fprintf(stderr, "k720app: the simulated instrument did not start: %s\n",
                         error.c_str());
            return kSimulatorFailed;
        }
        std::fprintf(stderr, "k720app: simulated K720 on %s (port %d)\n",
                     simulated->DevicePath().c_str(), simulated->PortNumber());
    }

    CMainApp app(argc, argv);
    MainWindowOptions options;
    options.programDir = QCoreApplication::applicationDirPath();
    return app.Run(std::move(options));
}
