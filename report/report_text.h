// The summary of a measurement file as text for a terminal and as JSON for scripts. Both carry
// the same figures: minimum and maximum exactly as written in the file, mean and sample standard
// deviation with four decimals.
#pragma once

#include <string>

#include "measurement_report.h"

namespace report {

// "%.4f" of a figure, or "-" when there is none.
std::string FigureText(const std::optional<double>& figure);

// The summary per unit and for the whole file, with the note of a cut file at the end.
std::string ReportText(const MeasurementReport& report);

// One JSON object: file, model, serial, date, version, temperatureUnit ("C" or "F"), cut, note,
// units (in file order) and total. Each summary holds unit, readings, emptySlots, pass, fail,
// warning, unjudged, resistance and voltage ({count, min, max, mean, sd, overRange}),
// temperature ({count, min, max, outOfRange}), first, last, and for a unit limits ({rLim1, rLim2,
// vLim} or null). A figure that does not exist is null.
std::string ReportJson(const MeasurementReport& report);

} // namespace report
