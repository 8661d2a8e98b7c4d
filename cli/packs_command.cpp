// k720ctl packs: measured cells placed into packs of S groups in series of P cells in parallel,
// with the build sheet on standard output and, with --csv, a line per cell for a label printer.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "base/local_time.h"
#include "base/texts.h"
#include "base/version.h"
#include "cli/commands.h"
#include "files/replacement_file.h"
#include "files/same_file.h"
#include "history/store.h"
#include "history/store_location.h"
#include "measure/reading_record.h"
#include "measure/units.h"
#include "packs/build_sheet.h"
#include "packs/build_sheet_page.h"
#include "packs/cells.h"
#include "packs/placement.h"

namespace {

constexpr const char* kPacksUsage = K720_TEXT(
    "Messages",
    "usage: k720ctl packs FILE.csv... --series S --parallel P [--count N] [--max-dv VOLTS]\n"
    "                     [--max-dr-percent X] [--results PASS,WARNING] [--json] [--csv OUT.csv]\n"
    "                     [--html OUT.html]\n"
    "       k720ctl packs --store [STORE] [--serial S] [--unit U] [--from DATE] [--to DATE]\n"
    "                     [--result R] --series S --parallel P [the options above]\n"
    "\n"
    "Places the measured cells of the files, or of the readings of the history that the\n"
    "selection takes (see k720ctl history --help; each reading is a cell, named also by when it\n"
    "was measured), into N packs (1 without --count) of S groups in series of P cells in\n"
    "parallel each. A cell is a reading whose result is one of --results (PASS without it; NONE\n"
    "for a reading without a judgement) and whose resistance and voltage are numbers. Within a\n"
    "group the voltage span is at most --max-dv (0.010 V without it) and the resistance span at\n"
    "most --max-dr-percent of the group's mean (10 without it); across a pack's groups the group\n"
    "resistances (1 / sum of 1/R) are made as equal as can be found.\n"
    "Prints the build sheet (as JSON with --json); --csv also writes one line per placed cell,\n"
    "--html the sheet as a page to print, with plots of each pack's groups.\n"
    "\n"
    "Exit status: 0 the packs placed, 1 a file or the history could not be read or too few\n"
    "cells meet the rules (nothing is written then), 2 usage error.\n");

struct PacksOptions {
    std::vector<std::string> files;
    std::optional<std::string> store; // the history to take the cells from ("" for the default)
    history::Selection selection;
    bool selects = false; // a selection option was given
    packs::Rules rules;
    std::vector<report::Result> results{report::Result::Pass};
    std::string resultsText = "PASS"; // as given, for the page
    std::string csv;
    std::string html;
    bool json = false;
};

// A whole number from 1 to `most`.
bool ParseCount(std::string_view text, int most, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 1 && value <= most;
}

// A plain decimal of at most three decimals, not negative, in thousandths ("0.01" is 10).
bool ParseThousandths(std::string_view text, std::int64_t& value) {
    const std::optional<report::Milli> parsed = report::ParseMilli(text);
    value = parsed ? parsed->thousandths : 0;
    return parsed && !text.starts_with('-');
}

// "PASS,WARNING": the results the instrument writes, and NONE for no judgement.
bool ParseResults(std::string_view text, std::vector<report::Result>& results) {
    results.clear();
    while (!text.empty() || results.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view name = text.substr(0, comma);
        int code = 1;
        while (code <= 3 && name != measure::ResultText(code)) {
            ++code;
        }
        if (name == "NONE") {
            code = 0;
        } else if (code > 3) {
            return false;
        }
        results.push_back(static_cast<report::Result>(code));
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    return true;
}

std::string InvalidValueText(std::string_view option, std::string_view value) {
    return FillText(kMessages, K720_TEXT("Messages", "%1 takes no \"%2\""), {option, value});
}

int ParsePacksOptions(std::span<const std::string_view> arguments, PacksOptions& options) {
    constexpr int kMostPerPack = 1000;
    constexpr int kMostPacks = 100000;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (ParseStoreOption(arguments, i, options.store)) {
            continue;
        }
        if (int status = kExitOk; ParseSelectionOption(arguments, i, options.selection, status)) {
            if (status != kExitOk) {
                return status;
            }
            options.selects = true;
            continue;
        }
        const bool takesValue = argument == "--series" || argument == "--parallel" ||
                                argument == "--count" || argument == "--max-dv" ||
                                argument == "--max-dr-percent" || argument == "--results" ||
                                argument == "--csv" || argument == "--html";
        if (takesValue && i + 1 == arguments.size()) {
            return UsageError(argument == "--csv" || argument == "--html"
                                  ? NeedsFileText(argument)
                                  : NeedsValueText(argument));
        }
        const std::string_view value = takesValue ? arguments[i + 1] : std::string_view();
        i += takesValue ? 1 : 0;
        bool valid = true;
        if (argument == "--series") {
            valid = ParseCount(value, kMostPerPack, options.rules.series);
        } else if (argument == "--parallel") {
            valid = ParseCount(value, kMostPerPack, options.rules.parallel);
        } else if (argument == "--count") {
            valid = ParseCount(value, kMostPacks, options.rules.count);
        } else if (argument == "--max-dv") {
            valid = ParseThousandths(value, options.rules.maxVoltageSpan);
        } else if (argument == "--max-dr-percent") {
            std::int64_t thousandths = 0;
            valid = ParseThousandths(value, thousandths);
            options.rules.maxResistanceSpanPercent = static_cast<double>(thousandths) / 1000.0;
        } else if (argument == "--results") {
            valid = ParseResults(value, options.results);
            options.resultsText = std::string(value);
        } else if (argument == "--csv") {
            options.csv = std::string(value);
        } else if (argument == "--html") {
            options.html = std::string(value);
        } else if (argument == "--json") {
            options.json = true;
        } else if (!argument.starts_with("-")) {
            options.files.emplace_back(argument);
        } else {
            return UsageError(NoArgumentText("packs", argument));
        }
        if (!valid) {
            return UsageError(InvalidValueText(argument, value));
        }
    }
    if (options.files.empty() == !options.store || options.rules.series == 0 ||
        options.rules.parallel == 0) {
        return UsageError(Translate(
            kMessages, K720_TEXT("Messages", "packs needs measurement files or --store (not both), "
                                             "--series and --parallel")));
    }
    if (options.selects && !options.store) {
        return UsageError(FillText(
            kMessages, K720_TEXT("Messages", "a selection of the history needs %1"), {"--store"}));
    }
    return kExitOk;
}

const char* ShortfallText(packs::Shortfall shortfall) {
    switch (shortfall) {
    case packs::Shortfall::TooFewCells:
        return K720_TEXT("Messages", "fewer cells than one pack needs");
    case packs::Shortfall::VoltageWindows:
        return K720_TEXT("Messages", "too few cells within the voltage span of a group");
    case packs::Shortfall::ResistanceSpans:
        return K720_TEXT("Messages", "too few cells within the resistance span of a group");
    case packs::Shortfall::None:
        break;
    }
    return "";
}

// Each destination one the command can write, and none of them a measurement file read, the
// history or the other destination: the label CSV over the readings would lose a day of
// measurements.
int CheckPacksDestinations(const PacksOptions& options) {
    for (const auto& [destination, option] :
         {std::pair{options.csv, "--csv"}, std::pair{options.html, "--html"}}) {
        if (destination.empty()) {
            continue;
        }
        if (const int status = CheckDestination(destination, option); status != kExitOk) {
            return status;
        }
        for (const std::string& input : options.files) {
            if (const int status = RefuseOverReadings(input, destination, option);
                status != kExitOk) {
                return status;
            }
        }
        if (options.store) {
            if (const int status = RefuseOverHistory(options.store, destination, option);
                status != kExitOk) {
                return status;
            }
        }
    }
    if (!options.csv.empty() && !options.html.empty() &&
        files::NameTheSameFile(options.csv, options.html)) {
        return RefuseDestination(FillText(kMessages,
                                          K720_TEXT("Messages", "%1 and %2 name one file: %3"),
                                          {"--csv", "--html", options.html}));
    }
    return kExitOk;
}

// Every output prepared in full before the first takes its place, so that a full disk or a
// refused folder leaves every destination as it was.
int WriteOutputs(const std::vector<std::pair<std::string, std::string>>& outputs) {
    std::vector<files::ReplacementFile> files(outputs.size());
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const auto& [path, content] = outputs[i];
        if (!files[i].Create(path) || !files[i].Append(content.data(), content.size())) {
            std::fprintf(stderr, "k720ctl: %s\n",
                         files::CannotSaveMessage(path, files[i].Error()).c_str());
            return kExitFailed;
        }
    }
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (!files[i].Commit()) {
            std::fprintf(stderr, "k720ctl: %s\n",
                         files::CannotSaveMessage(outputs[i].first, files[i].Error()).c_str());
            return kExitFailed;
        }
    }
    return kExitOk;
}

// Where the cells came from, as the page names it: the files, or the history (a server's
// password masked).
std::vector<std::string> Sources(const PacksOptions& options) {
    if (!options.store) {
        return options.files;
    }
    return {options.store->empty()
                ? Translate(kMessages, K720_TEXT("Messages", "the history"))
                : history::ParseStoreLocation(files::PathInMessage(*options.store)).shown};
}

// The cells of the measurement files or of the history's selection.
int LoadCells(const PacksOptions& options, packs::CellList& cells) {
    if (options.store) {
        std::vector<history::StoredReading> stored;
        if (const int status = SelectFromHistory(options.store, options.selection, stored);
            status != kExitOk) {
            return status;
        }
        std::vector<packs::RecordedReading> readings;
        readings.reserve(stored.size());
        for (const history::StoredReading& s : stored) {
            readings.push_back({s.serial, measure::UnitCommandLetter(s.unit), &s.reading});
        }
        cells = packs::CellsOf(readings, options.results);
        return kExitOk;
    }
    std::vector<report::MeasurementReport> files;
    for (const std::string& path : options.files) {
        std::optional<report::MeasurementReport> loaded = LoadReport(path);
        if (!loaded) {
            return kExitFailed;
        }
        files.push_back(std::move(*loaded));
    }
    cells = packs::CellsOf(files, options.results);
    return kExitOk;
}

} // namespace

int RunPacks(std::span<const std::string_view> arguments) {
    for (const std::string_view argument : arguments) {
        if (IsHelp(argument)) {
            std::fputs(Translate(kMessages, kPacksUsage), stdout);
            return kExitOk;
        }
    }
    PacksOptions options;
    if (const int status = ParsePacksOptions(arguments, options); status != kExitOk) {
        return status;
    }
    if (const int status = CheckPacksDestinations(options); status != kExitOk) {
        return status;
    }
    packs::CellList cells;
    if (const int status = LoadCells(options, cells); status != kExitOk) {
        return status;
    }
    const packs::Placement placement = packs::Place(cells.cells, options.rules);
    if (placement.shortfall != packs::Shortfall::None) {
        std::fprintf(
            stderr, "k720ctl: %s\n",
            FillText(kMessages,
                     K720_TEXT("Messages", "%1 of %2 packs can be built: %3; nothing "
                                           "was written."),
                     {std::to_string(placement.packs.size()), std::to_string(options.rules.count),
                      Translate(kMessages, ShortfallText(placement.shortfall))})
                .c_str());
        return kExitFailed;
    }
    const packs::Sheet sheet{cells, options.rules, placement};
    std::vector<std::pair<std::string, std::string>> outputs; // each file and its content
    if (!options.csv.empty()) {
        outputs.emplace_back(options.csv, packs::BuildSheetCsv(sheet));
    }
    if (!options.html.empty()) {
        const packs::SheetHeading heading{LocalTimeNow(),
                                          std::string("k720ctl ") + ProgramVersion(),
                                          Sources(options), options.resultsText};
        outputs.emplace_back(options.html, packs::BuildSheetHtml(sheet, heading));
    }
    if (const int status = WriteOutputs(outputs); status != kExitOk) {
        return status;
    }
    const std::string text =
        options.json ? packs::BuildSheetJson(sheet) : packs::BuildSheetText(sheet);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
}
