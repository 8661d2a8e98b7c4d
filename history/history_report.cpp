#include "history/history_report.h"

#include <array>
#include <set>

#include "base/texts.h"
#include "measure/units.h"

namespace history {

namespace {

// "2026-12-01 to 2026-12-08", one day alone, or "" without days.
std::string DaysText(const report::DailyTrend& trend) {
    if (trend.days.empty()) {
        return "";
    }
    const std::string& first = trend.days.front().day;
    const std::string& last = trend.days.back().day;
    return first == last ? first
                         : FillText(kMessages, K720_TEXT("Messages", "%1 to %2"), {first, last});
}

} // namespace

std::string CheckReadings(const std::vector<StoredReading>& readings, bool& fahrenheit) {
    fahrenheit = !readings.empty() && readings.front().fahrenheit;
    for (const StoredReading& stored : readings) {
        if (stored.unit < 0 || stored.unit >= measure::kUnitCount) {
            return FillText(kMessages,
                            K720_TEXT("Messages",
                                      "The history holds a reading of unit %1, which no "
                                      "instrument has."),
                            {std::to_string(stored.unit)});
        }
        if (stored.fahrenheit != fahrenheit) {
            return Translate(
                kMessages,
                K720_TEXT("Messages",
                          "The selected readings hold temperatures in Celsius and in Fahrenheit; "
                          "select one instrument with --serial."));
        }
    }
    return "";
}

HistoryReport ReportOfHistory(std::vector<StoredReading> readings, const std::string& label) {
    HistoryReport result;
    bool fahrenheit = false;
    result.error = CheckReadings(readings, fahrenheit);
    if (!result.error.empty()) {
        return result;
    }
    std::array<report::UnitReadings, measure::kUnitCount> units;
    std::set<std::string> serials;
    for (StoredReading& stored : readings) {
        units[static_cast<std::size_t>(stored.unit)].readings.push_back(std::move(stored.reading));
        serials.insert(stored.serial);
    }
    std::vector<report::UnitReadings> held;
    for (int index = 0; index < measure::kUnitCount; ++index) {
        report::UnitReadings& unit = units[static_cast<std::size_t>(index)];
        if (!unit.readings.empty()) {
            unit.unit = measure::UnitCommandLetter(index);
            held.push_back(std::move(unit));
        }
    }
    report::MeasurementReport counted;
    counted.file = label;
    counted.fahrenheit = fahrenheit;
    counted.serial = serials.size() <= 1
                         ? (serials.empty() ? "" : *serials.begin())
                         : FillText(kMessages, K720_TEXT("Messages", "%1 instruments"),
                                    {std::to_string(serials.size())});
    report::CountReadings(counted, std::move(held));
    result.trend = report::DailyTrendOf(counted);
    counted.date = DaysText(result.trend);
    result.report = std::move(counted);
    return result;
}

} // namespace history
