// The cells of measurement files, and their placement into packs: against an exhaustive search
// on small cases, and on random cells the rules, the completeness of the lists and the sameness
// of two runs.
#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "packs/build_sheet.h"
#include "packs/cells.h"
#include "packs/placement.h"

namespace {

using packs::Cell;
using packs::Rules;

std::vector<Cell> RandomCells(std::mt19937& random, int count, int voltageSpread,
                              int resistanceSpread) {
    std::vector<Cell> cells;
    for (int i = 0; i < count; ++i) {
        cells.push_back({"C-" + std::to_string(i + 1),
                         20'000 + static_cast<std::int64_t>(random() % resistanceSpread),
                         3'700 + static_cast<std::int64_t>(random() % voltageSpread)});
    }
    return cells;
}

// The least spread over every way to put S x P of the cells into S groups of P within the rules,
// by assigning cells one by one to a group or to none; -1 when there is none.
double ExhaustiveBest(const std::vector<Cell>& cells, const Rules& rules) {
    const auto s = static_cast<std::size_t>(rules.series);
    const auto p = static_cast<std::size_t>(rules.parallel);
    std::vector<std::vector<int>> groups(s);
    double best = -1;
    std::size_t opened = 0; // groups are opened in order, so that none is tried twice
    std::function<void(std::size_t, std::size_t)> assign = [&](std::size_t cell, std::size_t left) {
        if (left == 0) {
            std::vector<double> resistances;
            for (const std::vector<int>& group : groups) {
                if (!packs::GroupMeetsRules(cells, group, rules)) {
                    return;
                }
                resistances.push_back(packs::GroupResistance(cells, group));
            }
            const double spread = packs::SpreadPercent(resistances);
            best = best < 0 ? spread : std::min(best, spread);
            return;
        }
        if (cells.size() - cell < left) {
            return;
        }
        for (std::size_t g = 0; g < std::min(opened + 1, s); ++g) {
            if (groups[g].size() < p) {
                const bool opens = g == opened;
                opened += opens ? 1 : 0;
                groups[g].push_back(static_cast<int>(cell));
                assign(cell + 1, left - 1);
                groups[g].pop_back();
                opened -= opens ? 1 : 0;
            }
        }
        assign(cell + 1, left); // not in the pack
    };
    assign(0, s * p);
    return best;
}

TEST(Placement, SmallPacksHaveTheBestSpreadAnExhaustiveSearchFinds) {
    std::mt19937 random(720);
    for (const auto& [series, parallel] :
         std::vector<std::pair<int, int>>{{2, 2}, {3, 2}, {2, 3}, {4, 2}, {3, 3}, {4, 3}}) {
        for (int round = 0; round < 20; ++round) {
            const int extra = round % 3 == 0 && series * parallel < 12 ? 1 : 0;
            const std::vector<Cell> cells =
                RandomCells(random, series * parallel + extra, 12, 4'000 + round * 500);
            const Rules rules{series, parallel, 1, 10, 15.0};
            const double best = ExhaustiveBest(cells, rules);
            const packs::Placement placement = packs::Place(cells, rules);
            SCOPED_TRACE(std::to_string(series) + "x" + std::to_string(parallel) + " round " +
                         std::to_string(round));
            if (best < 0) {
                EXPECT_TRUE(placement.packs.empty());
                EXPECT_NE(placement.shortfall, packs::Shortfall::None);
            } else {
                ASSERT_EQ(placement.packs.size(), 1u);
                EXPECT_NEAR(placement.packs[0].spreadPercent, best, 1e-9);
            }
        }
    }
}

// Every group of `rules`'s shape within the rules, every cell once in a pack, the spares or left
// out, and the same placement twice.
void PlacementKeepsRulesAndLists(const std::vector<Cell>& cells, const Rules& rules) {
    const packs::Placement placement = packs::Place(cells, rules);
    ASSERT_FALSE(placement.packs.empty());
    std::multiset<int> seen(placement.spares.begin(), placement.spares.end());
    seen.insert(placement.leftOut.begin(), placement.leftOut.end());
    for (const packs::Pack& pack : placement.packs) {
        ASSERT_EQ(pack.groups.size(), static_cast<std::size_t>(rules.series));
        std::vector<double> resistances;
        for (const packs::Group& group : pack.groups) {
            ASSERT_EQ(group.cells.size(), static_cast<std::size_t>(rules.parallel));
            EXPECT_TRUE(packs::GroupMeetsRules(cells, group.cells, rules));
            resistances.push_back(group.resistance);
            seen.insert(group.cells.begin(), group.cells.end());
        }
        EXPECT_DOUBLE_EQ(pack.spreadPercent, packs::SpreadPercent(resistances));
    }
    EXPECT_EQ(seen.size(), cells.size());
    for (int cell = 0; cell < static_cast<int>(cells.size()); ++cell) {
        EXPECT_EQ(seen.count(cell), 1u) << cell;
    }

    const packs::Placement again = packs::Place(cells, rules);
    ASSERT_EQ(again.packs.size(), placement.packs.size());
    for (std::size_t i = 0; i < again.packs.size(); ++i) {
        for (std::size_t g = 0; g < again.packs[i].groups.size(); ++g) {
            EXPECT_EQ(again.packs[i].groups[g].cells, placement.packs[i].groups[g].cells);
        }
    }
    EXPECT_EQ(again.spares, placement.spares);
}

// Many cells into several packs, and one pack of 24 cells that all meet each other (more
// groupings than the exact search tries).
TEST(Placement, RulesHoldAndEveryCellIsAccountedForOnce) {
    std::mt19937 random(12);
    for (const auto& [cells, rules] :
         {std::pair{RandomCells(random, 600, 120, 6'000), Rules{4, 5, 8, 10, 10.0}},
          std::pair{RandomCells(random, 24, 5, 2'000), Rules{4, 4, 1, 10, 100.0}}}) {
        PlacementKeepsRulesAndLists(cells, rules);
    }
}

// Only readings of an asked result with both numbers are cells; the others are listed with why,
// and the serial names a cell only when the files come from several instruments.
TEST(Cells, TakenFromTheFilesWithTheirNamesAndTheReasonsLeftOut) {
    const auto file = [](const std::string& serial) {
        const std::string bytes =
            "Model,K720 BATTERY TARVELIN\r\nSerial," + serial +
            "\r\nDate,2026-12-2,,V1.03\r\n\r\n\r\nUNIT C\r\n\r\n"
            "No,R-Range,Resistance[mohm],R-Lim1[mohm],R-Lim2[mohm],V-Range,Voltage[volt],"
            "V-Lim[volt],Temperature[C],Result,Date,Time\r\n"
            "1,30m,12.34,15.00,10.00,6V,3.712,3.500,,PASS,2026-12-1,9:07\r\n"
            "2,30m,12.40,15.00,10.00,6V,3.100,3.500,,FAIL,2026-12-1,9:08\r\n"
            "3,30m,--,15.00,10.00,6V,3.712,3.500,,PASS,2026-12-1,9:09\r\n"
            "4,30m,12.00,15.00,10.00,6V,-10.000,3.500,,WARNING,2026-12-1,9:10\r\n"
            "5,30m,11.50,15.00,10.00,6V,3.715,3.500,,WARNING,2026-12-1,9:11\r\n\r\n\r\n";
        return *report::ParseMeasurementFile(bytes, serial + ".csv").report;
    };
    const packs::CellList one =
        packs::CellsOf({file("K-1")}, {report::Result::Pass, report::Result::Warning});
    ASSERT_EQ(one.cells.size(), 2u);
    EXPECT_EQ(one.cells[0].name, "C-001");
    EXPECT_EQ(one.cells[0].resistance, 12'340);
    EXPECT_EQ(one.cells[0].voltage, 3'712);
    EXPECT_EQ(one.cells[1].name, "C-005");
    ASSERT_EQ(one.leftOut.size(), 3u);
    EXPECT_EQ(one.leftOut[0].name, "C-002");
    EXPECT_EQ(one.leftOut[0].why, packs::NotACell::ResultNotAsked);
    EXPECT_EQ(one.leftOut[0].result, report::Result::Fail);
    EXPECT_EQ(one.leftOut[1].why, packs::NotACell::ResistanceOverRange);
    EXPECT_EQ(one.leftOut[2].why, packs::NotACell::VoltageOutOfRange);

    const packs::CellList two = packs::CellsOf({file("K-1"), file("K-2")}, {report::Result::Pass});
    ASSERT_EQ(two.cells.size(), 2u);
    EXPECT_EQ(two.cells[1].name, "K-2 C-001");
    EXPECT_EQ(two.leftOut.size(), 8u);

    // A serial number with a comma stays one cell of the label list.
    const packs::CellList named = packs::CellsOf({file("K,\"1\""), file("K-2")},
                                                 {report::Result::Pass, report::Result::Warning});
    const packs::Rules rules{1, 2, 1, 10, 10.0};
    const packs::Placement placement = packs::Place(named.cells, rules);
    ASSERT_EQ(placement.packs.size(), 1u);
    const std::string csv = packs::BuildSheetCsv({named, rules, placement});
    EXPECT_NE(csv.find(",\"K,\"\"1\"\" C-001\",12.340,3.712\r\n"), std::string::npos) << csv;
}

} // namespace
