// The build sheet of a placement: the text a builder reads (in the user's language), and the
// CSV for a label printer, one line per placed cell. Both say the same placement.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "packs/cells.h"
#include "packs/placement.h"

namespace packs {

struct Sheet {
    const CellList& cells;
    const Rules& rules;
    const Placement& placement;
};

// Per pack each group's cells with their resistance and voltage, the group's resistance and
// spans, the pack's resistance and spread beside the plain deal's; then the spares and the
// readings left out, with why.
std::string BuildSheetText(const Sheet& sheet);

// One JSON object with the same: series, parallel, maxDv (V), maxDrPercent, packs (each pack,
// resistance, spreadPercent, plainDealSpreadPercent, groups: each group, resistance, voltageSpan,
// resistanceSpanPercent, cells: each cell, resistance, voltage), spares (cells) and leftOut
// (each cell and why: "FAIL", "WARNING", "PASS", "none", "resistance over range", "voltage out
// of range", "outside every voltage window"). In English for scripts.
std::string BuildSheetJson(const Sheet& sheet);

// "Pack,Group,Position,Cell,Resistance[mohm],Voltage[volt]" and a line per placed cell, CR LF.
std::string BuildSheetCsv(const Sheet& sheet);

// A value in thousandths as the sheet writes it, in milliohms or volts: "12.340", "3.712".
std::string ThousandthsText(std::int64_t thousandths);

// Why a reading is no cell, and why a cell is in no group, in the user's language.
std::string WhyLeftOutText(const LeftOutReading& reading);
std::string OutsideEveryWindowText();

} // namespace packs
