// k720ctl table: comparator table files from a script, on the editor's core and with its texts,
// and the table's transfers to and from the instrument on the transfer pages' engines. Each
// subcommand parses its own arguments; those that speak to the instrument take the common options
// (--port, -v) like the other commands.
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "base/texts.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/stop_signals.h"
#include "comp/table_file.h"
#include "comp/table_reception.h"
#include "comp/table_transmission.h"
#include "files/replacement_file.h"

namespace {

using Arguments = std::span<const std::string_view>;

constexpr const char* kTableUsage =
    K720_TEXT("Messages", R"(usage: k720ctl table SUBCOMMAND [options]

Comparator table files: 200 entries, each with a name, a resistance range with two limits and a
voltage range with one limit, kept as CSV files in code page 932.

Subcommands:
  new --out FILE.csv   write a table of 200 default entries
  check FILE.csv       check a table file as the editor does when it opens one
  get --out FILE.csv [--names-from OLD.csv]
                       read the instrument's table into a table file
  put FILE.csv         send a table file to the instrument

'k720ctl table SUBCOMMAND --help' explains a subcommand.
Exit status: 0 success, 1 the table, the file or the instrument failed, 2 usage error, 130
interrupted (Ctrl-C, SIGTERM or SIGHUP).
)");

constexpr const char* kNewUsage = K720_TEXT("Messages", R"(usage: k720ctl table new --out FILE.csv

Writes a comparator table of 200 default entries ("No Name", 3m, 0.000, 0.000, 6V, 0.000), dated
today, as the editor saves a new table. An existing file is replaced only once the new one is
written whole; a folder, named pipe or device at FILE.csv is refused. Prints nothing on success,
else why the file could not be written.
Exit status 0 when the file was written, 1 when not.
)");

constexpr const char* kCheckUsage = K720_TEXT("Messages", R"(usage: k720ctl table check FILE.csv

Loads FILE.csv and checks it as the editor does when it opens a table file: the model line, the
file line, then entries 1 to 200 field by field. Prints nothing for a sound table; otherwise the
editor's message for the first fault, byte for byte, or why the file could not be read.
Exit status 0 when the table is sound, 1 when not.
)");

constexpr const char* kGetUsage =
    K720_TEXT("Messages",
              R"(usage: k720ctl [--port DEVICE] [-v] table get --out FILE.csv [--names-from OLD.csv]

Finds the K720 and reads its comparator table, all 200 entries, as the reception page does
(":COMP:TABLE:START", ":COMP:TABLE? 1" to ":COMP:TABLE? 200", ":COMP:TABLE:END"), then checks the
received table as the editor does and writes it to FILE.csv as the editor saves it. The
instrument keeps no names: every entry is named "No Name", or, with --names-from, takes the name
of the same entry in OLD.csv. A missing folder, a folder, named pipe or device at FILE.csv, or an
OLD.csv that fails the table's checks is refused before the instrument is touched (exit status
2). Prints "Data received.  " or the reception page's failure message; a received table that
fails the checks prints the editor's message and writes no file. Progress is shown on a terminal.
Ctrl-C, SIGTERM or SIGHUP ends the reception after the entry in progress (the instrument is told
the reading ended) and writes no file; the exit status is then 130.
Exit status 0 only when the file was written.
)");

constexpr const char* kPutUsage =
    K720_TEXT("Messages", R"(usage: k720ctl [--port DEVICE] [-v] table put FILE.csv

Loads FILE.csv and checks it as the editor does when it opens a table file; a fault prints the
editor's message and nothing is sent. Then finds the K720 and sends the table, all 200 entries,
as the transfer page does (":COMP:TABLE", answered "OK", then each entry's five-byte record,
acknowledged by the instrument). The names stay on the PC. Prints "Data transferred.  " or the
transfer page's failure message; progress is shown on a terminal. Ctrl-C, SIGTERM or SIGHUP ends
the transfer after the entry in progress (exit status 130): the entries acknowledged until then
are in the instrument, the others are as they were, so send the table again. Wait a few seconds
first: until the instrument gives up waiting for the remaining entries, it may take the bytes of
a new command for an entry.
Exit status 0 only when every entry was acknowledged.
)");

// Prints a message of the core as it stands (its bytes are code page 932 where it quotes a file).
void PrintMessage(const std::string& message) {
    std::fwrite(message.data(), 1, message.size(), stdout);
    std::fputc('\n', stdout);
}

int RunNew(const CommonOptions& /*options*/, Arguments arguments) {
    std::string output;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] != "--out") {
            return UsageError(NoArgumentText("table new", arguments[i]));
        }
        if (++i == arguments.size()) {
            return UsageError(NeedsFileText("--out"));
        }
        output = std::string(arguments[i]);
    }
    if (output.empty()) {
        return UsageError(
            FillText(kMessages, K720_TEXT("Messages", "%1 needs --out FILE.csv"), {"table new"}));
    }
    if (const comp::TableOutcome written = comp::WriteTableFile(output, comp::CompTable{});
        !written.Ok()) {
        PrintMessage(written.message);
        return kExitFailed;
    }
    return kExitOk;
}

int RunCheckFile(const CommonOptions& /*options*/, Arguments arguments) {
    if (arguments.size() != 1) {
        return UsageError(
            FillText(kMessages, K720_TEXT("Messages", "%1 needs one file"), {"table check"}));
    }
    const std::string path(arguments[0]);
    if (const comp::TableOutcome loaded = comp::LoadTableFile(path); !loaded.Ok()) {
        PrintMessage(loaded.message);
        return kExitFailed;
    }
    if (const comp::ParsedTable parsed = comp::ParseTableText(); !parsed.Ok()) {
        PrintMessage(parsed.message);
        return kExitFailed;
    }
    return kExitOk;
}

// Wakes the command's thread when the engine reports, from its worker threads, and keeps the end.
template <typename End>
class EndReport {
public:
    explicit EndReport(WakeEvent& wake) : wake_(wake) {}

    void Wake() { wake_.Set(); }
    void SetEnd(End end) {
        {
            const std::lock_guard lock(mutex_);
            end_ = std::move(end);
        }
        Wake();
    }
    bool Ended() const {
        const std::lock_guard lock(mutex_);
        return end_.has_value();
    }
    End TakeEnd() {
        const std::lock_guard lock(mutex_);
        return std::move(*end_);
    }

private:
    WakeEvent& wake_;
    mutable std::mutex mutex_;
    std::optional<End> end_;
};

class ReceptionReports final : public comp::TableReceptionObserver,
                               public EndReport<comp::TableReceptionEnd> {
public:
    using EndReport::EndReport;
    void OnProgress(int) override { Wake(); }
    void OnEnd(comp::TableReceptionEnd end) override { SetEnd(std::move(end)); }
};

class TransmissionReports final : public comp::TableTransmissionObserver,
                                  public EndReport<comp::TableTransmissionEnd> {
public:
    using EndReport::EndReport;
    void OnProgress(int) override { Wake(); }
    void OnEnd(const comp::TableTransmissionEnd& end) override { SetEnd(end); }
};

// Waits for the end of a started transfer, with the counter on a terminal; a stop signal asks the
// engine to stop after the entry in progress. True when a stop request came.
template <typename Engine, typename End>
bool WaitForEnd(Engine& engine, EndReport<End>& report, WakeEvent& wake, StopSignals& signals,
                int (Engine::*entries)() const) {
    const bool shown = ShowsProgress(stderr);
    bool interrupted = false;
    while (!report.Ended()) {
        const StopSignals::Wait woken = signals.WaitFor(wake);
        if (woken == StopSignals::Wait::Failed) {
            // Nothing can be waited for any more: end the transfer; Join waits for its end.
            engine.Stop();
            break;
        }
        if (woken == StopSignals::Wait::Stopped) {
            interrupted = true;
            engine.Stop();
        } else {
            if (shown) {
                std::fprintf(stderr, "\r%s\033[K",
                             comp::EntryCounterText((engine.*entries)()).c_str());
                std::fflush(stderr);
            }
        }
    }
    if (shown) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
    }
    engine.Join();
    return interrupted;
}

// The names of a table file that passes the table's checks, entry by entry.
int LoadNames(const std::string& path, comp::CompTable& names) {
    std::string text;
    comp::TableOutcome loaded = comp::LoadTableFile(path, text);
    comp::ParsedTable parsed;
    if (loaded.Ok()) {
        parsed = comp::ParseTableText(text);
    }
    const std::string& message = loaded.Ok() ? parsed.message : loaded.message;
    if (!message.empty()) {
        std::fprintf(stderr, "k720ctl: --names-from %s:\n", files::PathInMessage(path).c_str());
        std::fwrite(message.data(), 1, message.size(), stderr);
        std::fputc('\n', stderr);
        return kExitUsage;
    }
    names = parsed.rows;
    return kExitOk;
}

int RunGet(const CommonOptions& options, Arguments arguments) {
    std::string output;
    std::optional<std::string> namesFrom;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument != "--out" && argument != "--names-from") {
            return UsageError(NoArgumentText("table get", argument));
        }
        if (++i == arguments.size()) {
            return UsageError(NeedsFileText(argument));
        }
        (argument == "--out" ? output : namesFrom.emplace()) = std::string(arguments[i]);
    }
    if (output.empty()) {
        return UsageError(
            FillText(kMessages, K720_TEXT("Messages", "%1 needs --out FILE.csv"), {"table get"}));
    }
    if (const int status = CheckDestination(output); status != kExitOk) {
        return status;
    }
    comp::CompTable names;
    if (namesFrom) {
        if (const int status = LoadNames(*namesFrom, names); status != kExitOk) {
            return status;
        }
    }

    // Stop signals are taken as events from here on, so that they stop instead of killing.
    StopSignals signals;
    WakeEvent wake;
    if (const int status = signals.Check(); status != kExitOk) {
        return status;
    }
    if (const int status = wake.Check(); status != kExitOk) {
        return status;
    }
    PrepareCandidates(options);
    ReceptionReports reports(wake);
    comp::TableReceptionEngine engine(reports);
    comp::ReceptionStart start;
    const int startStatus =
        signals.Run([&](std::stop_token stop) { start = engine.Start(std::move(stop)); },
                    [&engine] { engine.Stop(); });
    if (startStatus == kExitFailed) {
        return kExitFailed;
    }
    bool interrupted = startStatus == kExitInterrupted;
    if (!start.Started()) {
        if (interrupted || start.outcome == comp::ReceptionStartOutcome::Stopped) {
            return kExitInterrupted;
        }
        if (start.outcome == comp::ReceptionStartOutcome::ScanFailed) {
            PrintScanFailure(options, start.message);
        } else {
            PrintMessage(start.message);
        }
        return kExitFailed;
    }
    if (interrupted) {
        engine.Stop(); // kept by the engine; once more in case it came as the start began
    }
    interrupted =
        WaitForEnd(engine, reports, wake, signals, &comp::TableReceptionEngine::Received) ||
        interrupted;
    const comp::TableReceptionEnd end = reports.TakeEnd();
    switch (end.outcome) {
    case comp::ReceptionOutcome::Received:
        break;
    case comp::ReceptionOutcome::Stopped:
        PrintMessage(FillText(
            kMessages,
            K720_TEXT("Messages", "Reception stopped after %1 of %2 entries; no file written."),
            {std::to_string(end.received), std::to_string(comp::kEntryCount)}));
        return interrupted ? kExitInterrupted : kExitFailed;
    case comp::ReceptionOutcome::Error:
        PrintMessage(Translate(kMessages, comp::EndMessage(end.outcome)));
        return kExitFailed;
    }
    PrintMessage(Translate(kMessages, comp::EndMessage(end.outcome)));

    // The editor's parse of the received table catches counts beyond their bounds.
    comp::ParsedTable parsed = comp::ParseTableText(end.text);
    if (!parsed.Ok()) {
        PrintMessage(parsed.message);
        return kExitFailed;
    }
    if (namesFrom) {
        for (std::size_t i = 0; i < parsed.rows.size(); ++i) {
            parsed.rows[i].name = names[i].name;
        }
    }
    if (const comp::TableOutcome written = comp::WriteTableFile(output, parsed.rows);
        !written.Ok()) {
        PrintMessage(written.message);
        return kExitFailed;
    }
    return kExitOk;
}

int RunPut(const CommonOptions& options, Arguments arguments) {
    if (arguments.size() != 1) {
        return UsageError(
            FillText(kMessages, K720_TEXT("Messages", "%1 needs one file"), {"table put"}));
    }
    const std::string path(arguments[0]);
    // The file is loaded and checked as the editor opens it, and sent as its Transfer builds it.
    std::string text;
    if (const comp::TableOutcome loaded = comp::LoadTableFile(path, text); !loaded.Ok()) {
        PrintMessage(loaded.message);
        return kExitFailed;
    }
    const comp::ParsedTable parsed = comp::ParseTableText(text);
    if (!parsed.Ok()) {
        PrintMessage(parsed.message);
        return kExitFailed;
    }
    if (const comp::TableOutcome built = comp::BuildTableText(parsed.rows, text); !built.Ok()) {
        PrintMessage(built.message);
        return kExitFailed;
    }

    StopSignals signals;
    WakeEvent wake;
    if (const int status = signals.Check(); status != kExitOk) {
        return status;
    }
    if (const int status = wake.Check(); status != kExitOk) {
        return status;
    }
    PrepareCandidates(options);
    TransmissionReports reports(wake);
    comp::TableTransmissionEngine engine(reports);
    comp::TransmissionStart start;
    const int startStatus = signals.Run(
        [&](std::stop_token stop) { start = engine.Start(std::move(text), std::move(stop)); },
        [&engine] { engine.Stop(); });
    if (startStatus == kExitFailed) {
        return kExitFailed;
    }
    bool interrupted = startStatus == kExitInterrupted;
    if (!start.Started()) {
        if (interrupted || start.outcome == comp::TransmissionStartOutcome::Stopped) {
            return kExitInterrupted;
        }
        if (start.outcome == comp::TransmissionStartOutcome::ScanFailed) {
            PrintScanFailure(options, start.message);
        } else {
            PrintMessage(start.message);
        }
        return kExitFailed;
    }
    if (interrupted) {
        engine.Stop();
    }
    interrupted =
        WaitForEnd(engine, reports, wake, signals, &comp::TableTransmissionEngine::Acknowledged) ||
        interrupted;
    const comp::TableTransmissionEnd end = reports.TakeEnd();
    switch (end.outcome) {
    case comp::TransmissionOutcome::Transferred:
        PrintMessage(Translate(kMessages, comp::EndMessage(end.outcome)));
        return kExitOk;
    case comp::TransmissionOutcome::Stopped:
        PrintMessage(FillText(
            kMessages,
            K720_TEXT("Messages", "Transfer stopped after %1 of %2 entries; send the table again."),
            {std::to_string(end.acknowledged), std::to_string(comp::kEntryCount)}));
        return interrupted ? kExitInterrupted : kExitFailed;
    case comp::TransmissionOutcome::Error:
        break;
    }
    PrintMessage(Translate(kMessages, comp::EndMessage(end.outcome)));
    return kExitFailed;
}

struct Subcommand {
    std::string_view name;
    const char* usage;
    int (*run)(const CommonOptions& options, Arguments arguments);
};

constexpr Subcommand kSubcommands[] = {
    {"new", kNewUsage, RunNew},
    {"check", kCheckUsage, RunCheckFile},
    {"get", kGetUsage, RunGet},
    {"put", kPutUsage, RunPut},
};

} // namespace

int RunTable(const CommonOptions& options, Arguments arguments) {
    if (arguments.empty()) {
        return UsageError(Translate(
            kMessages, K720_TEXT("Messages", "table needs a subcommand (new, check, get or put)")));
    }
    if (IsHelp(arguments[0])) {
        std::fputs(Translate(kMessages, kTableUsage), stdout);
        return kExitOk;
    }
    for (const Subcommand& subcommand : kSubcommands) {
        if (arguments[0] != subcommand.name) {
            continue;
        }
        const Arguments rest = arguments.subspan(1);
        for (const std::string_view argument : rest) {
            if (IsHelp(argument)) {
                std::fputs(Translate(kMessages, subcommand.usage), stdout);
                return kExitOk;
            }
        }
        return subcommand.run(options, rest);
    }
    return UsageError(FillText(kMessages, K720_TEXT("Messages", "unknown table subcommand '%1'"),
                               {arguments[0]}));
}
