// Finding the instrument: the list of candidate ports (present, enabled serial ports of the
// instrument's USB bridge) and the scan that asks each for its identity.
//
// The enumeration runs on the user-interface thread (or the command-line tool's main thread). A
// scan may run on an exchange worker: it probes a copy of the candidate list taken under the
// enumeration's lock, and a stop request ends it after the probe in progress.
#pragma once

#include <atomic>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "base/texts.h"

struct PortCandidate {
    std::string friendlyName; // the product name as the system reports it
    int portNumber = 0;       // the number the serial link opens
    std::string devicePath;   // where the system has one (POSIX); informational
};

inline constexpr int NO_INSTRUMENT_PORT = 1000;

// Rebuilt by every EnumerateCandidatePorts, in the system's order. Written on one thread only (by
// the enumeration, or by a tool or test before it scans).
extern std::vector<PortCandidate> g_candidatePorts;
// The instrument's port number, NO_INSTRUMENT_PORT when none was found.
extern int g_instrumentPort;
// Set before every enumeration; a scan that sees it set gives up.
extern std::atomic<int> g_portListChanged;

// Lists the candidate ports into g_candidatePorts: the system's serial ports that are enabled,
// whose product name contains "Prolific" (or that the user named) and that have a port number the
// link can open.
void EnumerateCandidatePorts();

// Probes the candidates, starting at g_instrumentPort and wrapping. 0 when the instrument
// answered (g_instrumentPort then holds its port), 1 when not. A stop request, like a change of
// the port list, ends the scan after the probe in progress with 1 and g_instrumentPort as it was.
int PortScan(std::stop_token stop = {});

// Two "QPID" probes on one port; only the second reply is judged. 0 when it answered as the
// instrument (g_instrumentPort := port), 1 otherwise.
int ProbePort(int port);

// After a PortScan that found no instrument: one line naming a candidate that could not be opened
// because another program holds it or a permission is missing (then how to get it), to be shown
// above the communication-error message. "" when the last scan found the instrument or no
// candidate was refused for such a reason.
std::string ScanAccessHint();

// `message` (a scan failure's text) after ScanAccessHint() and a line break when there is a hint,
// so the user reads the real cause first rather than being sent to the cable.
std::string WithScanAccessHint(const std::string& message);

// The start-up check's scan, for a worker thread: nullopt when the instrument answered, else the
// ScanAccessHint() of this scan, taken on the thread that scanned, right after it.
std::optional<std::string> CheckForInstrument(std::stop_token stop);

// The start-up check's message when no instrument answered.
inline constexpr const char* kNoInstrumentText =
    K720_TEXT("Messages", "Check USB cable connection, \nor power supply of K720.  ");
