// A reading as a row of the readings table, in one column order for every engine: the measurement
// file's texts as written (what makes a reading unique, never NULL), the exact numbers beside them
// (NULL where the file has none), and the way back from the texts to the reading.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "history/store.h"

namespace history {

// Bytes kept as they are (a BLOB, a bytea).
struct Bytes {
    std::string bytes;
};

// NULL, an integer, a text, or bytes.
using Value = std::variant<std::monostate, std::int64_t, std::string, Bytes>;

// The readings table's columns after readout_id, in the order of ReadingValues.
extern const char* const kReadingColumns;
inline constexpr int kReadingColumnCount = 23;
// The columns that make a reading unique, as the schema's UNIQUE key lists them.
extern const char* const kReadingKey;
// The twelve texts of the file's slot line, selected in this order for ReadingOfTexts.
extern const char* const kReadingLineColumns;
inline constexpr int kReadingLineColumnCount = 12;

// A reading's numbers as the point column keeps them, for a report that counts a million readings
// without reading their texts: derived from the texts when the reading is recorded, in a fixed
// little-endian layout of kPointBytes bytes (stamp, resistance, voltage, the three limits,
// temperature, slot, result, the point's flags, then 1 for Fahrenheit).
inline constexpr std::size_t kPointBytes = 37;
Bytes PointBytesOf(const report::Point& point, bool fahrenheit);
// The point the bytes hold (its source left as it is), or false when they are no point's.
bool PointOfBytes(std::string_view bytes, report::Point& point, bool& fahrenheit);
// The point column of a stored row that has none yet (an older schema's), from its slot line's
// twelve texts (see ReadingOfTexts); nothing, with the reason, for texts no file has.
std::optional<Bytes> PointBytesOfTexts(const std::vector<std::string>& texts, bool fahrenheit,
                                       std::string* error);

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
// placeholder of parameter n (from 1) is written by `placeholder` ("?", "$n", or the value itself
// as a literal where a statement takes no parameters).
struct SelectionClause {
    std::string where;
    std::vector<Value> parameters;
};
using Placeholder = std::function<std::string(int n, const Value& value)>;
SelectionClause ClauseOf(const Selection& selection, const Placeholder& placeholder);
// The WHERE clause that takes the rows `ids`.
SelectionClause RowsClause(const std::vector<std::int64_t>& ids, const Placeholder& placeholder);

} // namespace history
