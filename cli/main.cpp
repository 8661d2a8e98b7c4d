// k720ctl: the instrument's memory from a script or a test bench, on the main program's core.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/language.h"
#include "base/texts.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/exchange_trace.h"
#include "link/port_names.h"
#include "translations/text_language.h"

namespace {

constexpr const char* kUsage =
    K720_TEXT("Messages", R"(usage: k720ctl [--port DEVICE] [--lang ja|en] [-v] COMMAND [options]

Commands:
  scan                       find the K720 among the serial ports of its USB bridge
  read --unit U --out FILE [--report PAGE [--title TEXT] [--operator NAME]] [--store [STORE]]
                             read memory unit U (A b C d E F G H J L n P, or all) into FILE.csv
  check                      list the memory units that hold data
  delete --unit U [--yes]    delete the data of memory unit U (or all) in the instrument
  clock [--set "YYYY-MM-DD HH:MM"]
                             set the instrument's clock to the PC's time now, or to the given one
  report FILE [--json] [--html PAGE [--title TEXT] [--operator NAME]]
                             summarise a measurement file: results, spread, times; a page to print
  table new --out FILE       write a comparator table file of 200 default entries
  table check FILE           check a comparator table file as the editor opens it
  table get --out FILE       read the instrument's comparator table into FILE.csv
  table put FILE             send the comparator table file FILE.csv to the instrument
  history import FILE...     record measurement files in the history, each reading once
  history list               list the read-outs the history holds
  history report [SELECTION] [--json] [--html PAGE]
                             report's figures and a trend by day over readings of the history
  history export [SELECTION] --out FILE
                             the selected readings as one table for a spreadsheet
  packs FILE... --series S --parallel P [--count N] [--csv OUT]
                             place measured cells into packs of S groups of P; a build sheet

Options:
  --port DEVICE   use this serial device alone (e.g. /dev/ttyUSB0, or COM5 on Windows)
                  instead of searching
  --lang ja|en    the language of the messages (else Japanese under a Japanese locale, or
                  on Windows a Japanese display language; English otherwise)
  -v, --verbose   trace every exchange with the instrument on stderr
  -h, --help      this text; 'k720ctl COMMAND --help' explains a command

Exit status: 0 success, 1 the instrument or the file failed, 2 usage error, 130 interrupted
(Ctrl-C, SIGTERM or SIGHUP; on Windows Ctrl-C, Ctrl-Break or the console closed).
)");

constexpr const char* kScanUsage = K720_TEXT("Messages", R"(usage: k720ctl [--port DEVICE] [-v] scan

Lists the candidate ports and asks each for its identity (two "QPID" probes), as the main
program does at start-up. Prints the port where the K720 answered. Exit status 0 when found.
)");

constexpr const char* kReadUsage =
    K720_TEXT("Messages", R"(usage: k720ctl [--port DEVICE] [-v] read --unit U --out FILE.csv
                                        [--report PAGE.html [--title TEXT] [--operator NAME]]
                                        [--store [STORE]]

Finds the K720, checks which memory units hold data, and reads unit U (A b C d E F G H J L n P
in either case, or "all") into FILE.csv, byte for byte as the main program writes it. An
existing file is replaced; a path of more than 299 characters, a missing folder, or a folder,
named pipe or device at FILE.csv is refused before the instrument is asked anything (exit
status 2). Progress is shown on a terminal. Ctrl-C, SIGTERM or SIGHUP cancels: during a reading
the instrument is told the reading ended and the file keeps what was written; before it, the
exchange in progress ends and no file is touched. The exit status is then 130.
With --report, a reading that ended with "Data received.  " is followed by the report page of
the file (see 'k720ctl report --help'); its destination is checked first, with the file's.
--title and --operator are printed in the page's heading.
With --store, such a reading is then recorded in the history, each reading once, in one
transaction (see 'k720ctl history --help'; without STORE the default history); a failure to
record leaves the file as it is.
Exit status 0 only when every reading was received (and the page, if asked for, was written,
and the readings recorded).
)");

constexpr const char* kCheckUsage =
    K720_TEXT("Messages", R"(usage: k720ctl [--port DEVICE] [-v] check

Finds the K720 and asks which memory units hold data (":MEM:CHECK?"), as the unit selection
pages do. Prints those units on one line as the instrument's display names them, for example
"A C d P", or "No Data.". Exit status 0 when the instrument answered.
)");

constexpr const char* kDeleteUsage =
    K720_TEXT("Messages", R"(usage: k720ctl [--port DEVICE] [-v] delete --unit U [--yes]

Finds the K720, checks which memory units hold data, and deletes the data of unit U (A b C d E F
G H J L n P in either case) or of every unit that holds data ("all"), with the commands the
main program sends (":MEM:CLEAR A" ... ":MEM:CLEAR P", one unit at a time; all units stop at the
first reply that is not "OK"). A unit without data is refused with "No Data." and nothing is
deleted.

Without --yes it asks "Proceed? [y/N]" on the terminal, with the port free meanwhile, and checks
the memory again after a yes; when standard input is not a terminal, --yes is required (exit
status 2, before the instrument is touched). Prints "Deleted." or the main program's message.
Ctrl-C, SIGTERM or SIGHUP ends the deletion after the reply in progress; units acknowledged
before stay deleted, and the exit status is 130.
Exit status 0 only when the deletion was acknowledged; 1 when it failed or was declined.
)");

constexpr const char* kClockUsage =
    K720_TEXT("Messages", R"(usage: k720ctl [--port DEVICE] [-v] clock [--set "YYYY-MM-DD HH:MM"]

Sets the instrument's clock (":TIME year,month,day,hour,minute", to the minute) to the PC's local
time now, or to the given date and time, as the set clock page does. The page's checks come
first: a day beyond its month's length, or a field out of its bounds (years 2006 to 2037), is
refused with the page's message and exit status 2, before the instrument is touched. Then the K720
is found and the command sent. Prints "Clock set.  " or the page's failure message.
Exit status 0 only when the instrument accepted the setting.
)");

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const Utf8Console console;
    CommonOptions common;
    // The installed edition or the system's language, until --lang says otherwise.
    UseTextLanguage(ProgramLanguage(std::nullopt));
    std::size_t i = 0;
    for (; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (IsHelp(argument)) {
            std::fputs(Translate(kMessages, kUsage), stdout);
            return kExitOk;
        } else if (argument == "-v" || argument == "--verbose") {
            common.verbose = true;
        } else if (argument == "--lang") {
            const std::optional<Language> language =
                ++i < arguments.size() ? ParseLanguage(arguments[i]) : std::nullopt;
            if (!language) {
                return UsageError(
                    Translate(kMessages, K720_TEXT("Messages", "--lang takes ja or en")));
            }
            UseTextLanguage(*language);
        } else if (argument == "--port") {
            if (++i == arguments.size()) {
                return UsageError(
                    Translate(kMessages, K720_TEXT("Messages", "--port needs a device")));
            }
            common.device = std::string(arguments[i]);
            // Only a name the serial link can open by number ("COM5" on Windows, a device path
            // elsewhere): anything else would be probed as a port that is never there.
            if (AttachPortDevice(*common.device) == 0) {
                return UsageError(
                    FillText(kMessages, K720_TEXT("Messages", "--port names no serial port: '%1'"),
                             {*common.device}));
            }
        } else {
            break;
        }
    }
    if (i == arguments.size()) {
        return UsageError(Translate(kMessages, K720_TEXT("Messages", "no command given")));
    }
    const std::string_view command = arguments[i++];

    std::optional<ExchangeTrace> trace;
    if (common.verbose) {
        trace.emplace(stderr);
        trace->Start();
    }
    if (command == "scan") {
        for (; i < arguments.size(); ++i) {
            if (IsHelp(arguments[i])) {
                std::fputs(Translate(kMessages, kScanUsage), stdout);
                return kExitOk;
            }
            return UsageError(NoArgumentText("scan", arguments[i]));
        }
        return RunScan(common);
    }
    if (command == "read") {
        ReadOptions read;
        bool haveUnit = false;
        for (; i < arguments.size(); ++i) {
            const std::string_view argument = arguments[i];
            if (IsHelp(argument)) {
                std::fputs(Translate(kMessages, kReadUsage), stdout);
                return kExitOk;
            }
            if ((argument == "--unit" || argument == "--out" || argument == "--report") &&
                i + 1 == arguments.size()) {
                return UsageError(NeedsValueText(argument));
            }
            if (argument == "--unit") {
                const auto code = UnitCodeOfName(std::string(arguments[++i]));
                if (!code) {
                    return UsageError(UnknownUnitText(arguments[i]));
                }
                read.unitCode = *code;
                haveUnit = true;
            } else if (argument == "--out") {
                read.output = std::string(arguments[++i]);
            } else if (argument == "--report") {
                read.reportPage = std::string(arguments[++i]);
            } else if (ParseStoreOption(arguments, i, read.store)) {
            } else if (int status = kExitOk;
                       ParseReportPageLabel(arguments, i, read.reportLabels, status)) {
                if (status != kExitOk) {
                    return status;
                }
            } else {
                return UsageError(NoArgumentText("read", argument));
            }
        }
        if (!haveUnit || read.output.empty()) {
            return UsageError(
                Translate(kMessages, K720_TEXT("Messages", "read needs --unit and --out")));
        }
        if (read.reportPage.empty() &&
            !(read.reportLabels.title.empty() && read.reportLabels.operatorName.empty())) {
            return UsageError(FillText(
                kMessages, K720_TEXT("Messages", "--title and --operator need %1"), {"--report"}));
        }
        return RunRead(common, read);
    }
    if (command == "check") {
        for (; i < arguments.size(); ++i) {
            if (IsHelp(arguments[i])) {
                std::fputs(Translate(kMessages, kCheckUsage), stdout);
                return kExitOk;
            }
            return UsageError(NoArgumentText("check", arguments[i]));
        }
        return RunCheck(common);
    }
    if (command == "delete") {
        DeleteOptions deletion;
        bool haveUnit = false;
        for (; i < arguments.size(); ++i) {
            const std::string_view argument = arguments[i];
            if (IsHelp(argument)) {
                std::fputs(Translate(kMessages, kDeleteUsage), stdout);
                return kExitOk;
            }
            if (argument == "--yes" || argument == "-y") {
                deletion.yes = true;
            } else if (argument == "--unit") {
                if (i + 1 == arguments.size()) {
                    return UsageError(NeedsValueText("--unit"));
                }
                const auto code = UnitCodeOfName(std::string(arguments[++i]));
                if (!code) {
                    return UsageError(UnknownUnitText(arguments[i]));
                }
                deletion.unitCode = *code;
                haveUnit = true;
            } else {
                return UsageError(NoArgumentText("delete", argument));
            }
        }
        if (!haveUnit) {
            return UsageError(Translate(kMessages, K720_TEXT("Messages", "delete needs --unit")));
        }
        // Nobody could answer the question: refused before the instrument is touched.
        if (!deletion.yes && !InputIsTerminal()) {
            return UsageError(Translate(
                kMessages, K720_TEXT("Messages", "delete asks before deleting; give --yes when "
                                                 "standard input is not a terminal")));
        }
        return RunDelete(common, deletion);
    }
    if (command == "clock") {
        ClockOptions clock;
        for (; i < arguments.size(); ++i) {
            const std::string_view argument = arguments[i];
            if (IsHelp(argument)) {
                std::fputs(Translate(kMessages, kClockUsage), stdout);
                return kExitOk;
            }
            if (argument != "--set") {
                return UsageError(NoArgumentText("clock", argument));
            }
            if (i + 1 == arguments.size() || !(clock.set = ParseClockSetting(arguments[++i]))) {
                return UsageError(Translate(
                    kMessages,
                    K720_TEXT("Messages", "--set needs a date and time as \"YYYY-MM-DD HH:MM\"")));
            }
        }
        return RunClock(common, clock);
    }
    if (command == "report") {
        return RunReport(std::span(arguments).subspan(i));
    }
    if (command == "history") {
        return RunHistory(std::span(arguments).subspan(i));
    }
    if (command == "table") {
        return RunTable(common, std::span(arguments).subspan(i));
    }
    if (command == "packs") {
        return RunPacks(std::span(arguments).subspan(i));
    }
    return UsageError(
        FillText(kMessages, K720_TEXT("Messages", "unknown command '%1'"), {command}));
}
