// k720ctl history: every reading once, in a SQLite file (the default) or a PostgreSQL server
// shared by a lab's benches. read --store records the file it has just written the same way.
#include <cstdio>
#include <filesystem>
#include <memory>

#include "base/texts.h"
#include "base/version.h"
#include "cli/commands.h"
#include "files/replacement_file.h"
#include "files/same_file.h"
#include "history/history_export.h"
#include "history/history_report.h"
#include "history/reading_columns.h"
#include "history/readout_origin.h"
#include "history/store.h"
#include "history/store_location.h"
#include "measure/units.h"

namespace {

constexpr const char* kHistoryUsage =
    K720_TEXT("Messages", R"(usage: k720ctl history import FILE.csv... [--store STORE]
       k720ctl history list [--store STORE]
       k720ctl history report [SELECTION] [--json | --html OUT.html [--title TEXT]
                              [--operator NAME]] [--store STORE]
       k720ctl history export [SELECTION] --out FILE.csv [--store STORE]

Keeps every reading once in a history: the instrument's serial number, the unit, the slot, the
time the instrument stamped, the ranges, values, limits, result and temperature, and the
read-out it came from (when it was read or imported, the file, the program, the PC).

  import FILE.csv...  record measurement files read before (a file cut short by a cancelled
                      or failed reading as far as it goes); a reading already in the history is
                      counted, not stored again
  list                the read-outs: when (UTC), instrument, units, new and known readings,
                      PC and file
  report              the figures of 'k720ctl report' over the selected readings, per unit
                      and for all, and their trend by day: the median, quartiles and range of
                      the resistance and the voltage per measurement day; --json and --html as
                      for 'k720ctl report' (the page with a plot of the trend)
  export              the selected readings as one table with a single header row (Serial,
                      Unit, Slot, Date, Time, then the measurement file's columns) that a
                      spreadsheet opens as it is

SELECTION (every part optional; readings must match all that are given):
  --serial S      the instrument with serial number S
  --unit U        memory unit U (A b C d E F G H J L n P)
  --from DATE     measured on DATE (YYYY-MM-DD) or later
  --to DATE       measured on DATE or earlier
  --result R      judged PASS, FAIL or WARNING

  --store STORE   the history: a SQLite file, or a PostgreSQL server shared by several PCs
                  named as postgresql://USER@HOST:PORT/DATABASE (a password is never shown);
                  without it, history.sqlite in the user's data folder
                  ($XDG_DATA_HOME/k720 or ~/.local/share/k720; %LOCALAPPDATA%\k720 on Windows)

Each file is recorded in one transaction: all of its readings or, on any failure, none.
Exit status 0 on success; 1 when a file cannot be read or the history cannot be opened or
written; 2 for a usage error (also a malformed URL).
)");

// The store the user named, or the default one (its folder made when missing).
int ResolveStore(const std::optional<std::string>& given, history::StoreLocation& location) {
    if (given) {
        // A file's path comes in the system's encoding (on Windows the ANSI code page); SQLite
        // opens UTF-8.
        location = history::ParseStoreLocation(*given);
        if (location.kind == history::StoreKind::Sqlite) {
            location = history::ParseStoreLocation(files::PathInMessage(*given));
        }
        return location.problem.empty() ? kExitOk : UsageError(location.problem);
    }
    const std::optional<std::string> path = history::DefaultStorePath();
    if (!path) {
        std::fprintf(stderr, "k720ctl: %s\n",
                     Translate(kMessages, K720_TEXT("Messages", "The system names no data folder "
                                                                "for the history: give --store.")));
        return kExitFailed;
    }
    // The default path is UTF-8: made a path as such, so that a non-ASCII user folder stays itself
    // on Windows. A folder that cannot be made is named by the store's own open failure.
    std::error_code error;
    std::filesystem::create_directories(
        std::filesystem::path(std::u8string(path->begin(), path->end())).parent_path(), error);
    location = history::ParseStoreLocation(*path);
    return kExitOk;
}

std::unique_ptr<history::Store> OpenHistory(const history::StoreLocation& location) {
    history::OpenedStore opened = history::OpenStore(location);
    if (!opened.store) {
        std::fprintf(stderr, "k720ctl: %s\n", opened.error.c_str());
    }
    return std::move(opened.store);
}

// "2026-1-5" or "2026-01-05" as the day "2026-01-05"; nothing for another text or no real day.
std::optional<std::string> ParseDay(std::string_view text) {
    const std::string copy(text);
    int year = 0, month = 0, day = 0;
    char end = 0;
    if (copy.find_first_not_of("0123456789-") != std::string::npos ||
        std::sscanf(copy.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) != 3 || year < 1 ||
        month < 1 || month > 12 || day < 1 || day > 31) {
        return std::nullopt;
    }
    char iso[24];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", year, month, day);
    return std::string(iso);
}

std::optional<report::Result> ResultOfName(std::string_view name) {
    for (const report::Result result :
         {report::Result::Pass, report::Result::Fail, report::Result::Warning}) {
        if (name == history::ResultName(result)) {
            return result;
        }
    }
    return std::nullopt;
}

// "139 new readings, 0 already in the history".
std::string RecordedText(const history::Recorded& recorded) {
    return FillText(kMessages,
                    recorded.newReadings == 1
                        ? K720_TEXT("Messages", "1 new reading, %2 already in the history")
                        : K720_TEXT("Messages", "%1 new readings, %2 already in the history"),
                    {std::to_string(recorded.newReadings), std::to_string(recorded.knownReadings)});
}

// Records the measurement file at `path`: its line printed, or the reason and kExitFailed.
int RecordFile(history::Store& store, const std::string& path, bool nameFile) {
    const std::optional<report::MeasurementReport> file = LoadReport(path);
    if (!file) {
        return kExitFailed;
    }
    const history::Recorded recorded =
        store.Record(*file, history::OriginNow(path, std::string("k720ctl ") + ProgramVersion()));
    if (!recorded.error.empty()) {
        std::fprintf(stderr, "k720ctl: %s: %s\n", files::PathInMessage(path).c_str(),
                     recorded.error.c_str());
        return kExitFailed;
    }
    if (nameFile) {
        std::printf("%s: %s\n", files::PathInMessage(path).c_str(), RecordedText(recorded).c_str());
    } else {
        std::printf("%s\n", RecordedText(recorded).c_str());
    }
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
}

// "A C d" for the units of a mask.
std::string UnitLetters(int mask) {
    std::string letters;
    for (int unit = 0; unit < 12; ++unit) {
        if ((mask & (1 << unit)) != 0) {
            letters += letters.empty() ? "" : " ";
            letters += measure::UnitCommandLetter(unit);
        }
    }
    return letters;
}

int RunImport(history::Store& store, const std::vector<std::string>& files) {
    int status = kExitOk;
    for (const std::string& path : files) {
        if (RecordFile(store, path, true) != kExitOk) {
            status = kExitFailed;
        }
    }
    return status;
}

// A selection that takes no reading is not a failure (the report and the table are empty), but
// worth a word.
void SayWhenNothingMatches(bool nothing) {
    if (nothing) {
        std::fprintf(stderr, "k720ctl: %s\n",
                     Translate(kMessages, K720_TEXT("Messages", "No reading of the history "
                                                                "matches the selection.")));
    }
}

// The selected readings, or the reason printed and nothing.
std::optional<std::vector<history::StoredReading>> SelectReadings(history::Store& store,
                                                                  const history::Selection& s) {
    history::SelectedReadings selected = store.Select(s);
    if (!selected.error.empty()) {
        std::fprintf(stderr, "k720ctl: %s\n", selected.error.c_str());
        return std::nullopt;
    }
    SayWhenNothingMatches(selected.readings.empty());
    return std::move(selected.readings);
}

struct ReportRequest {
    bool json = false;
    std::string html;
    ReportPageLabels labels;
};

int RunHistoryReport(history::Store& store, const history::Selection& selection,
                     const ReportRequest& request) {
    const history::HistoryReport made = history::ReportOfHistory(store, selection);
    if (!made.report) {
        std::fprintf(stderr, "k720ctl: %s\n", made.error.c_str());
        return kExitFailed;
    }
    SayWhenNothingMatches(made.report->total.readings == 0);
    if (!request.html.empty() &&
        WriteReportPageOf(*made.report, &made.trend, request.html, request.labels) != kExitOk) {
        return kExitFailed;
    }
    return PrintReport(*made.report, &made.trend, request.json);
}

int RunExport(history::Store& store, const history::Selection& selection,
              const std::string& output) {
    const auto readings = SelectReadings(store, selection);
    if (!readings) {
        return kExitFailed;
    }
    const history::ExportedTable table = history::ExportTable(*readings);
    if (!table.error.empty()) {
        std::fprintf(stderr, "k720ctl: %s\n", table.error.c_str());
        return kExitFailed;
    }
    files::ReplacementFile file;
    if (!file.Create(output) || !file.Append(table.text.data(), table.text.size()) ||
        !file.Commit()) {
        std::fprintf(stderr, "k720ctl: %s\n",
                     files::CannotSaveMessage(output, file.Error()).c_str());
        return kExitFailed;
    }
    return kExitOk;
}

int RunList(history::Store& store) {
    const history::ListedReadouts listed = store.List();
    if (!listed.error.empty()) {
        std::fprintf(stderr, "k720ctl: %s\n", listed.error.c_str());
        return kExitFailed;
    }
    std::printf("%s\n", Translate(kMessages, K720_TEXT("Messages", "Read (UTC)            "
                                                                   "Instrument  New  Known  "
                                                                   "Units / PC / file")));
    for (const history::Readout& r : listed.readouts) {
        std::printf("%-21s %-10s %4d %6d  %s / %s / %s\n", r.readAt.c_str(), r.serial.c_str(),
                    r.newReadings, r.knownReadings, UnitLetters(r.unitMask).c_str(), r.host.c_str(),
                    files::PathInMessage(r.fileName).c_str());
    }
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
}

} // namespace

bool ParseStoreOption(std::span<const std::string_view> arguments, std::size_t& i,
                      std::optional<std::string>& store) {
    if (arguments[i] != "--store") {
        return false;
    }
    // The value is optional: the default store when the next argument is another option.
    if (i + 1 < arguments.size() && !arguments[i + 1].starts_with("-")) {
        store = std::string(arguments[++i]);
    } else {
        store = std::string();
    }
    return true;
}

bool ParseSelectionOption(std::span<const std::string_view> arguments, std::size_t& i,
                          history::Selection& selection, int& status) {
    const std::string_view argument = arguments[i];
    if (argument != "--serial" && argument != "--unit" && argument != "--from" &&
        argument != "--to" && argument != "--result") {
        return false;
    }
    if (i + 1 == arguments.size()) {
        status = UsageError(NeedsValueText(argument));
        return true;
    }
    const std::string value(arguments[++i]);
    if (argument == "--serial") {
        selection.serial = value;
    } else if (argument == "--unit") {
        const int unit = value.size() == 1 ? measure::UnitIndexOfLetter(value[0]) : -1;
        if (unit < 0) {
            status = UsageError(UnknownUnitText(value));
        }
        selection.unit = unit;
    } else if (argument == "--from" || argument == "--to") {
        const std::optional<std::string> day = ParseDay(value);
        if (!day) {
            status = UsageError(FillText(
                kMessages, K720_TEXT("Messages", "%1 needs a date as YYYY-MM-DD"), {argument}));
        }
        (argument == "--from" ? selection.from : selection.to) = day;
    } else {
        selection.result = ResultOfName(value);
        if (!selection.result) {
            status = UsageError(Translate(
                kMessages, K720_TEXT("Messages", "--result needs PASS, FAIL or WARNING")));
        }
    }
    return true;
}

int SelectFromHistory(const std::optional<std::string>& given, const history::Selection& selection,
                      std::vector<history::StoredReading>& readings) {
    history::StoreLocation location;
    if (const int status = ResolveStore(given && !given->empty() ? given : std::nullopt, location);
        status != kExitOk) {
        return status;
    }
    const std::unique_ptr<history::Store> store = OpenHistory(location);
    if (!store) {
        return kExitFailed;
    }
    std::optional<std::vector<history::StoredReading>> selected = SelectReadings(*store, selection);
    if (!selected) {
        return kExitFailed;
    }
    readings = std::move(*selected);
    return kExitOk;
}

int RefuseOverHistory(const std::optional<std::string>& given, const std::string& destination,
                      const char* name) {
    std::optional<std::string> file;
    if (given && !given->empty()) {
        if (history::ParseStoreLocation(*given).kind == history::StoreKind::Sqlite) {
            file = *given;
        }
    } else {
        file = history::DefaultStorePath();
    }
    if (file && files::NameTheSameFile(*file, destination)) {
        return RefuseDestination(FillText(kMessages,
                                          K720_TEXT("Messages", "%1 names the history itself: %2"),
                                          {name, files::PathInMessage(destination)}));
    }
    return kExitOk;
}

int CheckHistoryStore(const std::optional<std::string>& given) {
    history::StoreLocation location;
    return ResolveStore(given && !given->empty() ? given : std::nullopt, location);
}

int RecordReadingInHistory(const std::string& csvPath, const std::optional<std::string>& given) {
    history::StoreLocation location;
    if (ResolveStore(given && !given->empty() ? given : std::nullopt, location) != kExitOk) {
        return kExitFailed;
    }
    const std::unique_ptr<history::Store> store = OpenHistory(location);
    return store ? RecordFile(*store, csvPath, false) : kExitFailed;
}

int RunHistory(std::span<const std::string_view> arguments) {
    if (arguments.empty()) {
        return UsageError(Translate(
            kMessages, K720_TEXT("Messages", "history needs import, list, report or export")));
    }
    const std::string_view command = arguments[0];
    if (IsHelp(command)) {
        std::fputs(Translate(kMessages, kHistoryUsage), stdout);
        return kExitOk;
    }
    const std::string name = "history " + std::string(command);
    if (command != "import" && command != "list" && command != "report" && command != "export") {
        return UsageError(
            FillText(kMessages, K720_TEXT("Messages", "unknown command '%1'"), {name}));
    }
    const bool selects = command == "report" || command == "export";
    std::optional<std::string> given;
    std::vector<std::string> files;
    history::Selection selection;
    ReportRequest report;
    std::string output;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (IsHelp(argument)) {
            std::fputs(Translate(kMessages, kHistoryUsage), stdout);
            return kExitOk;
        }
        if (int status = kExitOk;
            selects && ParseSelectionOption(arguments, i, selection, status)) {
            if (status != kExitOk) {
                return status;
            }
            continue;
        }
        const bool takesValue = argument == "--store" ||
                                (command == "report" && argument == "--html") ||
                                (command == "export" && argument == "--out");
        if (takesValue && i + 1 == arguments.size()) {
            return UsageError(NeedsValueText(argument));
        }
        const std::string value = takesValue ? std::string(arguments[++i]) : std::string();
        if (argument == "--store") {
            given = value;
        } else if (argument == "--html" && takesValue) {
            report.html = value;
        } else if (argument == "--out" && takesValue) {
            output = value;
        } else if (command == "report" && argument == "--json") {
            report.json = true;
        } else if (int status = kExitOk;
                   command == "report" &&
                   ParseReportPageLabel(arguments, i, report.labels, status)) {
            if (status != kExitOk) {
                return status;
            }
        } else if (command == "import" && !argument.starts_with("-")) {
            files.emplace_back(argument);
        } else {
            return UsageError(NoArgumentText(name, argument));
        }
    }
    if (command == "import" && files.empty()) {
        return UsageError(
            Translate(kMessages, K720_TEXT("Messages", "history import needs a measurement file")));
    }
    if (command == "export" && output.empty()) {
        return UsageError(
            Translate(kMessages, K720_TEXT("Messages", "history export needs --out")));
    }
    if (report.html.empty() &&
        !(report.labels.title.empty() && report.labels.operatorName.empty())) {
        return UsageError(FillText(
            kMessages, K720_TEXT("Messages", "--title and --operator need %1"), {"--html"}));
    }
    if (!report.html.empty()) {
        if (const int status = CheckReportDestination(report.html); status != kExitOk) {
            return status;
        }
    }
    if (!output.empty()) {
        if (const int status = CheckDestination(output); status != kExitOk) {
            return status;
        }
    }
    for (const auto& [destination, destinationName] :
         {std::pair{output, "--out"}, std::pair{report.html, ReportPageName()}}) {
        if (!destination.empty()) {
            if (const int status = RefuseOverHistory(given, destination, destinationName);
                status != kExitOk) {
                return status;
            }
        }
    }
    history::StoreLocation location;
    if (const int status = ResolveStore(given, location); status != kExitOk) {
        return status;
    }
    const std::unique_ptr<history::Store> store = OpenHistory(location);
    if (!store) {
        return kExitFailed;
    }
    if (command == "import") {
        return RunImport(*store, files);
    }
    if (command == "report") {
        return RunHistoryReport(*store, selection, report);
    }
    if (command == "export") {
        return RunExport(*store, selection, output);
    }
    return RunList(*store);
}
