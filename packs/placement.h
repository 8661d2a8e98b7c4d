// Cells placed into battery packs of S groups in series, P cells in parallel each: within a group
// cells of near voltage and near resistance, across a pack's groups resistances as equal as can
// be found. Pure computation on integers and doubles in a fixed order: the same cells and rules
// give the same placement on every platform.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace packs {

// A measured cell: resistance in thousandths of a milliohm, voltage in thousandths of a volt.
struct Cell {
    std::string name; // "C-017"
    std::int64_t resistance = 0;
    std::int64_t voltage = 0;
};

struct Rules {
    int series = 0;                   // S: groups per pack
    int parallel = 0;                 // P: cells per group
    int count = 1;                    // N: packs wanted
    std::int64_t maxVoltageSpan = 10; // thousandths of a volt within a group
    // The resistance span within a group, in percent of the group's mean resistance.
    double maxResistanceSpanPercent = 10.0;
};

struct Group {
    std::vector<int> cells; // indices into the cells placed, by resistance
    double resistance = 0;  // milliohms: 1 / sum of 1/R of its cells
};

struct Pack {
    std::vector<Group> groups; // by group resistance
    double resistance = 0;     // milliohms: the groups' resistances added
    // (max - min) / mean of the group resistances, in percent: the placement's, and that of the
    // plain deal (every cell sorted by voltage, this pack's share of them taken P by P as they
    // come, whatever the rules), to show what the placement gained.
    double spreadPercent = 0;
    double plainDealSpreadPercent = 0;
};

// Why fewer packs than asked could be built.
enum class Shortfall {
    None,
    TooFewCells,     // fewer cells than one pack needs, whatever the rules
    VoltageWindows,  // too few groups of P cells within the voltage span
    ResistanceSpans, // the voltage windows held enough cells, too few of near resistance
};

struct Placement {
    std::vector<Pack> packs;
    std::vector<int> spares;  // in a group that no pack took, or in no group though they could be
    std::vector<int> leftOut; // in no voltage window of P cells: no group could take them
    Shortfall shortfall = Shortfall::None;
};

// Places `cells` by `rules` (series and parallel at least 1, count at least 1).
Placement Place(const std::vector<Cell>& cells, const Rules& rules);

// The figures of a group and of a pack, as Place works them out.
double GroupResistance(const std::vector<Cell>& cells, const std::vector<int>& group);
double SpreadPercent(const std::vector<double>& resistances);
bool GroupMeetsRules(const std::vector<Cell>& cells, const std::vector<int>& group,
                     const Rules& rules);

// What the rules bound in a group: its voltage span and its resistance span (thousandths), and
// the sum of its resistances for the mean.
struct GroupSpans {
    std::int64_t voltage = 0;
    std::int64_t resistance = 0;
    std::int64_t resistanceSum = 0;
    std::size_t cells = 0;
    // The resistance span in percent of the mean resistance.
    double ResistancePercent() const;
};
GroupSpans SpansOf(const std::vector<Cell>& cells, const std::vector<int>& group);

} // namespace packs
