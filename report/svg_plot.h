// The parts of the pages' plots: inline SVG at one scale (0.2 mm per user unit, so that every
// plot's text prints at one size), nice linear axes, the grid with its labels and titles, and a
// frame that says why a plot has nothing to draw.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace report::svg {

// Two half-width plots side by side and one full-width plot span the 186 mm of an A4 page
// between 12 mm margins.
inline constexpr double kMillimetresPerUnit = 0.2;
inline constexpr double kHalfWidth = 455;
inline constexpr double kFullWidth = 930;
inline constexpr double kPlotHeight = 270;

// The top line of every plot holds its key.
inline constexpr double kLegendBaseline = 20;

// A linear scale from `low` to `high`, with a tick every `step`.
struct Axis {
    double low = 0, high = 1, step = 1;
    double Fraction(double value) const { return (value - low) / (high - low); }
};

// The smallest range of whole steps that holds `low` to `high`, the step 1, 2 or 5 times a power
// of ten nearest to a `tickCount`-th of the range. An empty range is widened around its value.
Axis NiceAxis(double low, double high, int tickCount);

// An axis of whole numbers from 0 to at least `high`.
Axis CountAxis(int high, int tickCount);

// An axis over the values with a small margin, so that no dot sits on the frame.
Axis DataAxis(double low, double high, int tickCount, double topMargin = 0.03);

std::vector<double> Ticks(const Axis& axis);

// A tick's label with as many decimals as the step needs.
std::string TickText(double value, double step);

// SVG coordinates: one decimal is finer than print resolution.
std::string Coordinate(double value);

// A plot's drawing area within its view box and its scales. `xInset` keeps the ends of the x
// scale off the frame, for values that lie on them.
struct Plot {
    double width = kHalfWidth, height = kPlotHeight;
    Axis x, y;
    double left = 62, top = 32, rightMargin = 14, bottomMargin = 44;
    double xInset = 0;
    double Right() const { return width - rightMargin; }
    double Bottom() const { return height - bottomMargin; }
    double X(double value) const {
        return left + xInset + x.Fraction(value) * (Right() - left - 2 * xInset);
    }
    double Y(double value) const { return Bottom() - y.Fraction(value) * (Bottom() - top); }
};

// The opening tag of a plot of the class `cssClass`, sized for print; `label` (HTML text) names
// it for a screen reader.
std::string SvgOpen(const char* cssClass, double width, double height, std::string_view label);

std::string Line(double x1, double y1, double x2, double y2, const char* cssClass);

std::string Text(double x, double y, const char* anchor, std::string_view text,
                 const char* cssClass = nullptr);

// A label under the x axis at a value of the axis (HTML text, already escaped).
struct XLabel {
    double value = 0;
    std::string text;
};

// The grid, the tick labels and the axis titles (HTML text, already escaped); `xLabels`, when
// given, label the x axis in place of its ticks.
std::string AxesSvg(const Plot& plot, std::string_view xTitle, std::string_view yTitle,
                    const std::vector<XLabel>* xLabels = nullptr);

// A plot without anything to draw: its frame and why.
std::string EmptyPlotSvg(const char* cssClass, double width, double height,
                         std::string_view message);

} // namespace report::svg
