#include "report/daily_trend.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace report {

namespace {

// The places in sorted order of the one or two values whose mean is the median of [begin, end),
// which is not empty.
std::pair<std::size_t, std::size_t> MiddleOf(std::size_t begin, std::size_t end) {
    const std::size_t count = end - begin;
    const std::size_t middle = begin + count / 2;
    return {count % 2 == 1 ? middle : middle - 1, middle};
}

// The median of [begin, end) of `values`, whose middle places hold what sorting would put there.
HalfMilli MedianOf(const std::vector<std::int64_t>& values, std::size_t begin, std::size_t end) {
    const auto [low, high] = MiddleOf(begin, end);
    return {values[low] + values[high]};
}

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
int DaysSinceEpoch(int year, int month, int day) {
    // Years counted from March, so that the leap day ends the year.
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct DayValues {
    int readings = 0;
    std::vector<std::int64_t> resistance, voltage;
};

} // namespace

std::string HalfMilli::Text() const {
    // In ten-thousandths: twice the thousandths times five.
    const std::int64_t magnitude =
        (doubledThousandths < 0 ? -doubledThousandths : doubledThousandths) * 5;
    std::string text = std::to_string(magnitude / 10'000);
    if (const std::int64_t fraction = magnitude % 10'000; fraction != 0) {
        char digits[5];
        std::snprintf(digits, sizeof digits, "%04lld", static_cast<long long>(fraction));
        std::string decimals = digits;
        while (decimals.back() == '0') {
            decimals.pop_back();
        }
        text += '.' + decimals;
    }
    return doubledThousandths < 0 ? '-' + text : text;
}

double HalfMilli::Value() const {
    return static_cast<double>(doubledThousandths) / 2000.0;
}

std::optional<DaySpread> DaySpreadOf(std::vector<std::int64_t> values) {
    if (values.empty()) {
        return std::nullopt;
    }
    const std::size_t n = values.size();
    DaySpread spread;
    spread.count = static_cast<int>(n);
    const auto [minimum, maximum] = std::minmax_element(values.begin(), values.end());
    spread.minimum = Milli{*minimum};
    spread.maximum = Milli{*maximum};
    // Only the middle places of the whole and of both halves need their sorted values: each is
    // selected in turn from the values above the one before, in linear time, as a day of a
    // large history holds thousands.
    std::vector<std::pair<std::size_t, std::size_t>> ranges{{0, n}};
    if (n > 1) {
        ranges.insert(ranges.end(), {{0, n / 2}, {(n + 1) / 2, n}});
    }
    std::vector<std::size_t> places;
    for (const auto& [begin, end] : ranges) {
        const auto [low, high] = MiddleOf(begin, end);
        places.insert(places.end(), {low, high});
    }
    std::sort(places.begin(), places.end());
    std::size_t from = 0;
    for (const std::size_t place : places) {
        if (place >= from) {
            std::nth_element(values.begin() + static_cast<std::ptrdiff_t>(from),
                             values.begin() + static_cast<std::ptrdiff_t>(place), values.end());
            from = place + 1;
        }
    }
    spread.median = MedianOf(values, 0, n);
    if (n == 1) {
        spread.lowerQuartile = spread.upperQuartile = spread.median;
    } else {
        spread.lowerQuartile = MedianOf(values, 0, n / 2);
        spread.upperQuartile = MedianOf(values, (n + 1) / 2, n);
    }
    return spread;
}

DailyTrend DailyTrendOf(const MeasurementReport& report) {
    DailyTrend trend;
    // A stamp counts minutes from the start of a day: its day is stamp / kMinutesPerDay.
    constexpr std::int64_t kMinutesPerDay = 24 * 60;
    std::map<std::int64_t, DayValues> days;
    for (const Summary& unit : report.units) {
        for (const Point& point : unit.points) {
            if (!point.Has(Point::kUsable)) {
                ++trend.unusableTimes;
                continue;
            }
            DayValues& day = days[point.stamp / kMinutesPerDay];
            ++day.readings;
            if (point.Has(Point::kResistance)) {
                day.resistance.push_back(point.resistance);
            }
            if (point.Has(Point::kVoltage)) {
                day.voltage.push_back(point.voltage);
            }
        }
    }
    for (auto& [dayStamp, values] : days) {
        const MeasurementTime date = MeasurementTime::OfStamp(dayStamp * kMinutesPerDay);
        char day[40];
        std::snprintf(day, sizeof day, "%04d-%02d-%02d", date.year, date.month, date.day);
        trend.days.push_back({day, DaysSinceEpoch(date.year, date.month, date.day), values.readings,
                              DaySpreadOf(std::move(values.resistance)),
                              DaySpreadOf(std::move(values.voltage))});
    }
    return trend;
}

} // namespace report
