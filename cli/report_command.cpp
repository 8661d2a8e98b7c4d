// k720ctl report: the summary of a measurement file as text, as JSON, or as a page to print.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/local_time.h"
#include "base/texts.h"
#include "base/version.h"
#include "cli/commands.h"
#include "files/replacement_file.h"
#include "report/measurement_report.h"
#include "report/report_page.h"
#include "report/report_text.h"

namespace {

constexpr const char* kReportUsage = K720_TEXT(
    "Messages",
    R"(usage: k720ctl report FILE.csv [--json] [--html OUT.html [--title TEXT] [--operator NAME]]

Reads a measurement file as k720ctl read and the main program write it and prints, per unit and
for the whole file: the readings and empty slots; the PASS, FAIL, WARNING and unjudged counts
and shares; count, minimum, maximum, mean and sample standard deviation of the resistance [mohm]
and the voltage [V] (over-range readings, "--" or "9999", and the voltage's under-range
"-10.000" or "-100.00" counted apart); the temperature's minimum and maximum in the file's unit;
the first and last measurement (readings whose time is no real date and time, as month 13 or
minute 63, are counted apart). A file cut short inside a unit by a cancelled or failed reading is
reported as far as it goes, with a note.

  --json          print the same figures as one JSON object instead
  --html OUT.html also write a page with the summary table and, per unit, a histogram of the
                  resistance, voltage against resistance coloured by result (with the unit's
                  comparator limits when its readings share one set) and the resistance in slot
                  order; self-contained, to open in a browser and print (with a block
                  to sign on paper)
  --title TEXT    the page's title, for a batch record
  --operator NAME who made the reading, printed in the page's heading

Exit status 0 on success; 1 when the file cannot be read or is no measurement file (the line that
does not parse is named; nothing is written then); 2 for a usage error.
)");

// A measurement file holds at most 12 units of 400 lines of about 90 bytes.
constexpr std::uintmax_t kMaxMeasurementFileBytes = 4u << 20;

struct ReportOptions {
    std::string input;
    bool json = false;
    std::string html; // empty: no page
    ReportPageLabels labels;
};

// The file's bytes, or a message on stderr and kExitFailed.
int LoadMeasurementFile(const std::string& path, std::string& bytes) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::is_regular_file(status)) {
        std::fprintf(stderr, "k720ctl: %s: %s\n", files::PathInMessage(path).c_str(),
                     error ? error.message().c_str()
                           : Translate(kMessages, K720_TEXT("Messages", "not a file")));
        return kExitFailed;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > kMaxMeasurementFileBytes) {
        std::fprintf(
            stderr, "k720ctl: %s: %s\n", files::PathInMessage(path).c_str(),
            Translate(kMessages, K720_TEXT("Messages", "larger than a measurement file can be")));
        return kExitFailed;
    }
    std::ifstream file(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad() || !file.is_open()) {
        std::fprintf(stderr, "k720ctl: %s: %s\n", files::PathInMessage(path).c_str(),
                     Translate(kMessages, K720_TEXT("Messages", "cannot be read")));
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace

std::optional<report::MeasurementReport> LoadReport(const std::string& path) {
    std::string bytes;
    if (LoadMeasurementFile(path, bytes) != kExitOk) {
        return std::nullopt;
    }
    report::ParsedReport parsed = report::ParseMeasurementFile(bytes, path);
    if (!parsed.Ok()) {
        if (parsed.error.line > 0) {
            std::fprintf(stderr, "k720ctl: %s: %s\n", files::PathInMessage(path).c_str(),
                         FillText(kMessages, K720_TEXT("Messages", "line %1: %2"),
                                  {std::to_string(parsed.error.line), parsed.error.message})
                             .c_str());
        } else {
            std::fprintf(stderr, "k720ctl: %s: %s\n", files::PathInMessage(path).c_str(),
                         parsed.error.message.c_str());
        }
        return std::nullopt;
    }
    return std::move(parsed.report);
}

int WriteReportPageOf(const report::MeasurementReport& report, const report::DailyTrend* trend,
                      const std::string& htmlPath, const ReportPageLabels& labels) {
    const report::PageHeading heading{labels.title, labels.operatorName, LocalTimeNow(),
                                      std::string("k720ctl ") + ProgramVersion()};
    const std::string page = report::ReportPageHtml(report, heading, trend);
    files::ReplacementFile file;
    if (!file.Create(htmlPath) || !file.Append(page.data(), page.size()) || !file.Commit()) {
        std::fprintf(stderr, "k720ctl: %s\n",
                     files::CannotSaveMessage(htmlPath, file.Error()).c_str());
        return kExitFailed;
    }
    return kExitOk;
}

int PrintReport(const report::MeasurementReport& report, const report::DailyTrend* trend,
                bool json) {
    // Written whole: the file's texts may hold a NUL byte.
    const std::string text =
        json ? report::ReportJson(report, trend) : report::ReportText(report, trend);
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        std::fprintf(stderr, "k720ctl: %s\n",
                     Translate(kMessages, K720_TEXT("Messages", "the report could not be written "
                                                                "to standard output")));
        return kExitFailed;
    }
    return kExitOk;
}

int CheckReportDestination(const std::string& htmlPath) {
    return CheckDestination(htmlPath, ReportPageName());
}

int WriteReportPage(const std::string& csvPath, const std::string& htmlPath,
                    const ReportPageLabels& labels) {
    const std::optional<report::MeasurementReport> loaded = LoadReport(csvPath);
    return loaded ? WriteReportPageOf(*loaded, nullptr, htmlPath, labels) : kExitFailed;
}

bool ParseReportPageLabel(std::span<const std::string_view> arguments, std::size_t& i,
                          ReportPageLabels& labels, int& status) {
    const std::string_view option = arguments[i];
    std::string* value = option == "--title"      ? &labels.title
                         : option == "--operator" ? &labels.operatorName
                                                  : nullptr;
    if (value == nullptr) {
        return false;
    }
    if (++i == arguments.size()) {
        status = UsageError(NeedsValueText(option));
        return true;
    }
    *value = std::string(arguments[i]);
    status = kExitOk;
    return true;
}

int RunReport(std::span<const std::string_view> arguments) {
    ReportOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (IsHelp(argument)) {
            std::fputs(Translate(kMessages, kReportUsage), stdout);
            return kExitOk;
        }
        if (argument == "--json") {
            options.json = true;
        } else if (argument == "--html") {
            if (++i == arguments.size()) {
                return UsageError(NeedsFileText("--html"));
            }
            options.html = std::string(arguments[i]);
        } else if (int status = kExitOk;
                   ParseReportPageLabel(arguments, i, options.labels, status)) {
            if (status != kExitOk) {
                return status;
            }
        } else if (options.input.empty() && !argument.starts_with("-")) {
            options.input = std::string(argument);
        } else {
            return UsageError(NoArgumentText("report", argument));
        }
    }
    if (options.input.empty()) {
        return UsageError(
            Translate(kMessages, K720_TEXT("Messages", "report needs a measurement file")));
    }
    if (options.html.empty() &&
        !(options.labels.title.empty() && options.labels.operatorName.empty())) {
        return UsageError(FillText(
            kMessages, K720_TEXT("Messages", "--title and --operator need %1"), {"--html"}));
    }
    if (!options.html.empty()) {
        if (const int status = CheckReportDestination(options.html); status != kExitOk) {
            return status;
        }
        if (const int status = RefuseOverReadings(options.input, options.html, ReportPageName());
            status != kExitOk) {
            return status;
        }
    }
    const std::optional<report::MeasurementReport> loaded = LoadReport(options.input);
    if (!loaded) {
        return kExitFailed;
    }
    if (!options.html.empty()) {
        if (const int status = WriteReportPageOf(*loaded, nullptr, options.html, options.labels);
            status != kExitOk) {
            return status;
        }
    }
    return PrintReport(*loaded, nullptr, options.json);
}
