// How long the history takes: a full instrument (4,800 readings) recorded into a new store, the
// same file recorded again (every reading already known), and the readings of a history of
// 1,000,000 readings selected back, in a SQLite file and, where this machine can start one, in a
// PostgreSQL server of the benchmark's own. Prints the time of each step and the peak memory.
#include <chrono>
#include <cstdio>
#include <string>

#include "bench/bench_support.h"
#include "bench/full_instrument.h"
#include "history/history_report.h"
#include "history/store.h"
#include "report/report_page.h"
#include "report/report_text.h"
#include "tests/support/postgres_server.h"
#include "tests/support/scratch_folder.h"

namespace {

using bench::Clock;
using bench::MillisecondsSince;

constexpr const char* kHelp = R"(usage: history_bench

Times the history of readings in a new SQLite file and, when the PostgreSQL server programs
can run here, in a new server on a Unix socket: recording a full instrument (12 units of 400
readings) once, recording it again, building a history of 1,000,000 readings, and selecting all
of them back with their report (figures, trend by day and text, as history report prints it)
and its page. Prints milliseconds per step and the peak memory.
)";

constexpr int kHistoryReadings = 1'000'000;

report::MeasurementReport FullInstrument(int variant) {
    report::ParsedReport parsed = report::ParseMeasurementFile(
        bench::FullInstrumentFile(variant), "full" + std::to_string(variant) + ".csv");
    return std::move(*parsed.report);
}

bool Recorded(const history::Recorded& recorded, int expectedNew) {
    if (!recorded.error.empty() || recorded.newReadings != expectedNew) {
        std::fprintf(stderr, "history_bench: %d new readings, not %d: %s\n", recorded.newReadings,
                     expectedNew, recorded.error.c_str());
        return false;
    }
    return true;
}

// The steps against one store; false when one failed.
bool Time(const char* engine, const history::StoreLocation& location) {
    history::OpenedStore opened = history::OpenStore(location);
    if (!opened.store) {
        std::fprintf(stderr, "history_bench: %s\n", opened.error.c_str());
        return false;
    }
    history::Store& store = *opened.store;
    const history::ReadoutOrigin origin{"2026-12-08T09:00:00Z", "full.csv", "bench", "bench"};
    report::MeasurementReport file = FullInstrument(0);
    Clock::time_point start = Clock::now();
    if (!Recorded(store.Record(file, origin), 4800)) {
        return false;
    }
    const double first = MillisecondsSince(start);
    start = Clock::now();
    if (!Recorded(store.Record(file, origin), 0)) {
        return false;
    }
    const double again = MillisecondsSince(start);
    start = Clock::now();
    int readings = 4800;
    for (int variant = 1; readings < kHistoryReadings; ++variant) {
        if (!Recorded(store.Record(FullInstrument(variant), origin), 4800)) {
            return false;
        }
        readings += 4800;
    }
    const double build = MillisecondsSince(start);
    // What history report does: select and count, trend, text; then the page.
    start = Clock::now();
    const history::HistoryReport made = history::ReportOfHistory(store, {});
    if (!made.report || made.report->total.readings != readings) {
        std::fprintf(stderr, "history_bench: %d readings reported: %s\n",
                     made.report ? made.report->total.readings : 0, made.error.c_str());
        return false;
    }
    const std::size_t text = report::ReportText(*made.report, &made.trend).size();
    const double reported = MillisecondsSince(start);
    start = Clock::now();
    const report::PageHeading heading{"", "", {2026, 12, 8, 9, 0}, "history_bench"};
    const std::size_t page = report::ReportPageHtml(*made.report, heading, &made.trend).size();
    const double paged = MillisecondsSince(start);
    std::printf("%-10s %11.1f %11.1f %12.0f %11.1f %11.1f   (text %zu, page %zu bytes)\n", engine,
                first, again, build, reported, paged, text, page);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (bench::AskedForHelp(argc, argv, kHelp)) {
        return 0;
    }
    std::printf("%-10s %11s %11s %12s %11s %11s\n", "store", "record [ms]", "again [ms]",
                "1M made [ms]", "report [ms]", "page [ms]");
    test_support::ScratchFolder folder;
    if (!Time("SQLite", history::ParseStoreLocation(folder.File("history.sqlite")))) {
        return 1;
    }
    test_support::PostgresServer server;
    std::string reason;
    if (!server.Start(&reason)) {
        std::printf("PostgreSQL: not timed: %s\n", reason.c_str());
    } else if (!Time("PostgreSQL", history::ParseStoreLocation(server.Url()))) {
        return 1;
    }
    std::printf("Peak memory %.1f MiB.\n", bench::PeakMemoryMiB());
    return 0;
}
