// The commands of k720ctl. Each prints the main program's message texts and returns the exit
// status: 0 success, 1 the instrument or the file failed, 2 a usage error, 130 cancelled by a stop
// signal (SIGINT, SIGTERM or SIGHUP).
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "clock/clock_setting.h"
#include "history/store.h"
#include "report/daily_trend.h"
#include "report/measurement_report.h"

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

struct CommonOptions {
    std::optional<std::string> device; // --port DEVICE: probe this device alone
    bool verbose = false;
};

// --title TEXT and --operator NAME of a report page: printed in its heading.
struct ReportPageLabels {
    std::string title;
    std::string operatorName;
};

struct ReadOptions {
    int unitCode = 0;       // 1, 2, 4, ..., 2048, or 4096 for all units
    std::string output;     // the measurement file, ending in ".csv"
    std::string reportPage; // --report OUT.html: the report page of a complete reading
    ReportPageLabels reportLabels;
    std::optional<std::string> store; // --store [STORE]: "" for the default store
};

struct ClockOptions {
    // --set "YYYY-MM-DD HH:MM" as typed; the PC's local time now when absent.
    std::optional<instrument_clock::TypedFields> set;
};

struct DeleteOptions {
    int unitCode = 0; // 1, 2, 4, ..., 2048, or 4096 for all units
    bool yes = false; // --yes: do not ask
};

// Fills the candidate list: the system's ports of the instrument's bridge, or the one device
// named with --port. Prints the list.
void PrepareCandidates(const CommonOptions& options);

// Prints the message of a scan that found no instrument (or of a failed memory check), with the
// permission hint where it applies and, when the device named with --port could not be opened,
// a line saying why.
void PrintScanFailure(const CommonOptions& options, const std::string& message);

class StopSignals;
// The scan and the memory check, stoppable by a signal. kExitOk with `mask` (the units that hold
// data) filled when the instrument answered; else the failure is printed, or kExitInterrupted.
[[nodiscard]] int CheckUnits(const CommonOptions& options, StopSignals& signals, int& mask);
// CheckUnits without listing the candidates again: the memory check after a pause in which
// another program may have used the instrument.
[[nodiscard]] int CheckUnitsAgain(const CommonOptions& options, StopSignals& signals, int& mask);
// As on the unit selection pages, only a unit that holds data can be chosen ("all": any unit):
// kExitOk, or "No Data." printed and kExitFailed.
[[nodiscard]] int RefuseUnitWithoutData(int unitCode, int mask);

int RunScan(const CommonOptions& options);
int RunRead(const CommonOptions& options, const ReadOptions& read);
int RunCheck(const CommonOptions& options);
// Asks on the terminal first unless `deletion.yes`; the caller has made sure standard input is a
// terminal then.
int RunDelete(const CommonOptions& options, const DeleteOptions& deletion);

// Sets the instrument's clock after the set clock page's checks (a refusal prints the page's
// message and exits kExitUsage before the instrument is touched).
int RunClock(const CommonOptions& options, const ClockOptions& clock);
// The fields of "YYYY-MM-DD HH:MM": digits only, at most four in the year and two in the others
// ("2014-3-7 9:5" too); nothing when the text has another form.
std::optional<instrument_clock::TypedFields> ParseClockSetting(std::string_view text);

// The summary of a measurement file: the arguments after "report".
int RunReport(std::span<const std::string_view> arguments);
// The checks of --html (or --report) OUT.html before anything is read or sent.
[[nodiscard]] int CheckReportDestination(const std::string& htmlPath);
// Writes the report page of the measurement file `csvPath`: kExitOk, or the reason printed and
// kExitFailed.
[[nodiscard]] int WriteReportPage(const std::string& csvPath, const std::string& htmlPath,
                                  const ReportPageLabels& labels);
// Writes the report page of `report` (with its trend by day when one is given): kExitOk, or the
// reason printed and kExitFailed.
[[nodiscard]] int WriteReportPageOf(const report::MeasurementReport& report,
                                    const report::DailyTrend* trend, const std::string& htmlPath,
                                    const ReportPageLabels& labels);
// Prints the report (and its trend) as text or JSON on standard output.
[[nodiscard]] int PrintReport(const report::MeasurementReport& report,
                              const report::DailyTrend* trend, bool json);
// --title and --operator at `arguments[i]`: true when it is one of them (its value taken, `i`
// moved past it, a missing value a usage error in `status`).
bool ParseReportPageLabel(std::span<const std::string_view> arguments, std::size_t& i,
                          ReportPageLabels& labels, int& status);

// Refuses (kExitUsage) a destination that would replace the measurement file `csvPath`, also one
// that does not exist yet, by any spelling of its name (see files::NameTheSameFile); `name` is
// the destination as the refusal names it (ReportPageName(), "--csv").
[[nodiscard]] int RefuseOverReadings(const std::string& csvPath, const std::string& destination,
                                     const char* name);

// Cells placed into packs: the arguments after "packs".
int RunPacks(std::span<const std::string_view> arguments);
// The history of readings: the subcommand and its arguments, everything after "history".
int RunHistory(std::span<const std::string_view> arguments);
// --store [STORE] at `arguments[i]`: true when it is that option (the store taken when the next
// argument is no option, else "" for the default store; `i` moved past it).
bool ParseStoreOption(std::span<const std::string_view> arguments, std::size_t& i,
                      std::optional<std::string>& store);
// The checks of --store before anything is read: a malformed URL is a usage error (kExitUsage),
// a default store without a data folder kExitFailed.
[[nodiscard]] int CheckHistoryStore(const std::optional<std::string>& store);
// Refuses (kExitUsage) a destination that would replace the SQLite file of the history `store`
// ("" or none for the default), by any spelling of its name; `name` as RefuseOverReadings takes.
[[nodiscard]] int RefuseOverHistory(const std::optional<std::string>& store,
                                    const std::string& destination, const char* name);
// --serial, --unit, --from, --to and --result at `arguments[i]`: true when it is one of them (its
// value taken into `selection`, `i` moved past it, a missing or wrong value a usage error in
// `status`).
bool ParseSelectionOption(std::span<const std::string_view> arguments, std::size_t& i,
                          history::Selection& selection, int& status);
// The readings of `selection` in the history `store` ("" for the default), in `readings`; the
// reason printed and its exit status when the store cannot be used.
[[nodiscard]] int SelectFromHistory(const std::optional<std::string>& store,
                                    const history::Selection& selection,
                                    std::vector<history::StoredReading>& readings);
// Records the measurement file just written in the history `store` ("" for the default): prints
// the new and known counts, or the reason and kExitFailed.
[[nodiscard]] int RecordReadingInHistory(const std::string& csvPath,
                                         const std::optional<std::string>& store);
// The report of the measurement file at `path`, or the reason printed on stderr.
std::optional<report::MeasurementReport> LoadReport(const std::string& path);

// Comparator table files: the subcommand and its arguments, everything after "table".
int RunTable(const CommonOptions& options, std::span<const std::string_view> arguments);

// Prints "k720ctl: MESSAGE" (the refusal of a destination) on stderr; returns kExitUsage.
int RefuseDestination(const std::string& message);
// "the report page", in the user's language: the destination of --html and --report as the
// refusals name it.
const char* ReportPageName();
// The folder of a destination in the system's own separators ("dir/x.csv" is "dir\x.csv" on
// Windows): "." for a bare file name, and "C:." for "C:x.csv", which names the current folder of
// drive C, not its root.
std::filesystem::path DestinationFolder(const std::filesystem::path& destination);
// Refuses a destination the command could not write, before the instrument is touched: a missing
// or unreachable folder, a file as its folder, a folder, named pipe or device in the file's place
// (opening one could block), or a place where no file can be created (the reason is named).
// kExitOk, or the refusal printed and kExitUsage.
[[nodiscard]] int CheckDestination(const std::string& destination, const char* option = "--out");

// Prints "k720ctl: MESSAGE" and the hint to --help on stderr; returns kExitUsage.
int UsageError(const std::string& message);
// The usage errors that several commands share, in the user's language: "COMMAND takes no
// argument 'ARGUMENT'", "OPTION needs a value", "OPTION needs a file", "unknown unit 'NAME' ...".
std::string NoArgumentText(std::string_view command, std::string_view argument);
std::string NeedsValueText(std::string_view option);
std::string NeedsFileText(std::string_view option);
std::string UnknownUnitText(std::string_view name);
// Whether an argument asks for help (-h, --help).
bool IsHelp(std::string_view argument);

// The unit code of a unit name: A b C d E F G H J L n P in either case, or "all".
std::optional<int> UnitCodeOfName(const std::string& name);
