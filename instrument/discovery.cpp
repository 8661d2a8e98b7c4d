#include "instrument/discovery.h"

#include <cctype>
#include <charconv>
#include <cstring>
#include <mutex>
#include <utility>

#include "base/texts.h"
#include "instrument/port_listing.h"
#include "link/comm.h"
#include "link/port_names.h"

std::vector<PortCandidate> g_candidatePorts;
int g_instrumentPort = NO_INSTRUMENT_PORT;
std::atomic<int> g_portListChanged{0};

namespace {

// Only ports of this USB-to-serial bridge can be the instrument.
constexpr std::string_view kBridgeName = "Prolific";
constexpr const char* kIdentityCommand = "QPID";
constexpr std::string_view kIdentityPrefix = "K720";
constexpr std::size_t kProbeReplySize = 60;

PortLister g_lister;
// Held while the enumeration replaces the candidate list and while a scan copies it.
std::mutex g_candidatesLock;

enum class ProbeOutcome { Answered, OpenFailed, NotAnswered };

struct OpenFailure {
    int port;
    int error;
};

// What the last scan saw, for ScanAccessHint.
struct ScanRecord {
    bool found = false;
    std::vector<OpenFailure> openFailures;
};
ScanRecord g_lastScan;

bool IsCandidate(const ListedPort& port) {
    return port.enabled &&
           (port.namedByUser || port.productName.find(kBridgeName) != std::string::npos) &&
           port.portNumber >= kFirstPortNumber && port.portNumber <= kLastPortNumber;
}

// One identity exchange into `reply`. Its steps are not checked one by one: a command that did
// not go out or a read that failed leaves the reply empty (never an earlier reply), and an empty
// reply is not the instrument's.
void AskIdentity(char (&reply)[kProbeReplySize]) {
    std::memset(reply, 0, sizeof reply);
    [[maybe_unused]] const int sent = CommSendCommand(kIdentityCommand);
    [[maybe_unused]] const int received = CommReadLine(reply);
}

ProbeOutcome Probe(int port, int* openError, const std::stop_token& stop = {}) {
    char reply[kProbeReplySize] = {};
    CommConfigure(kInstrumentBaud);
    if (CommOpen(port) == 0) {
        *openError = CommLastOpenError();
        return ProbeOutcome::OpenFailed;
    }
    // The first exchange wakes the bridge and takes whatever was pending; only the second reply
    // is judged.
    AskIdentity(reply);
    if (!stop.stop_requested()) {
        AskIdentity(reply);
    }
    CommClose();
    if (stop.stop_requested()) {
        return ProbeOutcome::NotAnswered;
    }
    if (std::string_view(reply).starts_with(kIdentityPrefix)) {
        g_instrumentPort = port;
        return ProbeOutcome::Answered;
    }
    return ProbeOutcome::NotAnswered;
}

// Index of the candidate to probe first: the one on the instrument's last port, else the first.
// Returns false when the port list changed meanwhile.
bool FindStart(const std::vector<PortCandidate>& candidates, std::size_t* start) {
    *start = 0;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (g_portListChanged.load() != 0) {
            return false;
        }
        if (candidates[i].portNumber == g_instrumentPort) {
            *start = i;
            break;
        }
    }
    return true;
}

} // namespace

void SetPortLister(PortLister lister) {
    g_lister = std::move(lister);
}

int ComPortNumberFromFriendlyName(std::string_view friendlyName) {
    constexpr std::string_view kMark = "(COM";
    const std::size_t at = friendlyName.find(kMark);
    if (at == std::string_view::npos) {
        return 0;
    }
    std::string rest;
    for (const char c : friendlyName.substr(at + kMark.size())) {
        if (c != ')') {
            rest.push_back(c);
        }
    }
    std::size_t first = 0;
    while (first < rest.size() && std::isspace(static_cast<unsigned char>(rest[first])) != 0) {
        ++first;
    }
    if (first < rest.size() && rest[first] == '+') {
        ++first; // from_chars takes '-' but not '+'
    }
    int number = 0;
    const char* begin = rest.data() + first;
    const auto [end, error] = std::from_chars(begin, rest.data() + rest.size(), number);
    if (error != std::errc() || end == begin || number < 0) {
        return 0;
    }
    return number;
}

void EnumerateCandidatePorts() {
    const std::vector<ListedPort> listed = g_lister ? g_lister() : ListSerialPorts();
    std::vector<PortCandidate> candidates;
    for (const ListedPort& port : listed) {
        if (IsCandidate(port)) {
            candidates.push_back({port.productName, port.portNumber, port.devicePath});
        }
    }
    const std::lock_guard lock(g_candidatesLock);
    g_candidatePorts = std::move(candidates);
}

int ProbePort(int port) {
    int openError = 0;
    return Probe(port, &openError) == ProbeOutcome::Answered ? 0 : 1;
}

int PortScan(std::stop_token stop) {
    g_lastScan = {};
    std::vector<PortCandidate> candidates;
    {
        const std::lock_guard lock(g_candidatesLock);
        candidates = g_candidatePorts;
    }
    const std::size_t count = candidates.size();
    g_portListChanged.store(0);
    std::size_t start = 0;
    if (!FindStart(candidates, &start)) {
        return 1;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (g_portListChanged.load() != 0 || stop.stop_requested()) {
            return 1;
        }
        const int port = candidates[(start + i) % count].portNumber;
        int openError = 0;
        switch (Probe(port, &openError, stop)) {
        case ProbeOutcome::Answered:
            g_lastScan.found = true;
            return 0;
        case ProbeOutcome::OpenFailed:
            g_lastScan.openFailures.push_back({port, openError});
            break;
        case ProbeOutcome::NotAnswered:
            break;
        }
    }
    g_instrumentPort = NO_INSTRUMENT_PORT;
    return 1;
}

std::string ScanAccessHint() {
    if (g_lastScan.found) {
        return {};
    }
    for (const OpenFailure& failure : g_lastScan.openFailures) {
        std::string hint = AccessHintForDevice(PortDevicePath(failure.port), failure.error);
        if (!hint.empty()) {
            return hint;
        }
    }
    return {};
}

std::optional<std::string> CheckForInstrument(std::stop_token stop) {
    if (PortScan(std::move(stop)) == 0) {
        return std::nullopt;
    }
    return ScanAccessHint();
}

std::string WithScanAccessHint(const std::string& message) {
    const std::string hint = ScanAccessHint();
    return hint.empty() ? message : hint + "\n" + message;
}

std::string PortInUseText(const std::string& portName) {
    return FillText(kMessages, K720_TEXT("Messages", "The port %1 is in use by another program."),
                    {portName});
}
