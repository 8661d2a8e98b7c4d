// The report page of a measurement file: one self-contained HTML5 document (inline CSS and SVG,
// no script, nothing loaded from elsewhere) that prints on A4 as a batch record. It holds the
// file's header with the page's own heading (title, operator, when and by which program it was
// made), a summary table per unit and for the whole file, and for every unit with readings a
// histogram of the resistance, a scatter of voltage against resistance with the comparator
// limits, and the resistance in slot order; on paper a block to sign. The output depends on the
// report and the heading alone, so equal inputs give equal pages.
#pragma once

#include <string>

#include "base/local_time.h"
#include "report/daily_trend.h"
#include "report/measurement_report.h"

namespace report {

// What the page says of itself; the title and operator are the user's texts, printed escaped
// and left out when empty.
struct PageHeading {
    std::string title;
    std::string operatorName;
    LocalTime made;      // when the page was made (the PC's local time)
    std::string program; // "k720ctl 1.03": the program that made it
};

// The page as UTF-8 text. Every text taken from the file or the heading is escaped; bytes that
// are not UTF-8 and control characters become U+FFFD. With a trend, a section after the summary
// plots the median of the resistance and of the voltage per day within their daily range.
std::string ReportPageHtml(const MeasurementReport& report, const PageHeading& heading,
                           const DailyTrend* trend = nullptr);

} // namespace report
