#include "report/report_text.h"

#include <cstdio>

#include "measure/reading_record.h"
#include "report/utf8_text.h"

namespace report {

namespace {

std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

std::string CountLine(const char* name, int count, int whole) {
    return "  " + Padded(name, 18) + Padded(std::to_string(count), 6) + ShareText(count, whole) +
           '\n';
}

// `underRange`: the quantity has an under-range code (the voltage).
std::string SpreadLine(const char* name, const Spread& spread, bool underRange) {
    std::string line = "  " + Padded(name, 18) + "count " + std::to_string(spread.count);
    if (spread.count > 0) {
        line += "  min " + spread.minimumText + "  max " + spread.maximumText + "  mean " +
                FigureText(spread.Mean()) + "  s.d. " + FigureText(spread.StandardDeviation());
    }
    line += "  over range " + std::to_string(spread.overRange);
    if (underRange) {
        line += "  under range " + std::to_string(spread.underRange);
    }
    return line + '\n';
}

std::string SummaryText(const std::string& title, const Summary& s, bool fahrenheit) {
    std::string text = title + '\n';
    text += "  " + Padded("Readings", 18) + Padded(std::to_string(s.readings), 6) + "empty slots " +
            std::to_string(s.emptySlots) + '\n';
    text += CountLine("PASS", s.pass, s.readings);
    text += CountLine("FAIL", s.fail, s.readings);
    text += CountLine("WARNING", s.warning, s.readings);
    text += CountLine("no judgement", s.unjudged, s.readings);
    text += SpreadLine("Resistance [mohm]", s.resistance, false);
    text += SpreadLine("Voltage [V]", s.voltage, true);
    text += "  " + Padded(fahrenheit ? "Temperature [F]" : "Temperature [C]", 18);
    if (s.temperature.count > 0) {
        text += "min " + s.temperature.minimumText + "  max " + s.temperature.maximumText + "  ";
    }
    text += "out of range " + std::to_string(s.temperature.outOfRange) + '\n';
    if (!s.first.empty()) {
        text += "  " + Padded("Measured", 18) + s.first + " to " + s.last + '\n';
    }
    if (s.unusableTimes > 0) {
        text += "  " + Padded("Unusable times", 18) + std::to_string(s.unusableTimes) +
                " (no real date and time; counted, never first or last)\n";
    }
    return text;
}

// A JSON string: valid UTF-8 whatever the bytes (U+FFFD for bytes that are not UTF-8), control
// characters escaped.
std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = NextCodePoint(text, at);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (IsControl(c)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            json += escaped;
        } else {
            AppendUtf8(json, c);
        }
    }
    return json + '"';
}

// A number as the file writes it ("4.200", "-60.00"), which is a JSON number unless the whole
// part has a leading zero ("04.2", never written by the program): that one as its exact value.
std::string JsonNumber(const std::string& text, Milli value) {
    const std::size_t digits = text.starts_with('-') ? 1 : 0;
    const bool leadingZero = text.size() > digits + 1 && text[digits] == '0' &&
                             text[digits + 1] >= '0' && text[digits + 1] <= '9';
    return leadingZero ? MilliText(value) : text;
}

std::string JsonFigure(const std::optional<double>& figure) {
    return figure ? FigureText(figure) : "null";
}

std::string JsonSpread(const Spread& s) {
    const bool any = s.count > 0;
    return "{\"count\": " + std::to_string(s.count) +
           ", \"min\": " + (any ? JsonNumber(s.minimumText, s.minimum) : "null") +
           ", \"max\": " + (any ? JsonNumber(s.maximumText, s.maximum) : "null") +
           ", \"mean\": " + JsonFigure(s.Mean()) +
           ", \"sd\": " + JsonFigure(s.StandardDeviation()) +
           ", \"overRange\": " + std::to_string(s.overRange) +
           ", \"underRange\": " + std::to_string(s.underRange) + "}";
}

std::string JsonTemperature(const std::string& text, int tenths) {
    return JsonNumber(text, Milli{tenths * 100});
}

std::string JsonSummary(const Summary& s, bool isUnit) {
    const TemperatureRange& t = s.temperature;
    std::string json = "{";
    if (isUnit) {
        json += "\"unit\": " + JsonString(std::string(1, s.unit)) + ", ";
    }
    json +=
        "\"readings\": " + std::to_string(s.readings) +
        ", \"emptySlots\": " + std::to_string(s.emptySlots) +
        ", \"pass\": " + std::to_string(s.pass) + ", \"fail\": " + std::to_string(s.fail) +
        ", \"warning\": " + std::to_string(s.warning) +
        ", \"unjudged\": " + std::to_string(s.unjudged) +
        ", \"resistance\": " + JsonSpread(s.resistance) +
        ", \"voltage\": " + JsonSpread(s.voltage) +
        ", \"temperature\": {\"count\": " + std::to_string(t.count) +
        ", \"min\": " + (t.count > 0 ? JsonTemperature(t.minimumText, t.minimumTenths) : "null") +
        ", \"max\": " + (t.count > 0 ? JsonTemperature(t.maximumText, t.maximumTenths) : "null") +
        ", \"outOfRange\": " + std::to_string(t.outOfRange) + "}" +
        ", \"first\": " + (s.first.empty() ? "null" : JsonString(s.first)) +
        ", \"last\": " + (s.last.empty() ? "null" : JsonString(s.last)) +
        ", \"unusableTimes\": " + std::to_string(s.unusableTimes);
    if (isUnit) {
        json += ", \"limits\": ";
        json += s.limits ? "{\"rLim1\": " + MilliText(s.limits->limit1) +
                               ", \"rLim2\": " + MilliText(s.limits->limit2) +
                               ", \"vLim\": " + MilliText(s.limits->voltageLimit) + "}"
                         : "null";
    }
    return json + "}";
}

} // namespace

std::string FigureText(const std::optional<double>& figure) {
    if (!figure) {
        return "-";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", *figure);
    return text;
}

std::string ReportText(const MeasurementReport& report) {
    std::string text = "File     " + report.file + '\n';
    text += "Model    " + report.model + '\n';
    text += "Serial   " + report.serial + '\n';
    text += "Date     " + report.date + '\n';
    for (const Summary& unit : report.units) {
        text += '\n' + SummaryText("UNIT " + std::string(1, unit.unit), unit, report.fahrenheit);
    }
    text += '\n' + SummaryText("All units", report.total, report.fahrenheit);
    if (report.cut) {
        text += "\nNote: " + report.cutNote + '\n';
    }
    return text;
}

std::string ReportJson(const MeasurementReport& report) {
    std::string json =
        "{\"file\": " + JsonString(report.file) + ", \"model\": " + JsonString(report.model) +
        ", \"serial\": " + JsonString(report.serial) + ", \"date\": " + JsonString(report.date) +
        ", \"version\": " + JsonString(report.version) +
        ", \"temperatureUnit\": " + (report.fahrenheit ? "\"F\"" : "\"C\"") +
        ", \"cut\": " + (report.cut ? "true" : "false") +
        ", \"note\": " + (report.cut ? JsonString(report.cutNote) : "null") + ",\n \"units\": [";
    for (std::size_t i = 0; i < report.units.size(); ++i) {
        json += (i == 0 ? "\n  " : ",\n  ") + JsonSummary(report.units[i], true);
    }
    json += "],\n \"total\": " + JsonSummary(report.total, false) + "}\n";
    return json;
}

} // namespace report
