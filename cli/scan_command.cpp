#include <cstdio>
#include <string>

#include "base/texts.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/stop_signals.h"
#include "instrument/discovery.h"
#include "link/comm.h"
#include "link/port_names.h"
#include "measure/memory_check.h"
#include "measure/units.h"

void PrepareCandidates(const CommonOptions& options) {
    if (options.device) {
        const int port = AttachPortDevice(*options.device);
        g_candidatePorts = {{Translate(kMessages, K720_TEXT("Messages", "given with --port")), port,
                             *options.device}};
    } else {
        g_portListChanged = 1;
        EnumerateCandidatePorts();
    }
    if (g_candidatePorts.empty()) {
        std::printf("%s\n", Translate(kMessages,
                                      K720_TEXT("Messages", "No candidate port (no serial port of "
                                                            "the instrument's USB bridge).")));
        return;
    }
    std::printf("%s\n", Translate(kMessages, K720_TEXT("Messages", "Candidate ports:")));
    for (const PortCandidate& candidate : g_candidatePorts) {
        // The number and the device in columns, whatever the language's word for a port.
        char number[16];
        char device[256];
        std::snprintf(number, sizeof number, "%-4d", candidate.portNumber);
        std::snprintf(device, sizeof device, "%-20s", candidate.devicePath.c_str());
        std::printf("%s\n", FillText(kMessages, K720_TEXT("Messages", "  port %1 %2 %3"),
                                     {number, device, candidate.friendlyName})
                                .c_str());
    }
}

void PrintScanFailure(const CommonOptions& options, const std::string& message) {
    // The cause comes first. The access hint already says what is wrong with the device (in use,
    // or not permitted) and how to fix it; otherwise the port given is named with its error.
    std::string text = WithScanAccessHint(Translate(kMessages, message.c_str()));
    const int openError = CommLastOpenError();
    if (options.device && openError != 0 && ScanAccessHint().empty()) {
        text = FillText(kMessages, K720_TEXT("Messages", "Cannot open %1: %2."),
                        {*options.device, OpenFailureReason(openError)}) +
               '\n' + text;
    }
    std::printf("%s\n", text.c_str());
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
        PrintScanFailure(options, kNoInstrumentText);
        return kExitFailed;
    }
    std::printf("%s\n",
                FillText(kMessages, K720_TEXT("Messages", "K720 found on port %1 (%2)."),
                         {std::to_string(g_instrumentPort), PortDevicePath(g_instrumentPort)})
                    .c_str());
    return kExitOk;
}

int CheckUnits(const CommonOptions& options, StopSignals& signals, int& mask) {
    PrepareCandidates(options);
    return CheckUnitsAgain(options, signals, mask);
}

int CheckUnitsAgain(const CommonOptions& options, StopSignals& signals, int& mask) {
    measure::MemoryCheckOutcome check;
    if (const int status = signals.Run(
            [&check](std::stop_token stop) { check = measure::CheckMemory(std::move(stop)); });
        status != kExitOk) {
        return status;
    }
    if (check.status != measure::MemoryCheckStatus::Checked) {
        PrintScanFailure(options, measure::MemoryCheckMessage(check.status));
        return kExitFailed;
    }
    mask = check.unitDataMask;
    return kExitOk;
}

int RefuseUnitWithoutData(int unitCode, int mask) {
    const int unit = measure::UnitIndexOfCode(unitCode);
    const bool hasData =
        unit == measure::kAllUnits ? mask != 0 : measure::UnitHoldsData(mask, unit);
    if (!hasData) {
        std::printf("%s\n", Translate(kMessages, measure::kNoDataText));
        return kExitFailed;
    }
    return kExitOk;
}
