// The trend of a report's readings by measurement day: per day, how many readings were taken and
// the median and spread of their resistance and voltage. A reading counts on the day of its
// measurement time; a reading whose time is not usable belongs to no day. Over-range and
// under-range values are left out of the figures, as in the report's spreads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "report/measurement_report.h"

namespace report {

// A figure that may lie halfway between two readings (the median of an even count): held exactly
// as twice its value in thousandths.
struct HalfMilli {
    std::int64_t doubledThousandths = 0;
    // "1.0015", "-0.5", "12": the shortest exact text.
    std::string Text() const;
    double Value() const;
    bool operator==(const HalfMilli&) const = default;
};

// The five figures of a quantity's values on one day. The quartiles are the medians of the
// lower and upper halves of the sorted values (the median itself left out of both when the count
// is odd); a single value is all five.
struct DaySpread {
    int count = 0;
    Milli minimum, maximum;
    HalfMilli lowerQuartile, median, upperQuartile;
};

struct TrendDay {
    std::string day;   // "2026-12-08"
    int dayNumber = 0; // days since 1970-01-01, to space the days on a time axis
    int readings = 0;
    std::optional<DaySpread> resistance; // none: no numeric value that day
    std::optional<DaySpread> voltage;
};

struct DailyTrend {
    std::vector<TrendDay> days; // earliest first
    int unusableTimes = 0;      // readings on no day
};

// The trend over the readings of every unit of `report`.
DailyTrend DailyTrendOf(const MeasurementReport& report);

// The five figures of `values` (thousandths, in any order); none without values.
std::optional<DaySpread> DaySpreadOf(std::vector<std::int64_t> values);

} // namespace report
