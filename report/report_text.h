// The summary of a measurement file as text for a terminal and as JSON for scripts. Both carry
// the same figures: minimum and maximum as the file's own texts, mean and sample standard
// deviation with four decimals.
#pragma once

#include <string>

#include "report/daily_trend.h"
#include "report/measurement_report.h"

namespace report {

// `text` as a JSON string: valid UTF-8 whatever the bytes (U+FFFD for bytes that are not UTF-8),
// control characters escaped.
std::string JsonString(const std::string& text);

// "%.4f" of a figure, or "-" when there is none.
std::string FigureText(const std::optional<double>& figure);

// The summary per unit and for the whole file, with the note of a cut file at the end; with a
// trend, a table of its days (median, minimum and maximum) after the summary of the whole. The
// file's texts are copied as they are: write the result whole (it may hold any byte).
std::string ReportText(const MeasurementReport& report, const DailyTrend* trend = nullptr);

// One JSON object: file, model, serial, date, version, temperatureUnit ("C" or "F"), cut, note,
// units (in file order) and total. Each summary holds unit, readings, emptySlots, pass, fail,
// warning, unjudged, resistance and voltage ({count, min, max, mean, sd, overRange,
// underRange}), temperature ({count, min, max, outOfRange}), first, last, unusableTimes, and for
// a unit limits ({rLim1, rLim2, vLim} or null). A figure that does not exist is null. The text is
// valid UTF-8: bytes of the file that are not become U+FFFD, control characters are escaped.
// With a trend, a last member trend: its days earliest first, each {day, readings, resistance,
// voltage}, a quantity {count, min, q1, median, q3, max} or null, every figure exact.
std::string ReportJson(const MeasurementReport& report, const DailyTrend* trend = nullptr);

} // namespace report
