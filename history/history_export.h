// A selection of the history as one flat table that a spreadsheet opens as it is: a single header
// row, then a line per reading with its instrument, unit, slot and measurement time before the
// measurement file's own columns, every text as the file wrote it.
#pragma once

#include <string>
#include <vector>

#include "history/store.h"

namespace history {

struct ExportedTable {
    std::string text;  // CSV, every line ending with CR LF as the measurement file's
    std::string error; // in the user's language; the text is empty then
};

// "Serial,Unit,Slot,Date,Time,R-Range,Resistance[mohm],...,Temperature[C],Result" and a line per
// reading in the order given; the unit as its letter. A serial number holding a comma, a quote or
// a line end is quoted, so that it stays one cell. Readings in Celsius and in Fahrenheit together
// are refused, as the temperature column has one unit.
ExportedTable ExportTable(const std::vector<StoredReading>& readings);

} // namespace history
