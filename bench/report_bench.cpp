// How long the report of a full instrument takes: a measurement file of all twelve units with
// 400 readings each (4,800 readings, every result, over-range texts among them), written as the
// reception writes it, is read and summarised as k720ctl report does it, then turned into its
// text, its JSON and its page. Prints the time of each step per run, and the peak memory.
#include <chrono>
#include <cstdio>
#include <string>

#include "bench/bench_support.h"
#include "bench/full_instrument.h"
#include "report/measurement_report.h"
#include "report/report_page.h"
#include "report/report_text.h"

namespace {

using bench::Clock;
using bench::MillisecondsSince;

constexpr const char* kHelp = R"(usage: report_bench

Writes a measurement file of a full instrument (12 units of 400 readings) in memory and times,
over five runs, what k720ctl report does with it: the parse and figures, the text, the JSON and
the report page. Prints milliseconds per step and the peak memory.
)";

constexpr int kRuns = 5;

} // namespace

int main(int argc, char** argv) {
    if (bench::AskedForHelp(argc, argv, kHelp)) {
        return 0;
    }
    const std::string file = bench::FullInstrumentFile(0);
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
