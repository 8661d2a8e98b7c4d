// The report page of a measurement file: one self-contained HTML5 document (inline CSS and SVG,
// no script, nothing loaded from elsewhere) that prints on A4. It holds the file's header, a
// summary table per unit and for the whole file, and for every unit with readings a histogram
// of the resistance, a scatter of voltage against resistance with the comparator limits, and the
// resistance in slot order. The output depends on the report alone, so equal reports give equal
// pages.
#pragma once

#include <string>

#include "measurement_report.h"

namespace report {

// The page as UTF-8 text. Every text taken from the file is escaped.
std::string ReportPageHtml(const MeasurementReport& report);

} // namespace report
