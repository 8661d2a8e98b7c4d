#include "packs/build_sheet.h"

#include <algorithm>
#include <cstdio>

#include "base/texts.h"
#include "measure/measurement_csv.h"
#include "measure/reading_record.h"
#include "report/page_parts.h"
#include "report/report_text.h"
#include "report/utf8_text.h"

namespace packs {

using report::html::Fixed;

std::string ThousandthsText(std::int64_t thousandths) {
    const std::int64_t magnitude = thousandths < 0 ? -thousandths : thousandths;
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld.%03lld", thousandths < 0 ? "-" : "",
                  static_cast<long long>(magnitude / 1000),
                  static_cast<long long>(magnitude % 1000));
    return text;
}

namespace {

// Why a reading is no cell, in English for the JSON.
std::string WhyLeftOutForScripts(const LeftOutReading& reading) {
    switch (reading.why) {
    case NotACell::ResultNotAsked:
        return reading.result == report::Result::None
                   ? "none"
                   : measure::ResultText(static_cast<int>(reading.result));
    case NotACell::ResistanceOverRange:
        return "resistance over range";
    case NotACell::VoltageOutOfRange:
        return "voltage out of range";
    }
    return "";
}

std::string JsonCell(const Cell& cell) {
    return "{\"cell\": " + report::JsonString(cell.name) +
           ", \"resistance\": " + ThousandthsText(cell.resistance) +
           ", \"voltage\": " + ThousandthsText(cell.voltage) + "}";
}

// A cell's line, its name padded to `nameWidth` columns so that the figures stand in columns.
std::string CellLine(const Cell& cell, std::size_t nameWidth) {
    char figures[64];
    std::snprintf(figures, sizeof figures, " %10s mohm  %7s V\n",
                  ThousandthsText(cell.resistance).c_str(), ThousandthsText(cell.voltage).c_str());
    return "    " + report::PaddedToWidth(cell.name, nameWidth) + figures;
}

// The widest name of the cells, at least 14 columns.
std::size_t NameWidth(const std::vector<Cell>& cells) {
    std::size_t width = 14;
    for (const Cell& cell : cells) {
        width = std::max(width, report::DisplayWidth(cell.name));
    }
    return width;
}

} // namespace

std::string WhyLeftOutText(const LeftOutReading& reading) {
    switch (reading.why) {
    case NotACell::ResultNotAsked:
        return reading.result == report::Result::None
                   ? Translate(kMessages, K720_TEXT("Messages", "no judgement"))
                   : measure::ResultText(static_cast<int>(reading.result));
    case NotACell::ResistanceOverRange:
        return Translate(kMessages, K720_TEXT("Messages", "resistance over range"));
    case NotACell::VoltageOutOfRange:
        return Translate(kMessages, K720_TEXT("Messages", "voltage out of range"));
    }
    return "";
}

std::string OutsideEveryWindowText() {
    return Translate(kMessages, K720_TEXT("Messages", "outside every voltage window"));
}

std::string BuildSheetText(const Sheet& sheet) {
    const std::vector<Cell>& cells = sheet.cells.cells;
    const Placement& placement = sheet.placement;
    const std::size_t nameWidth = NameWidth(cells);
    std::string text;
    const std::string shape =
        std::to_string(sheet.rules.series) + "S x " + std::to_string(sheet.rules.parallel) + "P";
    for (std::size_t p = 0; p < placement.packs.size(); ++p) {
        const Pack& pack = placement.packs[p];
        text += FillText(kMessages, K720_TEXT("Messages", "Pack %1 of %2: %3"),
                         {std::to_string(p + 1), std::to_string(placement.packs.size()), shape}) +
                '\n';
        text += "  " +
                FillText(kMessages,
                         K720_TEXT("Messages", "resistance %1 mohm, spread of the group "
                                               "resistances %2 % (the plain deal: %3 %)"),
                         {Fixed(pack.resistance, 3), Fixed(pack.spreadPercent, 2),
                          Fixed(pack.plainDealSpreadPercent, 2)}) +
                '\n';
        for (std::size_t g = 0; g < pack.groups.size(); ++g) {
            const Group& group = pack.groups[g];
            const GroupSpans spans = SpansOf(cells, group.cells);
            text +=
                "  " +
                FillText(kMessages,
                         K720_TEXT("Messages", "Group %1: %2 mohm, voltage span %3 V, "
                                               "resistance span %4 %"),
                         {std::to_string(g + 1), Fixed(group.resistance, 4),
                          ThousandthsText(spans.voltage), Fixed(spans.ResistancePercent(), 1)}) +
                '\n';
            for (const int cell : group.cells) {
                text += CellLine(cells[static_cast<std::size_t>(cell)], nameWidth);
            }
        }
        text += '\n';
    }
    text += FillText(kMessages, K720_TEXT("Messages", "Spares: %1"),
                     {std::to_string(placement.spares.size())}) +
            '\n';
    for (const int cell : placement.spares) {
        text += CellLine(cells[static_cast<std::size_t>(cell)], nameWidth);
    }
    text += FillText(kMessages, K720_TEXT("Messages", "Left out: %1"),
                     {std::to_string(placement.leftOut.size() + sheet.cells.leftOut.size())}) +
            '\n';
    for (const int cell : placement.leftOut) {
        text += "    " + cells[static_cast<std::size_t>(cell)].name + "  " +
                OutsideEveryWindowText() + '\n';
    }
    for (const LeftOutReading& reading : sheet.cells.leftOut) {
        text += "    " + reading.name + "  " + WhyLeftOutText(reading) + '\n';
    }
    return text;
}

std::string BuildSheetJson(const Sheet& sheet) {
    const std::vector<Cell>& cells = sheet.cells.cells;
    const Placement& placement = sheet.placement;
    std::string json = "{\"series\": " + std::to_string(sheet.rules.series) +
                       ", \"parallel\": " + std::to_string(sheet.rules.parallel) +
                       ", \"maxDv\": " + ThousandthsText(sheet.rules.maxVoltageSpan) +
                       ", \"maxDrPercent\": " + Fixed(sheet.rules.maxResistanceSpanPercent, 3) +
                       ",\n \"packs\": [";
    for (std::size_t p = 0; p < placement.packs.size(); ++p) {
        const Pack& pack = placement.packs[p];
        json += std::string(p > 0 ? "," : "") + "\n  {\"pack\": " + std::to_string(p + 1) +
                ", \"resistance\": " + Fixed(pack.resistance, 4) +
                ", \"spreadPercent\": " + Fixed(pack.spreadPercent, 4) +
                ", \"plainDealSpreadPercent\": " + Fixed(pack.plainDealSpreadPercent, 4) +
                ", \"groups\": [";
        for (std::size_t g = 0; g < pack.groups.size(); ++g) {
            const Group& group = pack.groups[g];
            const GroupSpans spans = SpansOf(cells, group.cells);
            json += std::string(g > 0 ? "," : "") + "\n   {\"group\": " + std::to_string(g + 1) +
                    ", \"resistance\": " + Fixed(group.resistance, 4) +
                    ", \"voltageSpan\": " + ThousandthsText(spans.voltage) +
                    ", \"resistanceSpanPercent\": " + Fixed(spans.ResistancePercent(), 4) +
                    ", \"cells\": [";
            for (std::size_t c = 0; c < group.cells.size(); ++c) {
                json +=
                    (c > 0 ? ", " : "") + JsonCell(cells[static_cast<std::size_t>(group.cells[c])]);
            }
            json += "]}";
        }
        json += "]}";
    }
    json += "],\n \"spares\": [";
    for (std::size_t i = 0; i < placement.spares.size(); ++i) {
        json +=
            (i > 0 ? ", " : "") + JsonCell(cells[static_cast<std::size_t>(placement.spares[i])]);
    }
    json += "],\n \"leftOut\": [";
    bool first = true;
    const auto leftOut = [&json, &first](const std::string& name, const std::string& why) {
        json += std::string(first ? "" : ", ") + "{\"cell\": " + report::JsonString(name) +
                ", \"why\": " + report::JsonString(why) + "}";
        first = false;
    };
    for (const int cell : placement.leftOut) {
        leftOut(cells[static_cast<std::size_t>(cell)].name, "outside every voltage window");
    }
    for (const LeftOutReading& reading : sheet.cells.leftOut) {
        leftOut(reading.name, WhyLeftOutForScripts(reading));
    }
    return json + "]}\n";
}

std::string BuildSheetCsv(const Sheet& sheet) {
    std::string csv = "Pack,Group,Position,Cell,Resistance[mohm],Voltage[volt]\r\n";
    for (std::size_t p = 0; p < sheet.placement.packs.size(); ++p) {
        const Pack& pack = sheet.placement.packs[p];
        for (std::size_t g = 0; g < pack.groups.size(); ++g) {
            for (std::size_t position = 0; position < pack.groups[g].cells.size(); ++position) {
                const Cell& cell =
                    sheet.cells.cells[static_cast<std::size_t>(pack.groups[g].cells[position])];
                csv += std::to_string(p + 1) + ',' + std::to_string(g + 1) + ',' +
                       std::to_string(position + 1) + ',' + measure::CsvCell(cell.name) + ',' +
                       ThousandthsText(cell.resistance) + ',' + ThousandthsText(cell.voltage) +
                       "\r\n";
            }
        }
    }
    return csv;
}

} // namespace packs
