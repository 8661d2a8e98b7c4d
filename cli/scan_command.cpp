#include <cstdio>

#include "commands.h"
#include "discovery.h"
#include "port_names.h"
#include "stop_signals.h"

void PrepareCandidates(const CommonOptions& options) {
    if (options.device) {
        const int port = AttachPortDevice(*options.device);
        g_candidatePorts = {{"given with --port", port, *options.device}};
    } else {
        g_portListChanged = 1;
        EnumerateCandidatePorts();
    }
    if (g_candidatePorts.empty()) {
        std::printf("No candidate port (no serial port of the instrument's USB bridge).\n");
        return;
    }
    std::printf("Candidate ports:\n");
    for (const PortCandidate& candidate : g_candidatePorts) {
        std::printf("  port %-4d %-20s %s\n", candidate.portNumber, candidate.devicePath.c_str(),
                    candidate.friendlyName.c_str());
    }
}

int RunScan(const CommonOptions& options) {
    StopSignals signals;
    if (const int status = signals.Check(); status != kExitOk) {
        return status;
    }
    PrepareCandidates(options);
    int scan = 1;
    if (const int status = signals.Run([&scan](std::stop_token stop) { scan = PortScan(stop); });
        status != kExitOk) {
        return status;
    }
    if (scan != 0) {
        std::printf("%s\n", WithScanAccessHint(kNoInstrumentText).c_str());
        return kExitFailed;
    }
    std::printf("K720 found on port %d (%s).\n", g_instrumentPort,
                PortDevicePath(g_instrumentPort).c_str());
    return kExitOk;
}
