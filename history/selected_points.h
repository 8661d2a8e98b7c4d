// The rows of a points selection turned into a report's points, the same for every engine: the
// engine reads each row's columns (kPointColumns, in that order) and hands them over; the points
// come out grouped by unit in the order of Select (serial, slot, row).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "history/store.h"
#include "measure/units.h"

namespace history {

// The columns of a points selection: the row, its instrument and unit, and its point column.
extern const char* const kPointColumns;
inline constexpr int kPointColumnCount = 4;

// One row of kPointColumns.
struct PointRow {
    std::int64_t id = 0;
    std::string_view serial;
    std::int64_t unit = 0;
    std::string_view point; // as PointBytesOf writes it
};

class SelectedPointsBuilder {
public:
    // Takes one row; "" or why the store holds what no measurement file has.
    std::string Add(const PointRow& row);
    SelectedPoints Finish();

private:
    struct Collected {
        std::uint32_t serial = 0; // index in serials_
        report::Point point;
    };
    // A unit's rows as they came, in blocks, so that a million rows are never moved as they
    // grow.
    struct UnitRows {
        std::vector<std::vector<Collected>> blocks;
        std::size_t count = 0;
    };
    std::uint32_t SerialIndex(std::string_view serial);
    // The unit's points ordered by serial, slot and row.
    std::vector<report::Point> Ordered(UnitRows& rows,
                                       const std::vector<std::uint32_t>& rank) const;

    std::vector<UnitRows> units_ = std::vector<UnitRows>(measure::kUnitCount);
    std::vector<std::string> serials_; // as met
    std::map<std::string, std::uint32_t, std::less<>> serialIndex_;
    bool celsius_ = false, fahrenheit_ = false;
};

} // namespace history
