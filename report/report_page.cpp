#include "report/report_page.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <set>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "base/format_int.h"
#include "base/texts.h"
#include "measure/reading_record.h"
#include "measure/units.h"
#include "report/page_parts.h"
#include "report/report_text.h"
#include "report/svg_plot.h"
#include "report/utf8_text.h"

namespace report {

namespace {

using html::Escape;
using html::Fact;
using html::Fixed;
using html::kOhm;
using html::PaddedDate;
using html::PaddedDateTime;
using html::ResistanceTitle;
using html::Shown;
using svg::AxesSvg;
using svg::Axis;
using svg::Coordinate;
using svg::CountAxis;
using svg::DataAxis;
using svg::EmptyPlotSvg;
using svg::kFullWidth;
using svg::kHalfWidth;
using svg::kLegendBaseline;
using svg::kPlotHeight;
using svg::Line;
using svg::NiceAxis;
using svg::Plot;
using svg::SvgOpen;
using svg::Text;
using svg::XLabel;

constexpr double kSlotPlotHeight = 230;

// The page's own texts of its heading and summary, in English; the page shows them in
// the user's language.
namespace texts {
constexpr const char* kPageName = K720_TEXT("Messages", "K720 measurement report");
constexpr const char* kOperator = K720_TEXT("Messages", "Operator");
constexpr const char* kOverRange = K720_TEXT("Messages", "over range");
constexpr const char* kUnderRange = K720_TEXT("Messages", "under range");
constexpr const char* kOutOfRange = K720_TEXT("Messages", "out of range");
constexpr const char* kTimeUnusable = K720_TEXT("Messages", "time unusable");
constexpr const char* kReadings = K720_TEXT("Messages", "Readings");
constexpr const char* kVoltage = K720_TEXT("Messages", "Voltage [V]");
constexpr const char* kVoltageAgainstResistance =
    K720_TEXT("Messages", "Voltage against resistance");
constexpr const char* kResistanceBySlot = K720_TEXT("Messages", "Resistance by slot");
} // namespace texts

// Limit labels sit in the margins around the frame.
constexpr double kLabelRowHeight = 14;
constexpr int kLimitLabelRows = 2;
constexpr double kLabelCharacterWidth = 6.8;
constexpr double kLabelGap = 8;

constexpr const char* kReportStyle = R"(table.summary { font-size: 8pt }
table.summary th { white-space: normal }
tr.total td { font-weight: 700; border-top: 0.5mm solid #666 }
.cut { border: 0.6mm solid #c62828; background: #fdecea; color: #8e1b1b; padding: 2mm 3mm;
  font-weight: 600; margin: 2mm 0 }
section.unit { break-inside: avoid; page-break-inside: avoid; margin-top: 5mm }
.limits { margin: 0 0 1.5mm }
svg .bar { fill: #5b7fa6; stroke: #fff; stroke-width: 0.5 }
svg .pass { fill: #2e8b3a }
svg .fail { fill: #d32f2f }
svg .warning { fill: #f08c00 }
svg .none { fill: #9a9a9a }
svg .over { fill: #6a1b9a }
svg .limit { stroke: #333; stroke-width: 1.2; stroke-dasharray: 6 4 }
svg text.limit-label { font-size: 12px; fill: #222 }
)";

std::string PaddedTime(const MeasurementTime& time) {
    return PaddedDateTime(time.year, time.month, time.day, time.hour, time.minute);
}

// The file's date of transfer ("2014-3-10") zero-padded; escaped as written when it is no date.
std::string PaddedFileDate(std::string_view date) {
    int fields[3] = {0, 0, 0};
    const char* at = date.data();
    const char* const end = date.data() + date.size();
    for (int i = 0; i < 3; ++i) {
        const auto [next, error] = std::from_chars(at, end, fields[i]);
        const bool last = i == 2;
        if (error != std::errc() || next == at || fields[i] < 0 ||
            (last ? next != end : next == end || *next != '-')) {
            return Escape(date);
        }
        at = last ? next : next + 1;
    }
    return PaddedDate(fields[0], fields[1], fields[2]);
}

double Value(Milli value) {
    return static_cast<double>(value.thousandths) / 1000.0;
}

const char* ResultClass(Result result) {
    switch (result) {
    case Result::Pass:
        return "pass";
    case Result::Fail:
        return "fail";
    case Result::Warning:
        return "warning";
    case Result::None:
        break;
    }
    return "none";
}

// A result as the key names it: the instrument's own word, or the catalogue's text for a reading
// without a judgement.
const char* ResultName(Result result) {
    switch (result) {
    case Result::Pass:
        return "PASS";
    case Result::Fail:
        return "FAIL";
    case Result::Warning:
        return "WARNING";
    case Result::None:
        break;
    }
    return K720_TEXT("Messages", "none");
}

// Failures are drawn last, so that no other dot hides them.
constexpr std::array<Result, 4> kDrawOrder = {Result::None, Result::Pass, Result::Warning,
                                              Result::Fail};

// A key in the top line of the plot: a dot of each result's colour that the plot shows, and the
// over-range marker when it shows one.
std::string LegendSvg(const Plot& plot, const std::vector<Result>& results, bool overRange) {
    std::string svg;
    double x = plot.left;
    const double y = kLegendBaseline;
    for (const Result result : results) {
        svg += "<circle class=\"" + std::string(ResultClass(result)) + " key\" cx=\"" +
               Coordinate(x + 4) + "\" cy=\"" + Coordinate(y - 4) + "\" r=\"4\"/>\n";
        svg += Text(x + 12, y, "start", Shown(ResultName(result)));
        x += 90;
    }
    if (overRange) {
        svg +=
            "<path class=\"over\" d=\"M" + Coordinate(x) + ' ' + Coordinate(y) + "h8l-4-8z\"/>\n";
        svg += Text(x + 12, y, "start", Shown(texts::kOverRange));
    }
    return svg;
}

// A comparator limit: a dashed line across the drawing area and its label ("Lim1 25 m&#937;",
// HTML text) in the plot's margin, where it covers no reading.
struct Limit {
    double value = 0;
    std::string name, amount; // "Lim1", "25 m&#937;"
    std::string Label() const { return name + ' ' + amount; }
};

Limit MakeLimit(const char* name, Milli value, const char* unit) {
    return {Value(value), name, Escape(MilliText(value)) + ' ' + unit};
}

// The width a label takes at the labels' size: about 0.56 em a character, a reference one.
double LabelWidth(std::string_view html) {
    int characters = 0;
    for (std::size_t at = 0; at < html.size(); ++at) {
        if (html[at] == '&') {
            at = html.find(';', at);
        }
        ++characters;
    }
    return characters * kLabelCharacterWidth;
}

// Vertical limits, labelled above the frame centred on their line (kept on the picture); a label
// that would overlap the one before goes a row higher. The plot's top margin has room for two
// rows.
std::string VerticalLimitsSvg(const Plot& plot, std::vector<Limit> limits) {
    std::sort(limits.begin(), limits.end(),
              [](const Limit& a, const Limit& b) { return a.value < b.value; });
    std::string svg;
    double rowEnd[kLimitLabelRows] = {-1e9, -1e9};
    for (const Limit& limit : limits) {
        const double x = plot.X(limit.value);
        const std::string label = limit.Label();
        const double width = LabelWidth(label);
        const double start = std::max(2.0, std::min(x - width / 2, plot.width - 2 - width));
        int row = 0;
        while (row + 1 < kLimitLabelRows && start < rowEnd[row] + kLabelGap) {
            ++row;
        }
        rowEnd[row] = start + width;
        svg += Line(x, plot.top, x, plot.Bottom(), "limit") +
               Text(start, plot.top - 6 - kLabelRowHeight * row, "start", label, "limit-label");
    }
    return svg;
}

// Horizontal limits, labelled right of the frame at the height of their line; labels closer
// than a line of text are moved apart. `twoLines` sets name and amount one above the other, for
// a narrow margin.
std::string HorizontalLimitsSvg(const Plot& plot, std::vector<Limit> limits, bool twoLines) {
    std::sort(limits.begin(), limits.end(),
              [](const Limit& a, const Limit& b) { return a.value > b.value; });
    const double height = twoLines ? 2 * kLabelRowHeight : kLabelRowHeight;
    std::vector<double> ys; // the middle of each label, top to bottom
    for (const Limit& limit : limits) {
        ys.push_back(plot.Y(limit.value));
    }
    for (std::size_t i = 1; i < ys.size(); ++i) {
        if (ys[i] - ys[i - 1] < height) {
            const double middle = (ys[i] + ys[i - 1]) / 2;
            ys[i - 1] = middle - height / 2;
            ys[i] = middle + height / 2;
        }
    }
    std::string svg;
    const double x = plot.Right() + 5;
    for (std::size_t i = 0; i < limits.size(); ++i) {
        const double y = plot.Y(limits[i].value);
        svg += Line(plot.left, y, plot.Right(), y, "limit");
        if (twoLines) {
            svg += Text(x, ys[i] - 2, "start", limits[i].name, "limit-label") +
                   Text(x, ys[i] + 11, "start", limits[i].amount, "limit-label");
        } else {
            svg += Text(x, ys[i] + 4.5, "start", limits[i].Label(), "limit-label");
        }
    }
    return svg;
}

std::string Dot(const Point& point, double x, double y, double radius) {
    return "<circle class=\"" + std::string(ResultClass(point.result)) + "\" cx=\"" +
           Coordinate(x) + "\" cy=\"" + Coordinate(y) + "\" r=\"" + Coordinate(radius) + "\"/>\n";
}

// The dots of a plot. A unit of a file holds at most 400 readings, each drawn; a unit over a
// history may hold a million, and a dot on the spot of an earlier one of its result (within one
// unit of the drawing, 0.2 mm) adds nothing to the picture: it is left out, so that the page
// stays a page.
class Dots {
public:
    explicit Dots(std::size_t readings)
        : thin_(readings > static_cast<std::size_t>(measure::kSlotsPerUnit)) {}
    void Add(const Point& point, double x, double y, double radius) {
        if (thin_ &&
            !spots_.insert({static_cast<int>(point.result), std::lround(x), std::lround(y)})
                 .second) {
            return;
        }
        svg_ += Dot(point, x, y, radius);
    }
    const std::string& Svg() const { return svg_; }

private:
    bool thin_;
    std::set<std::tuple<int, long, long>> spots_;
    std::string svg_;
};

// The results among the readings that `shown` accepts, in drawing order.
template <typename Shown>
std::vector<Result> ResultsShown(const std::vector<Point>& points, Shown shown) {
    std::vector<Result> results;
    for (const Result result : kDrawOrder) {
        if (std::any_of(points.begin(), points.end(), [&](const Point& point) {
                return point.result == result && shown(point);
            })) {
            results.push_back(result);
        }
    }
    return results;
}

// --- Plots --------------------------------------------------------------------------------

// The numeric resistances of a unit in 10 to 20 equal bins between their minimum and maximum
// (about the square root of their number), or in one bin when they are all equal.
std::string HistogramSvg(const Summary& unit) {
    std::vector<std::int64_t> values;
    for (const Point& point : unit.points) {
        if (point.Has(Point::kResistance)) {
            values.push_back(point.resistance);
        }
    }
    if (values.empty()) {
        return EmptyPlotSvg("histogram", kHalfWidth, kPlotHeight,
                            Shown(K720_TEXT("Messages", "No numeric resistance")));
    }
    const auto [minimum, maximum] = std::minmax_element(values.begin(), values.end());
    const double low = static_cast<double>(*minimum) / 1000.0;
    const double high = static_cast<double>(*maximum) / 1000.0;
    const int bins =
        low == high
            ? 1
            : std::clamp(static_cast<int>(std::ceil(std::sqrt(static_cast<double>(values.size())))),
                         10, 20);
    std::vector<int> counts(static_cast<std::size_t>(bins), 0);
    const double binWidth = (high - low) / bins;
    for (const std::int64_t value : values) {
        const double offset = static_cast<double>(value) / 1000.0 - low;
        const int bin = binWidth > 0 ? static_cast<int>(offset / binWidth) : 0;
        ++counts[static_cast<std::size_t>(std::min(bin, bins - 1))];
    }
    // One bin is drawn a tenth of its axis wide, centred on its value.
    const double barLow = bins == 1 ? low - std::max(std::abs(low) * 0.01, 0.005) : low;
    const double barWidth = bins == 1 ? 2 * (low - barLow) : binWidth;

    Plot plot;
    plot.x = NiceAxis(barLow, barLow + barWidth * bins, 6);
    plot.y = CountAxis(*std::max_element(counts.begin(), counts.end()), 5);
    std::string svg = SvgOpen("histogram", plot.width, plot.height,
                              Shown(K720_TEXT("Messages", "Resistance histogram")));
    svg += AxesSvg(plot, ResistanceTitle(), Shown(texts::kReadings));
    for (int i = 0; i < bins; ++i) {
        const int count = counts[static_cast<std::size_t>(i)];
        if (count == 0) {
            continue;
        }
        const double x1 = plot.X(barLow + barWidth * i);
        const double x2 = plot.X(barLow + barWidth * (i + 1));
        const double y = plot.Y(count);
        svg += "<rect class=\"bar\" x=\"" + Coordinate(x1) + "\" y=\"" + Coordinate(y) +
               "\" width=\"" + Coordinate(x2 - x1) + "\" height=\"" +
               Coordinate(plot.Bottom() - y) + "\"/>\n";
    }
    return svg + "</svg>\n";
}

// Voltage against resistance, one dot per reading with both values, coloured by its result; the
// unit's shared comparator limits as dashed lines.
std::string ScatterSvg(const Summary& unit) {
    const auto plotted = [](const Point& point) {
        return point.Has(Point::kResistance) && point.Has(Point::kVoltage);
    };
    std::vector<double> xs, ys;
    for (const Point& point : unit.points) {
        if (plotted(point)) {
            xs.push_back(Value(*point.Resistance()));
            ys.push_back(Value(*point.Voltage()));
        }
    }
    if (xs.empty()) {
        return EmptyPlotSvg(
            "scatter", kHalfWidth, kPlotHeight,
            Shown(K720_TEXT("Messages", "No reading with both resistance and voltage")));
    }
    if (unit.limits) {
        xs.push_back(Value(unit.limits->limit1));
        xs.push_back(Value(unit.limits->limit2));
        ys.push_back(Value(unit.limits->voltageLimit));
    }
    Plot plot;
    if (unit.limits) {
        // Room above the frame for two rows of resistance limit labels, right of it for the
        // voltage limit's.
        plot.top += kLimitLabelRows * kLabelRowHeight;
        plot.rightMargin = 56;
    }
    const auto [xLow, xHigh] = std::minmax_element(xs.begin(), xs.end());
    const auto [yLow, yHigh] = std::minmax_element(ys.begin(), ys.end());
    plot.x = DataAxis(*xLow, *xHigh, 6);
    plot.y = DataAxis(*yLow, *yHigh, 5);

    std::string svg =
        SvgOpen("scatter", plot.width, plot.height, Shown(texts::kVoltageAgainstResistance));
    svg += AxesSvg(plot, ResistanceTitle(), Shown(texts::kVoltage));
    if (unit.limits) {
        svg += VerticalLimitsSvg(plot, {MakeLimit("Lim1", unit.limits->limit1, kOhm),
                                        MakeLimit("Lim2", unit.limits->limit2, kOhm)});
        svg +=
            HorizontalLimitsSvg(plot, {MakeLimit("V-Lim", unit.limits->voltageLimit, "V")}, true);
    }
    Dots dots(unit.points.size());
    for (const Result result : kDrawOrder) {
        for (const Point& point : unit.points) {
            if (point.result == result && plotted(point)) {
                dots.Add(point, plot.X(Value(*point.Resistance())), plot.Y(Value(*point.Voltage())),
                         2.6);
            }
        }
    }
    svg += dots.Svg();
    svg += LegendSvg(plot, ResultsShown(unit.points, plotted), false);
    return svg + "</svg>\n";
}

// The resistance of each slot, coloured by result; an over-range reading is a triangle at the
// top of the drawing area. The shared resistance limits are dashed lines.
std::string SlotPlotSvg(const Summary& unit) {
    std::vector<double> values;
    int lastSlot = 1;
    bool overRange = false;
    for (const Point& point : unit.points) {
        lastSlot = std::max<int>(lastSlot, point.slot);
        if (point.Has(Point::kResistance)) {
            values.push_back(Value(*point.Resistance()));
        } else {
            overRange = true;
        }
    }
    if (unit.limits) {
        values.push_back(Value(unit.limits->limit1));
        values.push_back(Value(unit.limits->limit2));
    }
    Plot plot;
    plot.width = kFullWidth;
    plot.height = kSlotPlotHeight;
    if (unit.limits) {
        plot.rightMargin = 110; // the limit labels
    }
    plot.x = CountAxis(lastSlot, 10);
    plot.xInset = 6;
    if (values.empty()) {
        plot.y = NiceAxis(0, 1, 5);
    } else {
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        // Room at the top for the over-range markers.
        plot.y = DataAxis(*low, *high, 5, overRange ? 0.12 : 0.03);
    }
    std::string svg = SvgOpen("slots", plot.width, plot.height, Shown(texts::kResistanceBySlot));
    svg += AxesSvg(plot, Shown(K720_TEXT("Messages", "Slot")), ResistanceTitle());
    if (unit.limits) {
        svg += HorizontalLimitsSvg(plot,
                                   {MakeLimit("Lim1", unit.limits->limit1, kOhm),
                                    MakeLimit("Lim2", unit.limits->limit2, kOhm)},
                                   false);
    }
    Dots dots(unit.points.size());
    for (const Result result : kDrawOrder) {
        for (const Point& point : unit.points) {
            if (point.result == result && point.Has(Point::kResistance)) {
                dots.Add(point, plot.X(point.slot), plot.Y(Value(*point.Resistance())), 2);
            }
        }
    }
    svg += dots.Svg();
    std::set<int> overRangeSlots; // one marker per slot
    for (const Point& point : unit.points) {
        if (!point.Has(Point::kResistance) && overRangeSlots.insert(point.slot).second) {
            const double x = plot.X(point.slot);
            svg += "<path class=\"over\" d=\"M" + Coordinate(x - 3.5) + ' ' +
                   Coordinate(plot.top + 10) + "h7l-3.5-7z\"/>\n";
        }
    }
    svg += LegendSvg(
        plot, ResultsShown(unit.points, [](const Point& r) { return r.Has(Point::kResistance); }),
        overRange);
    return svg + "</svg>\n";
}

// --- The trend by day ----------------------------------------------------------------------

constexpr const char* kTrendStyle =
    R"(section.trend { break-inside: avoid; page-break-inside: avoid; margin-top: 5mm }
svg .range { fill: #d6e2ef; stroke: none }
svg .middle { fill: #9db7d4; stroke: none }
svg line.range { stroke: #9db7d4; stroke-width: 2 }
svg .median { fill: none; stroke: #1f4e79; stroke-width: 2 }
svg circle.median { fill: #1f4e79; stroke: none }
)";

// The figures of a day that a trend plot draws, in units (mohm, V).
struct DayPoint {
    double minimum, lowerQuartile, median, upperQuartile, maximum;
};

// Days on the x axis by their date, so that days without readings leave their room; labelled at
// measurement days at least a tenth of the span apart, the first one first.
std::vector<XLabel> DayLabels(const DailyTrend& trend) {
    const int step =
        std::max(1, (trend.days.back().dayNumber - trend.days.front().dayNumber + 9) / 10);
    std::vector<XLabel> labels;
    for (const TrendDay& day : trend.days) {
        if (labels.empty() || day.dayNumber - labels.back().value >= step) {
            labels.push_back({static_cast<double>(day.dayNumber), Escape(day.day)});
        }
    }
    return labels;
}

// The polygon of a band from `low` to `high` over the days of a run.
std::string BandSvg(const Plot& plot, const std::vector<std::pair<double, DayPoint>>& run,
                    double DayPoint::*low, double DayPoint::*high, const char* cssClass) {
    std::string points;
    for (const auto& [x, point] : run) {
        points += Coordinate(plot.X(x)) + ',' + Coordinate(plot.Y(point.*high)) + ' ';
    }
    for (auto it = run.rbegin(); it != run.rend(); ++it) {
        points += Coordinate(plot.X(it->first)) + ',' + Coordinate(plot.Y(it->second.*low)) + ' ';
    }
    points.pop_back();
    return "<polygon class=\"" + std::string(cssClass) + "\" points=\"" + points + "\"/>\n";
}

// A run of measurement days with values (no day between them without one): the range from minimum
// to maximum and the middle half between the quartiles as bands (as bars for a day alone), the
// median as a line with a dot a day.
std::string RunSvg(const Plot& plot, const std::vector<std::pair<double, DayPoint>>& run) {
    std::string svg;
    if (run.size() == 1) {
        const auto& [x, point] = run.front();
        svg += Line(plot.X(x), plot.Y(point.minimum), plot.X(x), plot.Y(point.maximum), "range");
        svg += "<rect class=\"middle\" x=\"" + Coordinate(plot.X(x) - 5) + "\" y=\"" +
               Coordinate(plot.Y(point.upperQuartile)) + "\" width=\"10\" height=\"" +
               Coordinate(plot.Y(point.lowerQuartile) - plot.Y(point.upperQuartile)) + "\"/>\n";
    } else {
        svg += BandSvg(plot, run, &DayPoint::minimum, &DayPoint::maximum, "range");
        svg += BandSvg(plot, run, &DayPoint::lowerQuartile, &DayPoint::upperQuartile, "middle");
        std::string points;
        for (const auto& [x, point] : run) {
            points += Coordinate(plot.X(x)) + ',' + Coordinate(plot.Y(point.median)) + ' ';
        }
        points.pop_back();
        svg += "<polyline class=\"median\" points=\"" + points + "\"/>\n";
    }
    for (const auto& [x, point] : run) {
        svg += "<circle class=\"median\" cx=\"" + Coordinate(plot.X(x)) + "\" cy=\"" +
               Coordinate(plot.Y(point.median)) + "\" r=\"2.6\"/>\n";
    }
    return svg;
}

// The key in the top line: the median, the middle half and the range.
std::string TrendLegendSvg(const Plot& plot) {
    const double x = plot.left;
    const double y = kLegendBaseline;
    return Line(x, y - 4, x + 18, y - 4, "median") +
           Text(x + 24, y, "start", Shown(K720_TEXT("Messages", "median"))) +
           "<rect class=\"middle\" x=\"" + Coordinate(x + 150) + "\" y=\"" + Coordinate(y - 10) +
           "\" width=\"18\" height=\"12\"/>\n" +
           Text(x + 174, y, "start", Shown(K720_TEXT("Messages", "quartiles"))) +
           "<rect class=\"range\" x=\"" + Coordinate(x + 300) + "\" y=\"" + Coordinate(y - 10) +
           "\" width=\"18\" height=\"12\"/>\n" +
           Text(x + 324, y, "start", Shown(K720_TEXT("Messages", "min to max")));
}

// One quantity of the trend by day: its median per day within its quartiles and its range; a
// day without a value of the quantity breaks the line.
std::string TrendPlotSvg(const DailyTrend& trend, std::optional<DaySpread> TrendDay::*quantity,
                         const char* cssClass, const std::string& title, const std::string& yTitle,
                         const char* emptyMessage) {
    std::vector<std::vector<std::pair<double, DayPoint>>> runs(1);
    double low = 0, high = 0;
    bool any = false;
    for (std::size_t i = 0; i < trend.days.size(); ++i) {
        const std::optional<DaySpread>& spread = trend.days[i].*quantity;
        if (!spread) {
            if (!runs.back().empty()) {
                runs.emplace_back();
            }
            continue;
        }
        const DayPoint point{Value(spread->minimum), spread->lowerQuartile.Value(),
                             spread->median.Value(), spread->upperQuartile.Value(),
                             Value(spread->maximum)};
        low = any ? std::min(low, point.minimum) : point.minimum;
        high = any ? std::max(high, point.maximum) : point.maximum;
        any = true;
        runs.back().emplace_back(static_cast<double>(trend.days[i].dayNumber), point);
    }
    if (!any) {
        return EmptyPlotSvg(cssClass, kFullWidth, kPlotHeight, Shown(emptyMessage));
    }
    Plot plot;
    plot.width = kFullWidth;
    plot.rightMargin = 40; // half the last day's label
    plot.x = {trend.days.front().dayNumber - 0.5, trend.days.back().dayNumber + 0.5, 1};
    plot.y = DataAxis(low, high, 5);
    const std::vector<XLabel> labels = DayLabels(trend);
    std::string svg = SvgOpen(cssClass, plot.width, plot.height, title);
    svg += AxesSvg(plot, Shown(K720_TEXT("Messages", "Measurement day")), yTitle, &labels);
    for (const auto& run : runs) {
        if (!run.empty()) {
            svg += RunSvg(plot, run);
        }
    }
    return svg + TrendLegendSvg(plot) + "</svg>\n";
}

// "12 measurement days": a whole text for one day and one for more.
std::string DaysCount(std::size_t days) {
    return days == 1 ? Shown(K720_TEXT("Messages", "1 measurement day"))
                     : FillText(kMessages, K720_TEXT("Messages", "%1 measurement days"),
                                {std::to_string(days)});
}

std::string TrendSection(const DailyTrend& trend) {
    const std::string resistanceTitle = Shown(K720_TEXT("Messages", "Resistance by day"));
    const std::string voltageTitle = Shown(K720_TEXT("Messages", "Voltage by day"));
    std::string html = "<section class=\"trend\">\n<h2>" +
                       Shown(K720_TEXT("Messages", "Trend by day")) + " &#8211; " +
                       DaysCount(trend.days.size()) + "</h2>\n";
    if (trend.unusableTimes > 0) {
        html += "<p class=\"limits\">" +
                (trend.unusableTimes == 1
                     ? Shown(K720_TEXT("Messages",
                                       "1 reading without a real date and time is on no day."))
                     : FillText(kMessages,
                                K720_TEXT("Messages", "%1 readings without a real date and time "
                                                      "are on no day."),
                                {std::to_string(trend.unusableTimes)})) +
                "</p>\n";
    }
    return html + "<div class=\"plots\">\n<figure><figcaption>" + resistanceTitle +
           "</figcaption>\n" +
           TrendPlotSvg(trend, &TrendDay::resistance, "trend-resistance", resistanceTitle,
                        ResistanceTitle(), K720_TEXT("Messages", "No numeric resistance")) +
           "</figure>\n<figure><figcaption>" + voltageTitle + "</figcaption>\n" +
           TrendPlotSvg(trend, &TrendDay::voltage, "trend-voltage", voltageTitle,
                        Shown(texts::kVoltage), K720_TEXT("Messages", "No numeric voltage")) +
           "</figure>\n</div>\n</section>\n";
}

// --- Tables and sections ------------------------------------------------------------------

std::string Cell(const std::string& content) {
    return "<td>" + content + "</td>";
}

std::string CountWithShare(int count, int whole) {
    return Cell(std::to_string(count) + " <span class=\"share\">" +
                Escape(ShareText(count, whole)) + "</span>");
}

// Minimum and maximum as the file writes them; `underRange`: the quantity has an under-range
// code (the voltage).
std::string SpreadCells(const Spread& spread, bool underRange) {
    const bool any = spread.count > 0;
    std::string cells =
        Cell(std::to_string(spread.count)) + Cell(any ? Escape(spread.minimumText) : "-") +
        Cell(any ? Escape(spread.maximumText) : "-") + Cell(FigureText(spread.Mean())) +
        Cell(FigureText(spread.StandardDeviation())) + Cell(std::to_string(spread.overRange));
    return underRange ? cells + Cell(std::to_string(spread.underRange)) : cells;
}

std::string TemperatureCells(const TemperatureRange& range) {
    const bool any = range.count > 0;
    return Cell(any ? Escape(range.minimumText) : "-") +
           Cell(any ? Escape(range.maximumText) : "-") + Cell(std::to_string(range.outOfRange));
}

std::string JudgementCells(const Summary& summary) {
    return CountWithShare(summary.pass, summary.readings) +
           CountWithShare(summary.fail, summary.readings) +
           CountWithShare(summary.warning, summary.readings) +
           CountWithShare(summary.unjudged, summary.readings);
}

std::string ResultCells(const Summary& summary) {
    return Cell(std::to_string(summary.readings)) + Cell(std::to_string(summary.emptySlots)) +
           JudgementCells(summary);
}

// The history keeps readings alone: no empty slot.
std::string HistoryResultCells(const Summary& summary) {
    return Cell(std::to_string(summary.readings)) + JudgementCells(summary);
}

std::string FigureCells(const Summary& summary) {
    return SpreadCells(summary.resistance, false) + SpreadCells(summary.voltage, true);
}

std::string TemperatureAndTimeCells(const Summary& summary) {
    const bool any = !summary.first.empty();
    return TemperatureCells(summary.temperature) + Cell(any ? PaddedTime(summary.firstTime) : "-") +
           Cell(any ? PaddedTime(summary.lastTime) : "-") +
           Cell(std::to_string(summary.unusableTimes));
}

std::string UnitLabel(char unit) {
    return FillText(kMessages, K720_TEXT("Messages", "Unit %1"), {Escape(std::string(1, unit))});
}

// One row per unit and a last one for the whole file, under the header rows `head`.
std::string SummaryTable(const MeasurementReport& report, const std::string& head,
                         std::string (*cells)(const Summary&)) {
    std::string html = "<table class=\"summary\">\n<thead>\n" + head + "</thead>\n<tbody>\n";
    for (const Summary& unit : report.units) {
        html += "<tr>" + Cell(UnitLabel(unit.unit)) + cells(unit) + "</tr>\n";
    }
    html += "<tr class=\"total\">" + Cell(Shown(K720_TEXT("Messages", "All units"))) +
            cells(report.total) + "</tr>\n";
    return html + "</tbody>\n</table>\n";
}

// The summary in three tables of the same rows, each narrow enough for the page: the results,
// the resistance and voltage figures, the temperatures and measurement times.
std::string SummaryTables(const MeasurementReport& report, bool overHistory) {
    const auto head = [](const char* text) { return "<th>" + Shown(text) + "</th>"; };
    const std::string spreadHead =
        head(K720_TEXT("Messages", "count")) + head(K720_TEXT("Messages", "min")) +
        head(K720_TEXT("Messages", "max")) + head(K720_TEXT("Messages", "mean")) +
        head(K720_TEXT("Messages", "s.d.")) + head(texts::kOverRange);
    const std::string voltageHead = spreadHead + head(texts::kUnderRange);
    const std::string unitHead = Shown(K720_TEXT("Messages", "Unit"));
    return SummaryTable(report,
                        "<tr><th>" + unitHead + "</th>" + head(texts::kReadings) +
                            (overHistory ? "" : head(K720_TEXT("Messages", "Empty slots"))) +
                            "<th>PASS</th><th>FAIL</th><th>WARNING</th>" +
                            head(K720_TEXT("Messages", "none")) + "</tr>\n",
                        overHistory ? &HistoryResultCells : &ResultCells) +
           SummaryTable(report,
                        "<tr><th rowspan=\"2\">" + unitHead + "</th><th colspan=\"6\">" +
                            ResistanceTitle() + "</th><th colspan=\"7\">" + Shown(texts::kVoltage) +
                            "</th></tr>\n<tr>" + spreadHead + voltageHead + "</tr>\n",
                        FigureCells) +
           SummaryTable(report,
                        "<tr><th rowspan=\"2\">" + unitHead + "</th><th colspan=\"3\">" +
                            FillText(kMessages, K720_TEXT("Messages", "Temperature [%1]"),
                                     {report.fahrenheit ? "&#176;F" : "&#176;C"}) +
                            "</th><th colspan=\"3\">" + Shown(K720_TEXT("Messages", "Measured")) +
                            "</th></tr>\n<tr>" + head(K720_TEXT("Messages", "min")) +
                            head(K720_TEXT("Messages", "max")) + head(texts::kOutOfRange) +
                            head(K720_TEXT("Messages", "first")) +
                            head(K720_TEXT("Messages", "last")) + head(texts::kTimeUnusable) +
                            "</tr>\n",
                        TemperatureAndTimeCells);
}

// The heading: the user's title (else the page's name), when and by which program the page was
// made, the file and its header, the operator.
// "K720 measurement report, made 2026-12-02 08:01 by k720ctl 1.03" (the page's name only
// when a title stands above it).
std::string MadeLine(const PageHeading& heading) {
    const std::string when = PaddedDateTime(heading.made);
    if (heading.title.empty()) {
        return FillText(kMessages, K720_TEXT("Messages", "made %1 by %2"),
                        {when, Escape(heading.program)});
    }
    return FillText(kMessages, K720_TEXT("Messages", "%1, made %2 by %3"),
                    {Shown(texts::kPageName), when, Escape(heading.program)});
}

// A file's header says when it was transferred and from which model and version; a report over
// the history (the one with a trend) has neither: its date is the span of measurement days.
std::string HeaderHtml(const MeasurementReport& report, const PageHeading& heading,
                       bool overHistory) {
    const std::string title =
        heading.title.empty() ? Shown(texts::kPageName) : Escape(heading.title);
    std::string html = "<header>\n<h1>" + title + "</h1>\n<p class=\"made\">" + MadeLine(heading) +
                       "</p>\n<p class=\"file\">" + Escape(report.file) +
                       "</p>\n<p class=\"facts\">\n";
    if (overHistory) {
        html += Fact(K720_TEXT("Messages", "Serial number"), Escape(report.serial)) +
                Fact(K720_TEXT("Messages", "Measured"), PaddedFileDate(report.date));
    } else {
        html += Fact(K720_TEXT("Messages", "Model"), Escape(report.model)) +
                Fact(K720_TEXT("Messages", "Serial number"), Escape(report.serial)) +
                Fact(K720_TEXT("Messages", "Transferred"), PaddedFileDate(report.date)) +
                Fact(K720_TEXT("Messages", "Version"), Escape(report.version));
    }
    html += Fact(K720_TEXT("Messages", "Temperature"), report.fahrenheit ? "&#176;F" : "&#176;C");
    if (!heading.operatorName.empty()) {
        html += Fact(texts::kOperator, Escape(heading.operatorName));
    }
    html += "</p>\n";
    if (report.cut) {
        html += "<p class=\"cut\">" +
                FillText(kMessages, K720_TEXT("Messages", "Incomplete file: %1"),
                         {Escape(report.shownCutNote)}) +
                "</p>\n";
    }
    return html + "</header>\n";
}

std::string LimitsNote(const Summary& unit) {
    if (unit.limits) {
        return FillText(
            kMessages,
            K720_TEXT("Messages", "Comparator limits of every judged reading: %1, %2, %3."),
            {MakeLimit("Lim1", unit.limits->limit1, kOhm).Label(),
             MakeLimit("Lim2", unit.limits->limit2, kOhm).Label(),
             MakeLimit("V-Lim", unit.limits->voltageLimit, "V").Label()});
    }
    if (unit.pass + unit.fail + unit.warning > 0) {
        return Shown(K720_TEXT("Messages", "The judged readings were judged by different "
                                           "comparator limits; none are drawn."));
    }
    return Shown(K720_TEXT("Messages", "No reading was judged."));
}

// `note`: "(%1 over range, not shown)" or "(%1 out of range, not shown)".
std::string NotShownNote(int count, const char* note) {
    if (count == 0) {
        return "";
    }
    return " <span class=\"note\">" + FillText(kMessages, note, {std::to_string(count)}) +
           "</span>";
}

// "5 readings": a whole text for one reading and one for more, as each language counts them.
std::string ReadingsCount(int readings) {
    return readings == 1 ? Shown(K720_TEXT("Messages", "1 reading"))
                         : FillText(kMessages, K720_TEXT("Messages", "%1 readings"),
                                    {std::to_string(readings)});
}

std::string UnitSection(const Summary& unit) {
    int noResistance = 0, notBoth = 0;
    for (const Point& point : unit.points) {
        noResistance += point.Has(Point::kResistance) ? 0 : 1;
        notBoth += point.Has(Point::kResistance) && point.Has(Point::kVoltage) ? 0 : 1;
    }
    return "<section class=\"unit\">\n<h2>" + UnitLabel(unit.unit) + " &#8211; " +
           ReadingsCount(unit.readings) + "</h2>\n<p class=\"limits\">" + LimitsNote(unit) +
           "</p>\n<div class=\"plots\">\n<figure><figcaption>" +
           Shown(K720_TEXT("Messages", "Resistance distribution")) +
           NotShownNote(noResistance, K720_TEXT("Messages", "(%1 over range, not shown)")) +
           "</figcaption>\n" + HistogramSvg(unit) + "</figure>\n<figure><figcaption>" +
           Shown(texts::kVoltageAgainstResistance) +
           NotShownNote(notBoth, K720_TEXT("Messages", "(%1 out of range, not shown)")) +
           "</figcaption>\n" + ScatterSvg(unit) + "</figure>\n<figure><figcaption>" +
           Shown(texts::kResistanceBySlot) + "</figcaption>\n" + SlotPlotSvg(unit) +
           "</figure>\n</div>\n</section>\n";
}

} // namespace

std::string ReportPageHtml(const MeasurementReport& report, const PageHeading& heading,
                           const DailyTrend* trend) {
    std::string html = "<!DOCTYPE html>\n<html lang=\"" + html::Language() +
                       "\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width\">\n<title>" +
                       (heading.title.empty() ? "" : Escape(heading.title) + " &#8211; ") +
                       Shown(K720_TEXT("Messages", "K720 report")) + " &#8211; " +
                       Escape(report.file) + "</title>\n<style>\n" + html::kPageStyle +
                       kReportStyle + (trend != nullptr ? kTrendStyle : "") +
                       "</style>\n</head>\n<body>\n";
    html += HeaderHtml(report, heading, trend != nullptr);
    html += "<h3>" + Shown(K720_TEXT("Messages", "Summary")) + "</h3>\n" +
            SummaryTables(report, trend != nullptr);
    if (trend != nullptr) {
        html += TrendSection(*trend);
    }
    for (const Summary& unit : report.units) {
        if (unit.readings > 0) {
            html += UnitSection(unit);
        }
    }
    return html + html::SignOffHtml() + "</body>\n</html>\n";
}

} // namespace report
