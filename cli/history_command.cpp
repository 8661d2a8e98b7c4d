// k720ctl history: every reading once, in a SQLite file (the default) or a PostgreSQL server
// shared by a lab's benches. read --store records the file it has just written the same way.
#include <cstdio>
#include <filesystem>
#include <memory>

#include "base/texts.h"
#include "base/version.h"
#include "cli/commands.h"
#include "files/replacement_file.h"
#include "history/readout_origin.h"
#include "history/store.h"
#include "history/store_location.h"
#include "measure/units.h"

namespace {

constexpr const char* kHistoryUsage =
    K720_TEXT("Messages", R"(usage: k720ctl history import FILE.csv... [--store STORE]
       k720ctl history list [--store STORE]

Keeps every reading once in a history: the instrument's serial number, the unit, the slot, the
time the instrument stamped, the ranges, values, limits, result and temperature, and the
read-out it came from (when it was read or imported, the file, the program, the PC).

  import FILE.csv...  record measurement files read before (a file cut short by a cancelled
                      or failed reading as far as it goes); a reading already in the history is
                      counted, not stored again
  list                the read-outs: when (UTC), instrument, units, new and known readings,
                      PC and file

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
        location = history::ParseStoreLocation(*given);
        return location.problem.empty() ? kExitOk : UsageError(location.problem);
    }
    const std::optional<std::string> path = history::DefaultStorePath();
    if (!path) {
        std::fprintf(stderr, "k720ctl: %s\n",
                     Translate(kMessages, K720_TEXT("Messages", "The system names no data folder "
                                                                "for the history: give --store.")));
        return kExitFailed;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(*path).parent_path(), error);
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
    std::optional<std::string> given;
    std::vector<std::string> files;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (IsHelp(argument)) {
            std::fputs(Translate(kMessages, kHistoryUsage), stdout);
            return kExitOk;
        }
        if (argument == "--store") {
            if (i + 1 == arguments.size()) {
                return UsageError(NeedsValueText(argument));
            }
            given = std::string(arguments[++i]);
        } else if (command == "import" && !argument.starts_with("-")) {
            files.emplace_back(argument);
        } else {
            return UsageError(
                NoArgumentText(std::string("history ") + std::string(command), argument));
        }
    }
    if (command != "import" && command != "list") {
        return UsageError(FillText(kMessages, K720_TEXT("Messages", "unknown command '%1'"),
                                   {std::string("history ") + std::string(command)}));
    }
    if (command == "import" && files.empty()) {
        return UsageError(
            Translate(kMessages, K720_TEXT("Messages", "history import needs a measurement file")));
    }
    history::StoreLocation location;
    if (const int status = ResolveStore(given, location); status != kExitOk) {
        return status;
    }
    const std::unique_ptr<history::Store> store = OpenHistory(location);
    if (!store) {
        return kExitFailed;
    }
    return command == "import" ? RunImport(*store, files) : RunList(*store);
}
