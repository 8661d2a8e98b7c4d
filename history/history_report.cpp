#include "history/history_report.h"

#include <unordered_map>

#include "base/texts.h"
#include "history/store_texts.h"
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
            return UnknownUnitText(stored.unit);
        }
        if (stored.fahrenheit != fahrenheit) {
            return MixedTemperaturesText();
        }
    }
    return "";
}

HistoryReport ReportOfHistory(Store& store, const Selection& selection, const std::string& label) {
    HistoryReport result;
    SelectedPoints selected = store.SelectPoints(selection);
    if (!selected.error.empty() || (selected.celsius && selected.fahrenheit)) {
        result.error = selected.error.empty() ? MixedTemperaturesText() : selected.error;
        return result;
    }
    report::MeasurementReport counted;
    counted.file = label;
    counted.fahrenheit = selected.fahrenheit;
    counted.serial = selected.serials.size() <= 1
                         ? (selected.serials.empty() ? "" : selected.serials.front())
                         : FillText(kMessages, K720_TEXT("Messages", "%1 instruments"),
                                    {std::to_string(selected.serials.size())});
    report::CountReadings(counted, std::move(selected.units));
    // The texts of the figures from their readings' rows: a few dozen rows, however many points.
    SelectedReadings shown = store.SelectRows(report::SourcesOfFigureTexts(counted));
    if (!shown.error.empty()) {
        result.error = shown.error;
        return result;
    }
    std::unordered_map<std::int64_t, const report::Reading*> byRow;
    for (const StoredReading& stored : shown.readings) {
        byRow.emplace(stored.id, &stored.reading);
    }
    report::FillFigureTexts(counted, [&byRow](std::int64_t row) {
        const auto found = byRow.find(row);
        return found != byRow.end() ? found->second : nullptr;
    });
    result.trend = report::DailyTrendOf(counted);
    counted.date = DaysText(result.trend);
    result.report = std::move(counted);
    return result;
}

} // namespace history
