// How long the report of a full instrument takes: a measurement file of all twelve units with
// 400 readings each (4,800 readings, every result, over-range texts among them), written as the
// reception writes it, is read and summarised as k720ctl report does it, then turned into its
// text, its JSON and its page. Prints the time of each step per run, and the peak memory.
#include <chrono>
#include <cstdio>
#include <string>

#include "bench/bench_support.h"
#include "measure/measurement_csv.h"
#include "report/measurement_report.h"
#include "report/report_page.h"
#include "report/report_text.h"
#include "sim/reading_encoder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kHelp = R"(usage: report_bench

Writes a measurement file of a full instrument (12 units of 400 readings) in memory and times,
over five runs, what k720ctl report does with it: the parse and figures, the text, the JSON and
the report page. Prints milliseconds per step and the peak memory.
)";

constexpr int kRuns = 5;

std::string FullInstrumentFile() {
    measure::CsvFileInfo info{"123456789", {2014, 3, 10}, measure::TemperatureUnit::Celsius};
    std::string file = measure::CsvHeaderText(info);
    for (int unit = 0; unit < measure::kUnitCount; ++unit) {
        file += measure::CsvUnitHeadingText(unit, info.temperatureUnit);
        for (int slot = 1; slot <= measure::kSlotsPerUnit; ++slot) {
            ReadingCodes c;
            c.year = 2014;
            c.month = 3;
            c.day = 1 + unit;
            c.hour = slot / 60 % 24;
            c.minute = slot % 60;
            c.resistanceRange = slot % 3;
            c.resistance = slot % 97 == 0 ? 4092 : 200 + (slot * 37 + unit * 11) % 1800;
            c.voltage = 6000 + 3000 + (slot * 53) % 900;
            c.temperature = 100 + 200 + slot % 80;
            c.result = slot % 4;
            c.limit1 = 1000;
            c.limit2 = 1500;
            c.voltageLimit = 3200;
            file += std::to_string(slot) +
                    measure::ReadingColumns(measure::DecodeReading(EncodeReading(c)),
                                            info.temperatureUnit) +
                    measure::kCsvLineEnd;
        }
        file += std::string(measure::kCsvLineEnd) + measure::kCsvLineEnd;
    }
    return file;
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (bench::AskedForHelp(argc, argv, kHelp)) {
        return 0;
    }
    const std::string file = FullInstrumentFile();
    const report::PageHeading heading{"Batch 1", "A. Tester", {2014, 3, 10, 8, 1}, "report_bench"};
    std::printf("A full instrument: %zu bytes.\n", file.size());
    std::printf("%-5s %10s %10s %10s %10s %10s\n", "run", "parse [ms]", "text [ms]", "json [ms]",
                "page [ms]", "total [ms]");
    std::size_t output = 0;
    for (int run = 1; run <= kRuns; ++run) {
        const Clock::time_point start = Clock::now();
        const report::ParsedReport parsed = report::ParseMeasurementFile(file, "full.csv");
        const double parse = MillisecondsSince(start);
        if (!parsed.Ok() || parsed.report->total.readings != 4800) {
            std::fprintf(stderr, "report_bench: the file was not read whole: line %d: %s\n",
                         parsed.error.line, parsed.error.message.c_str());
            return 1;
        }
        Clock::time_point step = Clock::now();
        output += report::ReportText(*parsed.report).size();
        const double text = MillisecondsSince(step);
        step = Clock::now();
        output += report::ReportJson(*parsed.report).size();
        const double json = MillisecondsSince(step);
        step = Clock::now();
        output += report::ReportPageHtml(*parsed.report, heading).size();
        const double page = MillisecondsSince(step);
        std::printf("%-5d %10.2f %10.2f %10.2f %10.2f %10.2f\n", run, parse, text, json, page,
                    MillisecondsSince(start));
    }
    std::printf("Output %zu bytes over the runs; peak memory %.1f MiB.\n", output,
                bench::PeakMemoryMiB());
    return 0;
}
