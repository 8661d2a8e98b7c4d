#include "packs/build_sheet_page.h"

#include <algorithm>
#include <cmath>

#include "base/texts.h"
#include "report/page_parts.h"
#include "report/svg_plot.h"

namespace packs {

namespace {

using report::html::Escape;
using report::html::Fact;
using report::html::Fixed;
using report::html::kOhm;
using report::html::ResistanceTitle;
using report::html::Shown;
using report::svg::AxesSvg;
using report::svg::Coordinate;
using report::svg::DataAxis;
using report::svg::kLegendBaseline;
using report::svg::Line;
using report::svg::Plot;
using report::svg::SvgOpen;
using report::svg::Text;
using report::svg::XLabel;

constexpr const char* kPageName = K720_TEXT("Messages", "K720 build sheet");
constexpr const char* kGroupResistances = K720_TEXT("Messages", "Group resistances");
constexpr const char* kCellsByGroup = K720_TEXT("Messages", "Voltage against resistance by group");

constexpr const char* kSheetStyle =
    R"(section.pack { break-inside: avoid; page-break-inside: avoid; margin-top: 5mm }
table.groups td.cells { text-align: left; white-space: normal; font-weight: normal }
.cell { display: inline-block; margin: 0 2.5mm 0 0 }
.cell small { color: #666 }
.swatch { display: inline-block; width: 2.6mm; height: 2.6mm; border-radius: 50%;
  margin-right: 1mm; vertical-align: -0.3mm }
.cells-list { display: flex; flex-wrap: wrap; gap: 0.5mm 5mm; margin: 0 0 2mm }
svg .mean { stroke: #333; stroke-width: 1.2; stroke-dasharray: 6 4 }
svg .group-resistance { fill: #1f4e79 }
svg text.group-label { font-size: 11px; font-weight: 600 }
)";

double Value(std::int64_t thousandths) {
    return static_cast<double>(thousandths) / 1000.0;
}

const Cell& CellAt(const Sheet& sheet, int index) {
    return sheet.cells.cells[static_cast<std::size_t>(index)];
}

// The colour of group `g` (from 0): hues a golden angle apart, so that neighbouring groups, which
// lie close together in resistance, differ most.
std::string GroupColour(std::size_t g) {
    const double hue = std::fmod(210.0 + 137.508 * static_cast<double>(g), 360.0);
    return "hsl(" + std::to_string(std::lround(hue)) + ",62%,40%)";
}

// The groups' numbers under the x axis: all of them up to 20, else about ten, the first one first.
std::vector<XLabel> GroupLabels(std::size_t groups) {
    const std::size_t step = groups <= 20 ? 1 : (groups + 9) / 10;
    std::vector<XLabel> labels;
    for (std::size_t g = 0; g < groups; g += step) {
        labels.push_back({static_cast<double>(g + 1), std::to_string(g + 1)});
    }
    return labels;
}

// Each group's resistance against the pack's mean (dashed): the spread made visible.
std::string GroupResistancesSvg(const Pack& pack) {
    double low = pack.groups.front().resistance, high = low, sum = 0;
    for (const Group& group : pack.groups) {
        low = std::min(low, group.resistance);
        high = std::max(high, group.resistance);
        sum += group.resistance;
    }
    const double mean = sum / static_cast<double>(pack.groups.size());
    Plot plot;
    plot.rightMargin = 44; // the mean's label
    plot.x = {0.5, static_cast<double>(pack.groups.size()) + 0.5, 1};
    plot.y = DataAxis(low, high, 5);
    const std::vector<XLabel> labels = GroupLabels(pack.groups.size());
    std::string svg =
        SvgOpen("group-resistances", plot.width, plot.height, Shown(kGroupResistances));
    svg += AxesSvg(plot, Shown(K720_TEXT("Messages", "Group")), ResistanceTitle(), &labels);
    svg += Line(plot.left, plot.Y(mean), plot.Right(), plot.Y(mean), "mean");
    svg +=
        Text(plot.Right() + 4, plot.Y(mean) + 4.5, "start", Shown(K720_TEXT("Messages", "mean")));
    for (std::size_t g = 0; g < pack.groups.size(); ++g) {
        svg += "<circle class=\"group-resistance\" cx=\"" +
               Coordinate(plot.X(static_cast<double>(g + 1))) + "\" cy=\"" +
               Coordinate(plot.Y(pack.groups[g].resistance)) + "\" r=\"3.5\"/>\n";
    }
    return svg + "</svg>\n";
}

// Every cell of the pack, its voltage against its resistance, in its group's colour; the group's
// number at the middle of its cells.
std::string CellsByGroupSvg(const Sheet& sheet, const Pack& pack) {
    std::int64_t rLow = CellAt(sheet, pack.groups.front().cells.front()).resistance, rHigh = rLow;
    std::int64_t vLow = CellAt(sheet, pack.groups.front().cells.front()).voltage, vHigh = vLow;
    for (const Group& group : pack.groups) {
        for (const int index : group.cells) {
            const Cell& cell = CellAt(sheet, index);
            rLow = std::min(rLow, cell.resistance);
            rHigh = std::max(rHigh, cell.resistance);
            vLow = std::min(vLow, cell.voltage);
            vHigh = std::max(vHigh, cell.voltage);
        }
    }
    Plot plot;
    plot.x = DataAxis(Value(rLow), Value(rHigh), 6);
    plot.y = DataAxis(Value(vLow), Value(vHigh), 5);
    std::string svg = SvgOpen("cells-by-group", plot.width, plot.height, Shown(kCellsByGroup));
    svg += AxesSvg(plot, ResistanceTitle(), Shown(K720_TEXT("Messages", "Voltage [V]")));
    std::string labels;
    for (std::size_t g = 0; g < pack.groups.size(); ++g) {
        const std::string colour = GroupColour(g);
        double x = 0, y = 0;
        for (const int index : pack.groups[g].cells) {
            const Cell& cell = CellAt(sheet, index);
            x += plot.X(Value(cell.resistance));
            y += plot.Y(Value(cell.voltage));
            svg += "<circle cx=\"" + Coordinate(plot.X(Value(cell.resistance))) + "\" cy=\"" +
                   Coordinate(plot.Y(Value(cell.voltage))) + "\" r=\"3\" fill=\"" + colour +
                   "\"/>\n";
        }
        const auto cells = static_cast<double>(pack.groups[g].cells.size());
        labels += "<text x=\"" + Coordinate(x / cells + 5) + "\" y=\"" + Coordinate(y / cells - 5) +
                  "\" class=\"group-label\" fill=\"" + colour + "\">" + std::to_string(g + 1) +
                  "</text>\n";
    }
    // The numbers over every dot, so that no dot hides one.
    return svg + labels + "</svg>\n";
}

std::string Swatch(std::size_t g) {
    return "<span class=\"swatch\" style=\"background:" + GroupColour(g) + "\"></span>";
}

// "C-017 20.110 / 3.712": a cell with its resistance and voltage.
std::string CellHtml(const Cell& cell) {
    return "<span class=\"cell\">" + Escape(cell.name) + " <small>" +
           ThousandthsText(cell.resistance) + " / " + ThousandthsText(cell.voltage) +
           "</small></span> ";
}

std::string GroupTable(const Sheet& sheet, const Pack& pack) {
    std::string html =
        "<table class=\"groups\">\n<tr><th>" + Shown(K720_TEXT("Messages", "Group")) + "</th><th>" +
        ResistanceTitle() + "</th><th>" + Shown(K720_TEXT("Messages", "Voltage span [V]")) +
        "</th><th>" + Shown(K720_TEXT("Messages", "Resistance span [%]")) + "</th><th>" +
        FillText(kMessages, K720_TEXT("Messages", "Cells (resistance [%1] / voltage [V])"),
                 {kOhm}) +
        "</th></tr>\n";
    for (std::size_t g = 0; g < pack.groups.size(); ++g) {
        const Group& group = pack.groups[g];
        const GroupSpans spans = SpansOf(sheet.cells.cells, group.cells);
        html += "<tr><td>" + Swatch(g) + std::to_string(g + 1) + "</td><td>" +
                Fixed(group.resistance, 4) + "</td><td>" + ThousandthsText(spans.voltage) +
                "</td><td>" + Fixed(spans.ResistancePercent(), 1) + "</td><td class=\"cells\">";
        for (const int index : group.cells) {
            html += CellHtml(CellAt(sheet, index));
        }
        html += "</td></tr>\n";
    }
    return html + "</table>\n";
}

std::string PackSection(const Sheet& sheet, std::size_t p, const std::string& shape) {
    const Pack& pack = sheet.placement.packs[p];
    return "<section class=\"pack\">\n<h2>" +
           FillText(kMessages, K720_TEXT("Messages", "Pack %1 of %2: %3"),
                    {std::to_string(p + 1), std::to_string(sheet.placement.packs.size()), shape}) +
           "</h2>\n<p class=\"facts\">\n" +
           Fact(K720_TEXT("Messages", "Pack resistance"), Fixed(pack.resistance, 3) + ' ' + kOhm) +
           Fact(K720_TEXT("Messages", "Spread of the group resistances"),
                Fixed(pack.spreadPercent, 2) + " %") +
           Fact(K720_TEXT("Messages", "The plain deal's spread"),
                Fixed(pack.plainDealSpreadPercent, 2) + " %") +
           "</p>\n<div class=\"plots\">\n<figure><figcaption>" + Shown(kGroupResistances) +
           "</figcaption>\n" + GroupResistancesSvg(pack) + "</figure>\n<figure><figcaption>" +
           Shown(kCellsByGroup) + "</figcaption>\n" + CellsByGroupSvg(sheet, pack) +
           "</figure>\n</div>\n" + GroupTable(sheet, pack) + "</section>\n";
}

// The spares with their figures, then every reading and cell left out with why.
std::string RestSection(const Sheet& sheet) {
    std::string html = "<h3>" +
                       FillText(kMessages, K720_TEXT("Messages", "Spares: %1"),
                                {std::to_string(sheet.placement.spares.size())}) +
                       "</h3>\n<p class=\"cells-list\">\n";
    for (const int index : sheet.placement.spares) {
        html += CellHtml(CellAt(sheet, index)) + '\n';
    }
    html +=
        "</p>\n<h3>" +
        FillText(kMessages, K720_TEXT("Messages", "Left out: %1"),
                 {std::to_string(sheet.placement.leftOut.size() + sheet.cells.leftOut.size())}) +
        "</h3>\n<p class=\"cells-list\">\n";
    const auto leftOut = [&html](const std::string& name, const std::string& why) {
        html +=
            "<span class=\"cell\">" + Escape(name) + " <small>" + Escape(why) + "</small></span>\n";
    };
    for (const int index : sheet.placement.leftOut) {
        leftOut(CellAt(sheet, index).name, OutsideEveryWindowText());
    }
    for (const LeftOutReading& reading : sheet.cells.leftOut) {
        leftOut(reading.name, WhyLeftOutText(reading));
    }
    return html + "</p>\n";
}

std::string HeaderHtml(const Sheet& sheet, const SheetHeading& heading, const std::string& shape) {
    std::string html =
        "<header>\n<h1>" + Shown(kPageName) + "</h1>\n<p class=\"made\">" +
        FillText(kMessages, K720_TEXT("Messages", "made %1 by %2"),
                 {report::html::PaddedDateTime(heading.made), Escape(heading.program)}) +
        "</p>\n";
    for (const std::string& file : heading.files) {
        html += "<p class=\"file\">" + Escape(file) + "</p>\n";
    }
    return html + "<p class=\"facts\">\n" +
           Fact(K720_TEXT("Messages", "Packs"),
                std::to_string(sheet.placement.packs.size()) + " &#215; " + shape) +
           Fact(K720_TEXT("Messages", "Voltage span of a group at most"),
                ThousandthsText(sheet.rules.maxVoltageSpan) + " V") +
           Fact(K720_TEXT("Messages", "Resistance span of a group at most"),
                FillText(kMessages, K720_TEXT("Messages", "%1 % of its mean"),
                         {Fixed(sheet.rules.maxResistanceSpanPercent, 1)})) +
           Fact(K720_TEXT("Messages", "Results"), Escape(heading.results)) + "</p>\n</header>\n";
}

} // namespace

std::string BuildSheetHtml(const Sheet& sheet, const SheetHeading& heading) {
    const std::string shape =
        std::to_string(sheet.rules.series) + "S x " + std::to_string(sheet.rules.parallel) + "P";
    std::string html = "<!DOCTYPE html>\n<html lang=\"" + report::html::Language() +
                       "\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width\">\n<title>" +
                       Shown(kPageName) + " &#8211; " + shape + "</title>\n<style>\n" +
                       report::html::kPageStyle + kSheetStyle + "</style>\n</head>\n<body>\n" +
                       HeaderHtml(sheet, heading, shape);
    for (std::size_t p = 0; p < sheet.placement.packs.size(); ++p) {
        html += PackSection(sheet, p, shape);
    }
    return html + RestSection(sheet) + report::html::SignOffHtml() + "</body>\n</html>\n";
}

} // namespace packs
