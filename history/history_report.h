// The report over a selection of the history: the figures a measurement file's report gives,
// counted the same way over the selected readings grouped by unit, and their trend by day.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "history/store.h"
#include "report/daily_trend.h"
#include "report/measurement_report.h"

namespace history {

struct HistoryReport {
    // The units A to P that hold selected readings, in unit order, each with its points as
    // selected; none when the selection cannot be reported (see error).
    std::optional<report::MeasurementReport> report;
    report::DailyTrend trend;
    std::string error; // in the user's language
};

// The report over the readings of `store` that `selection` takes, named `label` in place of a
// file name. Its serial is the instrument's when one instrument took them all, else a text that
// says how many did; its date spans the first to the last measurement day. The history keeps no
// model, software version or empty slot: those stay empty and zero. A selection with readings in
// Celsius and in Fahrenheit is refused.
HistoryReport ReportOfHistory(Store& store, const Selection& selection,
                              const std::string& label = "history");

// What keeps `readings` from being reported or exported together, in the user's language: a unit
// no instrument has, or temperatures in Celsius and in Fahrenheit. "" when nothing does, with
// `fahrenheit` set to their temperature unit (false without readings).
std::string CheckReadings(const std::vector<StoredReading>& readings, bool& fahrenheit);

} // namespace history
