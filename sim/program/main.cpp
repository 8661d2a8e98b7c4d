// k720-sim: the simulated instrument on a pseudo-terminal. Prints the device path as its first
// line, then serves until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "comp/comp_table.h"
#include "comp/table_file.h"
#include "sim/pty_server.h"

namespace {

constexpr const char* kUsage = R"(usage: k720-sim [options]

Serves a simulated K720 battery tester on a pseudo-terminal. The first line printed is the
device path to open; the simulator then serves until interrupted (Ctrl-C) or terminated.

Instrument:
  --empty                   no stored readings (default: demo readings in units A, C, d, P)
  --full                    every slot of every unit holds a reading (4800 readings)
  --fahrenheit              the instrument reports temperatures in Fahrenheit
  --serial TEXT             the serial number it reports
  --table FILE.csv          its comparator table, from a table file that passes the table's
                            checks (the Names are not kept: the instrument has no room for them)

Line:
  --pace                    deliver bytes at the pace of a 38400-baud 8N1 line
  --latency-ms N            wait N milliseconds before each reply
  --log FILE                append every received command, comparator record (in hex) and
                            port event to FILE

Faults:
  --silent-from K           answer nothing from the K-th command on
  --hang-up-at K            hang up (the device disappears) on the K-th command
  --readings-before-silence N
                            answer N reading requests, then stop answering them
  --table-entries-before-silence N
                            answer N comparator entry queries, then stop answering them
  --bad-ack ENTRY[=BYTE]    acknowledge comparator entry ENTRY with BYTE (hex, default 55)
  --reply COMMAND=TEXT[@N]  answer COMMAND with TEXT + CR LF instead (only the N-th time);
                            a COMMAND ending in '*' matches every command it begins

  -h, --help                this text
)";

std::optional<int> ParseCount(const char* text) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < 0 || value > 1'000'000) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

bool ParseReply(std::string_view text, sim::Faults::WrongReply& reply) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0) {
        return false;
    }
    reply.command = std::string(text.substr(0, equals));
    std::string_view answer = text.substr(equals + 1);
    if (const std::size_t at = answer.rfind('@'); at != std::string_view::npos) {
        if (auto occurrence = ParseCount(std::string(answer.substr(at + 1)).c_str())) {
            reply.occurrence = *occurrence;
            answer = answer.substr(0, at);
        }
    }
    reply.reply = std::string(answer) + "\r\n";
    return true;
}

bool ParseBadAck(std::string_view text, sim::Faults& faults) {
    const std::size_t equals = text.find('=');
    const auto entry = ParseCount(std::string(text.substr(0, equals)).c_str());
    if (!entry || *entry < 1 || *entry > sim::kTableEntries) {
        return false;
    }
    faults.badAckEntry = *entry;
    if (equals != std::string_view::npos) {
        char* end = nullptr;
        const std::string hex(text.substr(equals + 1));
        const unsigned long byte = std::strtoul(hex.c_str(), &end, 16);
        if (hex.empty() || *end != '\0' || byte > 0xFF) {
            return false;
        }
        faults.badAckByte = static_cast<std::uint8_t>(byte);
    }
    return true;
}

// The comparator table of a table file as the instrument holds it after a transfer, packed by the
// instrument's own rule. False, with the table check's message, for a file that fails the checks.
bool LoadComparatorTable(const std::string& path, sim::InstrumentState& state, std::string& error) {
    std::string text;
    if (const comp::TableOutcome loaded = comp::LoadTableFile(path, text); !loaded.Ok()) {
        error = loaded.message;
        return false;
    }
    const comp::ParsedTable parsed = comp::ParseTableText(text);
    if (!parsed.Ok()) {
        error = parsed.message;
        return false;
    }
    for (std::size_t i = 0; i < state.comparatorTable.size(); ++i) {
        const comp::CompRow& row = parsed.rows[i];
        const comp::RangeSpec& r = comp::ResistanceRange(comp::ResistanceCodeOf(row.rRange));
        const comp::RangeSpec& v = comp::VoltageRange(comp::VoltageCodeOf(row.vRange));
        const auto limit1 = comp::CountOfCanonicalLimit(row.rLim1, r);
        const auto limit2 = comp::CountOfCanonicalLimit(row.rLim2, r);
        const auto voltageLimit = comp::CountOfCanonicalLimit(row.vLim, v);
        if (!limit1 || !limit2 || !voltageLimit) {
            error = "entry " + std::to_string(i + 1) + " has a limit that is not canonical";
            return false;
        }
        state.comparatorTable[i] =
            sim::PackEntryCodes(r.code, *limit1, *limit2, v.code, *voltageLimit);
    }
    return true;
}

int UsageError(const char* message, const char* argument) {
    std::fprintf(stderr, "k720-sim: %s%s%s\nTry 'k720-sim --help'.\n", message,
                 argument != nullptr ? ": " : "", argument != nullptr ? argument : "");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bool empty = false;
    bool full = false;
    bool fahrenheit = false;
    std::optional<std::string> serial;
    std::optional<std::string> tablePath;
    sim::Faults faults;
    sim::ServerOptions options;

    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        const bool hasValue = i + 1 < argc;
        auto count = [&]() -> std::optional<int> {
            return hasValue ? ParseCount(argv[++i]) : std::nullopt;
        };
        if (option == "-h" || option == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (option == "--empty") {
            empty = true;
        } else if (option == "--full") {
            full = true;
        } else if (option == "--fahrenheit") {
            fahrenheit = true;
        } else if (option == "--pace") {
            options.pace = true;
        } else if (option == "--serial" && hasValue) {
            serial = argv[++i];
        } else if (option == "--table" && hasValue) {
            tablePath = argv[++i];
        } else if (option == "--log" && hasValue) {
            options.logPath = argv[++i];
        } else if (option == "--latency-ms") {
            const auto ms = count();
            if (!ms) {
                return UsageError("--latency-ms needs a number of milliseconds", nullptr);
            }
            options.latency = std::chrono::milliseconds(*ms);
        } else if (option == "--silent-from" || option == "--hang-up-at") {
            const auto k = count();
            if (!k || *k < 1) {
                return UsageError("needs a command number from 1", argv[i - (hasValue ? 1 : 0)]);
            }
            (option == "--silent-from" ? faults.silentFromCommand : faults.hangUpAtCommand) = *k;
        } else if (option == "--readings-before-silence") {
            const auto n = count();
            if (!n) {
                return UsageError("--readings-before-silence needs a count", nullptr);
            }
            faults.readingsBeforeSilence = *n;
        } else if (option == "--table-entries-before-silence") {
            const auto n = count();
            if (!n) {
                return UsageError("--table-entries-before-silence needs a count", nullptr);
            }
            faults.tableEntriesBeforeSilence = *n;
        } else if (option == "--bad-ack" && hasValue) {
            if (!ParseBadAck(argv[++i], faults)) {
                return UsageError("--bad-ack needs ENTRY (1 to 200) or ENTRY=HEXBYTE", argv[i]);
            }
        } else if (option == "--reply" && hasValue) {
            sim::Faults::WrongReply reply;
            if (!ParseReply(argv[++i], reply)) {
                return UsageError("--reply needs COMMAND=TEXT", argv[i]);
            }
            faults.wrongReplies.push_back(reply);
        } else {
            return UsageError("unknown or incomplete option", argv[i]);
        }
    }

    sim::InstrumentState state = empty  ? sim::EmptyInstrument()
                                 : full ? sim::FullInstrument()
                                        : sim::DemoInstrument();
    if (fahrenheit) {
        state.temperatureUnit = 'F';
    }
    if (serial) {
        state.serialNumber = *serial;
    }
    if (tablePath) {
        std::string error;
        if (!LoadComparatorTable(*tablePath, state, error)) {
            std::fprintf(stderr, "k720-sim: --table %s:\n%s\n", tablePath->c_str(), error.c_str());
            return 2;
        }
    }

    // Block the stop signals before the serving thread starts, so that only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    sim::SimServer server(std::move(state), std::move(faults), std::move(options));
    std::string error;
    if (!server.Start(&error)) {
        std::fprintf(stderr, "k720-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", server.DevicePath().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    server.Stop();
    return 0;
}
