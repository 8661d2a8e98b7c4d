#include "report/svg_plot.h"

#include <algorithm>
#include <cmath>

#include "report/page_parts.h"

namespace report::svg {

using html::Fixed;

Axis NiceAxis(double low, double high, int tickCount) {
    if (!(high > low)) {
        const double pad = std::max(std::abs(low) * 0.05, 0.01);
        low -= pad;
        high += pad;
    }
    const double rough = (high - low) / tickCount;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    const double fraction = rough / magnitude;
    const double nice = fraction < 1.5 ? 1 : fraction < 3 ? 2 : fraction < 7 ? 5 : 10;
    Axis axis;
    axis.step = nice * magnitude;
    axis.low = std::floor(low / axis.step + 1e-9) * axis.step;
    axis.high = std::ceil(high / axis.step - 1e-9) * axis.step;
    return axis;
}

Axis CountAxis(int high, int tickCount) {
    Axis axis = NiceAxis(0, std::max(high, 1), tickCount);
    axis.step = std::max(axis.step, 1.0);
    axis.low = 0;
    axis.high = std::ceil(std::max(high, 1) / axis.step - 1e-9) * axis.step;
    return axis;
}

Axis DataAxis(double low, double high, int tickCount, double topMargin) {
    const double span = high > low ? high - low : std::max(std::abs(low) * 0.05, 0.01);
    return NiceAxis(low - span * 0.03, high + span * topMargin, tickCount);
}

std::vector<double> Ticks(const Axis& axis) {
    std::vector<double> ticks;
    const long count = std::lround((axis.high - axis.low) / axis.step);
    for (long i = 0; i <= count; ++i) {
        ticks.push_back(axis.low + static_cast<double>(i) * axis.step);
    }
    return ticks;
}

std::string TickText(double value, double step) {
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    return Fixed(value, decimals);
}

std::string Coordinate(double value) {
    return Fixed(value, 1);
}

std::string SvgOpen(const char* cssClass, double width, double height, std::string_view label) {
    return std::string("<svg class=\"") + cssClass + "\" viewBox=\"0 0 " + Coordinate(width) + ' ' +
           Coordinate(height) + "\" width=\"" + Coordinate(width * kMillimetresPerUnit) +
           "mm\" height=\"" + Coordinate(height * kMillimetresPerUnit) +
           "mm\" role=\"img\" aria-label=\"" + std::string(label) + "\">\n";
}

std::string Line(double x1, double y1, double x2, double y2, const char* cssClass) {
    return "<line class=\"" + std::string(cssClass) + "\" x1=\"" + Coordinate(x1) + "\" y1=\"" +
           Coordinate(y1) + "\" x2=\"" + Coordinate(x2) + "\" y2=\"" + Coordinate(y2) + "\"/>\n";
}

std::string Text(double x, double y, const char* anchor, std::string_view text,
                 const char* cssClass) {
    std::string svg = "<text x=\"" + Coordinate(x) + "\" y=\"" + Coordinate(y) +
                      "\" text-anchor=\"" + anchor + '"';
    if (cssClass != nullptr) {
        svg += std::string(" class=\"") + cssClass + '"';
    }
    return svg + '>' + std::string(text) + "</text>\n";
}

std::string AxesSvg(const Plot& plot, std::string_view xTitle, std::string_view yTitle,
                    const std::vector<XLabel>* xLabels) {
    std::string svg;
    std::vector<XLabel> ticks;
    if (xLabels == nullptr) {
        for (const double tick : Ticks(plot.x)) {
            ticks.push_back({tick, TickText(tick, plot.x.step)});
        }
    }
    for (const XLabel& label : xLabels != nullptr ? *xLabels : ticks) {
        const double x = plot.X(label.value);
        svg += Line(x, plot.top, x, plot.Bottom(), "grid");
        svg += Text(x, plot.Bottom() + 16, "middle", label.text);
    }
    for (const double tick : Ticks(plot.y)) {
        const double y = plot.Y(tick);
        svg += Line(plot.left, y, plot.Right(), y, "grid");
        svg += Text(plot.left - 6, y + 4.5, "end", TickText(tick, plot.y.step));
    }
    svg += "<rect class=\"frame\" x=\"" + Coordinate(plot.left) + "\" y=\"" + Coordinate(plot.top) +
           "\" width=\"" + Coordinate(plot.Right() - plot.left) + "\" height=\"" +
           Coordinate(plot.Bottom() - plot.top) + "\"/>\n";
    svg += Text((plot.left + plot.Right()) / 2, plot.height - 6, "middle", xTitle);
    const double middle = (plot.top + plot.Bottom()) / 2;
    svg += "<text x=\"14\" y=\"" + Coordinate(middle) + "\" text-anchor=\"middle\" " +
           "transform=\"rotate(-90 14 " + Coordinate(middle) + ")\">" + std::string(yTitle) +
           "</text>\n";
    return svg;
}

std::string EmptyPlotSvg(const char* cssClass, double width, double height,
                         std::string_view message) {
    Plot plot;
    plot.width = width;
    plot.height = height;
    return SvgOpen(cssClass, width, height, message) + "<rect class=\"frame\" x=\"" +
           Coordinate(plot.left) + "\" y=\"" + Coordinate(plot.top) + "\" width=\"" +
           Coordinate(plot.Right() - plot.left) + "\" height=\"" +
           Coordinate(plot.Bottom() - plot.top) + "\"/>\n" +
           Text((plot.left + plot.Right()) / 2, (plot.top + plot.Bottom()) / 2, "middle", message,
                "empty") +
           "</svg>\n";
}

} // namespace report::svg
