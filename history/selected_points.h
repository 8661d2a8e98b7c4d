// The rows of a points selection turned into a report's points, the same for every engine: the
// engine reads each row's columns (kPointColumns, in that order) and hands them over; the points
// come out grouped by unit in the order of Select (serial, slot, row).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/store.h"
#include "measure/units.h"

namespace history {

// The columns of a points selection: the numbers of a reading, what its texts say of ranges, and
// its time and temperature unit as texts.
extern const char* const kPointColumns;

// One row of kPointColumns.
struct PointRow {
    std::int64_t id = 0;
    std::string_view serial;
    std::int64_t unit = 0;
    std::int64_t slot = 0;
    std::string_view result;
    std::optional<std::int64_t> resistance, voltage;
    bool voltageUnderRange = false;
    std::optional<std::int64_t> temperature;
    bool temperatureOutOfRange = false;
    std::optional<std::int64_t> limit1, limit2, voltageLimit;
    std::string_view date, time, temperatureUnit;
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
    // grow; `ascending` while each row's id is above the one before.
    struct UnitRows {
        std::vector<std::vector<Collected>> blocks;
        std::size_t count = 0;
        bool ascending = true;
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
