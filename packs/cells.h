// The cells a placement may use, taken from measurement files: the readings whose result is
// among those asked for and whose resistance and voltage are numbers, each named by its unit and
// slot ("C-017"), after its instrument's serial number when the files come from several.
#pragma once

#include <string>
#include <vector>

#include "packs/placement.h"
#include "report/measurement_report.h"

namespace packs {

// Why a reading is no cell to place.
enum class NotACell {
    ResultNotAsked,      // its result is not among those asked for (FAIL, no judgement...)
    ResistanceOverRange, // "--" or "9999"
    VoltageOutOfRange,   // over range or the under-range code
};

struct LeftOutReading {
    std::string name;
    NotACell why;
    report::Result result = report::Result::None;
};

struct CellList {
    std::vector<Cell> cells; // in file order, then unit and slot order
    std::vector<LeftOutReading> leftOut;
};

// The cells of `files` whose result is one of `results`.
CellList CellsOf(const std::vector<report::MeasurementReport>& files,
                 const std::vector<report::Result>& results);

// A reading kept in the history: its instrument, its unit's letter and the reading.
struct RecordedReading {
    std::string serial;
    char unit = 'A';
    const report::Reading* reading = nullptr;
};

// The cells of readings from the history whose result is one of `results`. A slot holds a new
// cell each time it is measured anew, so each reading is a cell, named also by when it was
// measured: "C-017 2026-12-1 9:17" (the instrument's texts), after the serial number when the
// readings come from several instruments.
CellList CellsOf(const std::vector<RecordedReading>& readings,
                 const std::vector<report::Result>& results);

} // namespace packs
