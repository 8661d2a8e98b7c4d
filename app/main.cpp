// k720app: the K720 companion's main program.
//
//   k720app                  finds the instrument on the serial ports of its USB bridge
//   k720app --port DEVICE    also tries DEVICE first (may be given more than once)
//   k720app --simulate       also offers a built-in simulated instrument as one more port
//   k720app --lang ja|en     speaks Japanese or English, whatever the system's language
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_app.h"
#include "app/program_folder.h"
#include "base/language.h"
#include "controls/display_check.h"
#include "controls/program_console.h"
#include "instrument/port_listing.h"
#include "instrument/simulated_instrument.h"
#include "link/port_names.h"
#include "resources/translations.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kUsageError = 2;
constexpr int kNoDisplay = 3;
constexpr int kSimulatorFailed = 4;

constexpr const char* kUsage =
    "usage: k720app [--port DEVICE]... [--simulate] [--lang ja|en]\n"
    "  --port DEVICE  try this serial device first when looking for the K720, whatever its\n"
    "                 USB bridge (e.g. /dev/serial/by-id/...); may be given more than once\n"
    "  --simulate     offer a built-in simulated K720 as one more port\n"
    "  --lang ja|en   show the window in Japanese or English (default: the installed edition, else\n"
    "                 the system's language)\n"
    "  --help         show this help\n";

struct CommandLine {
    bool valid = true;
    bool help = false;
    bool simulate = false;
    std::optional<Language> language;
    std::vector<std::string> devices;
};

CommandLine ParseCommandLine(int argc, char** argv) {
    CommandLine commandLine;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            commandLine.help = true;
        } else if (std::strcmp(argv[i], "--simulate") == 0 && !commandLine.simulate) {
            commandLine.simulate = true;
        } else if (std::strcmp(argv[i], "--lang") == 0 && i + 1 < argc && !commandLine.language) {
            commandLine.language = ParseLanguage(argv[++i]);
            if (!commandLine.language) {
                commandLine.valid = false;
            }
        } else if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc && argv[i + 1][0] != '\0') {
            commandLine.devices.emplace_back(argv[++i]);
        } else {
            commandLine.valid = false;
        }
    }
    return commandLine;
}

// The devices named with --port, as listed ports in front of the system's list.
bool AttachNamedDevices(const std::vector<std::string>& devices, std::vector<ListedPort>* ports) {
    for (const std::string& device : devices) {
        const int number = AttachPortDevice(device);
        if (number == 0) {
            std::fprintf(stderr, "k720app: no port number left for %s\n", device.c_str());
            return false;
        }
        ListedPort port{"Serial port given with --port (" + device + ")", number, device, true};
        port.namedByUser = true;
        ports->push_back(std::move(port));
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    AttachStartingConsole();
    const CommandLine commandLine = ParseCommandLine(argc, argv);
    if (commandLine.help && commandLine.valid) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (!commandLine.valid) {
        std::fputs(kUsage, stderr);
        return kUsageError;
    }
    if (const std::string reason = MissingDisplayReason(); !reason.empty()) {
        std::fprintf(stderr, "k720app: %s; it needs a graphical session (X11 or Wayland).\n",
                     reason.c_str());
        return kNoDisplay;
    }

    std::vector<ListedPort> named;
    if (!AttachNamedDevices(commandLine.devices, &named)) {
        return kUsageError;
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
    if (!named.empty()) {
        // The named devices first, then the system's ports, then the simulated one.
        std::vector<ListedPort> after;
        if (simulated) {
            after.push_back(simulated->Listing());
        }
        SetPortLister([named, after] {
            std::vector<ListedPort> ports = named;
            for (ListedPort& port : ListSerialPorts()) {
                ports.push_back(std::move(port));
            }
            ports.insert(ports.end(), after.begin(), after.end());
            return ports;
        });
    }

    CMainApp app(argc, argv);
    if (!InstallTranslations(app, ProgramLanguage(commandLine.language))) {
        std::fputs("k720app: the Japanese texts could not be loaded; the window stays English\n",
                   stderr);
    }
    MainWindowOptions options;
    options.programDir = ProgramFolder();
    return app.Run(std::move(options));
}
