// How long the placement of a batch of cells into packs takes: 4,800 cells of one type, as a
// full instrument holds them (resistance about 22 to 26 mohm, voltage 3.60 to 3.70 V, drawn from
// a fixed seed), placed into as many packs of 14 groups in series of 10 cells in parallel as the
// rules allow (10 mV, 10 %), with the build sheet's text. Prints the time per run, the spread of
// every pack beside the plain deal's, and the peak memory. Then the slowest single pack: the exact
// search of one pack from 24 cells that all meet each other, which runs to its bound.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "packs/build_sheet.h"
#include "packs/cells.h"
#include "packs/placement.h"

namespace {

using bench::Clock;
using bench::MillisecondsSince;

constexpr const char* kHelp = R"(usage: packs_bench

Places a batch of 4,800 cells (12 units of 400) into as many 14S x 10P packs as can be built,
within 10 mV and 10 % per group, over five runs, with the build sheet's text. Prints
milliseconds per run, the spread of every pack beside the plain deal's, and the peak memory.
Then one 4S x 4P pack from 24 cells within 5 mV of each other (every grouping keeps the rules,
so the exact search runs to its bound), five runs.
)";

constexpr int kRuns = 5;

} // namespace

int main(int argc, char** argv) {
    if (bench::AskedForHelp(argc, argv, kHelp)) {
        return 0;
    }
    // Sums of four uniform draws: near a normal spread, the same on every platform.
    std::mt19937 random(4800);
    const auto draw = [&random](std::int64_t low, std::int64_t step) {
        std::int64_t value = low;
        for (int i = 0; i < 4; ++i) {
            value += static_cast<std::int64_t>(random() % static_cast<std::uint32_t>(step));
        }
        return value;
    };
    packs::CellList cells;
    for (int unit = 0; unit < 12; ++unit) {
        for (int slot = 1; slot <= 400; ++slot) {
            char name[16];
            std::snprintf(name, sizeof name, "%c-%03d", "AbCdEFGHJLnP"[unit], slot);
            cells.cells.push_back({name, draw(22'000, 1'000), draw(3'600, 25)});
        }
    }
    const packs::Rules rules{14, 10, 1000, 10, 10.0};
    std::printf("%zu cells (%zu readings left out).\n", cells.cells.size(), cells.leftOut.size());
    packs::Placement placement;
    std::size_t sheet = 0;
    for (int run = 1; run <= kRuns; ++run) {
        const Clock::time_point start = Clock::now();
        placement = packs::Place(cells.cells, rules);
        sheet = packs::BuildSheetText({cells, rules, placement}).size();
        std::printf("run %d: %.1f ms\n", run, MillisecondsSince(start));
    }
    std::printf("%zu packs of 14S x 10P, %zu spares, %zu outside every voltage window; sheet %zu "
                "bytes.\nSpread of each pack [%%] (the plain deal's):\n",
                placement.packs.size(), placement.spares.size(), placement.leftOut.size(), sheet);
    for (std::size_t i = 0; i < placement.packs.size(); ++i) {
        std::printf("%s%.2f (%.2f)", i % 6 == 0 ? (i > 0 ? "\n  " : "  ") : "  ",
                    placement.packs[i].spreadPercent, placement.packs[i].plainDealSpreadPercent);
    }
    std::printf("\nPeak memory %.1f MiB.\n", bench::PeakMemoryMiB());

    std::vector<packs::Cell> few(cells.cells.begin(), cells.cells.begin() + 24);
    for (packs::Cell& cell : few) {
        cell.voltage = 3'650 + cell.voltage % 5;
    }
    const packs::Rules onePack{4, 4, 1, 10, 100.0};
    for (int run = 1; run <= kRuns; ++run) {
        const Clock::time_point start = Clock::now();
        const packs::Placement one = packs::Place(few, onePack);
        std::printf("one 4S x 4P pack from 24 cells, run %d: %.1f ms (spread %.3f %%)\n", run,
                    MillisecondsSince(start),
                    one.packs.empty() ? -1.0 : one.packs[0].spreadPercent);
    }
    return 0;
}
