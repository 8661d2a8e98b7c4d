// A reading as a row of the readings table, in one column order for every engine: the measurement
// file's texts as written (what makes a reading unique, never NULL), the exact numbers beside them
// (NULL where the file has none), and the way back from the texts to the reading.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "history/store.h"

namespace history {

// NULL, an integer, or a text.
using Value = std::variant<std::monostate, std::int64_t, std::string>;

// The readings table's columns after readout_id, in the order of ReadingValues.
extern const char* const kReadingColumns;
inline constexpr int kReadingColumnCount = 22;
// The columns that make a reading unique, as the schema's UNIQUE key lists them.
extern const char* const kReadingKey;
// The twelve texts of the file's slot line, selected in this order for ReadingOfTexts.
extern const char* const kReadingLineColumns;
inline constexpr int kReadingLineColumnCount = 12;

// The values of a reading of unit `unit` (0 for A) of the instrument `serial`.
std::vector<Value> ReadingValues(const std::string& serial, int unit, bool fahrenheit,
                                 const report::Reading& reading);

// The reading whose slot line has these twelve texts, read as the file's line is read; nothing
// (with the reason) when the store holds texts no measurement file has.
std::optional<report::Reading> ReadingOfTexts(const std::vector<std::string>& texts,
                                              std::string* error);

// The units a file holds: bit 0 for unit A ... bit 11 for unit P, as a read-out keeps them.
int UnitMaskOf(const report::MeasurementReport& file);

// The day of a usable measurement time, "2026-01-05"; empty for a time that is not usable.
std::string DayOf(const report::MeasurementTime& when);

// "PASS", "FAIL", "WARNING" or "".
const char* ResultName(report::Result result);

// The WHERE clause (empty, or " WHERE ...") of a selection and its parameters in order; the
// placeholder of parameter n (from 1) is written by `placeholder` ("?" or "$n").
struct SelectionClause {
    std::string where;
    std::vector<Value> parameters;
};
SelectionClause ClauseOf(const Selection& selection, std::string (*placeholder)(int n));
// The WHERE clause that takes the rows `ids`.
SelectionClause RowsClause(const std::vector<std::int64_t>& ids, std::string (*placeholder)(int n));

} // namespace history
