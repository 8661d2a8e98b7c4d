#include "report/report_text.h"

#include <cstdio>

#include "base/texts.h"
#include "measure/reading_record.h"
#include "report/utf8_text.h"

namespace report {

namespace {

// A label of the text in the user's language.
std::string Label(const char* text) {
    return Translate(kMessages, text);
}

// A label in its column: the columns are counted on a terminal, where a Japanese glyph takes
// two.
std::string Column(const char* label, std::size_t width) {
    return PaddedToWidth(Label(label), width);
}

std::string CountLine(const char* name, int count, int whole) {
    return "  " + Column(name, 18) + PaddedToWidth(std::to_string(count), 6) +
           ShareText(count, whole) + '\n';
}

// "NAME VALUE": one figure after its label.
std::string Figure(const char* name, const std::string& value) {
    return Label(name) + ' ' + value;
}

// `underRange`: the quantity has an under-range code (the voltage).
std::string SpreadLine(const char* name, const Spread& spread, bool underRange) {
    std::string line = "  " + Column(name, 18) +
                       Figure(K720_TEXT("Messages", "count"), std::to_string(spread.count));
    if (spread.count > 0) {
        line += "  " + Figure(K720_TEXT("Messages", "min"), spread.minimumText) + "  " +
                Figure(K720_TEXT("Messages", "max"), spread.maximumText) + "  " +
                Figure(K720_TEXT("Messages", "mean"), FigureText(spread.Mean())) + "  " +
                Figure(K720_TEXT("Messages", "s.d."), FigureText(spread.StandardDeviation()));
    }
    line += "  " + Figure(K720_TEXT("Messages", "over range"), std::to_string(spread.overRange));
    if (underRange) {
        line +=
            "  " + Figure(K720_TEXT("Messages", "under range"), std::to_string(spread.underRange));
    }
    return line + '\n';
}

// A unit's or the whole's figures; `emptySlots` false over the history, which keeps none.
std::string SummaryText(const std::string& title, const Summary& s, bool fahrenheit,
                        bool emptySlots) {
    std::string text = title + '\n';
    text +=
        "  " + Column(K720_TEXT("Messages", "Readings"), 18) +
        (emptySlots ? PaddedToWidth(std::to_string(s.readings), 6) +
                          Figure(K720_TEXT("Messages", "empty slots"), std::to_string(s.emptySlots))
                    : std::to_string(s.readings)) +
        '\n';
    // The results are the instrument's own words.
    text += CountLine("PASS", s.pass, s.readings);
    text += CountLine("FAIL", s.fail, s.readings);
    text += CountLine("WARNING", s.warning, s.readings);
    text += CountLine(K720_TEXT("Messages", "no judgement"), s.unjudged, s.readings);
    text += SpreadLine(K720_TEXT("Messages", "Resistance [mohm]"), s.resistance, false);
    text += SpreadLine(K720_TEXT("Messages", "Voltage [V]"), s.voltage, true);
    text += "  " + PaddedToWidth(FillText(kMessages, K720_TEXT("Messages", "Temperature [%1]"),
                                          {fahrenheit ? "F" : "C"}),
                                 18);
    if (s.temperature.count > 0) {
        text += Figure(K720_TEXT("Messages", "min"), s.temperature.minimumText) + "  " +
                Figure(K720_TEXT("Messages", "max"), s.temperature.maximumText) + "  ";
    }
    text +=
        Figure(K720_TEXT("Messages", "out of range"), std::to_string(s.temperature.outOfRange)) +
        '\n';
    if (!s.first.empty()) {
        text += "  " + Column(K720_TEXT("Messages", "Measured"), 18) +
                FillText(kMessages, K720_TEXT("Messages", "%1 to %2"), {s.first, s.last}) + '\n';
    }
    if (s.unusableTimes > 0) {
        text += "  " + Column(K720_TEXT("Messages", "Unusable times"), 18) +
                FillText(kMessages,
                         K720_TEXT("Messages",
                                   "%1 (no real date and time; counted, never first or last)"),
                         {std::to_string(s.unusableTimes)}) +
                '\n';
    }
    return text;
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

// The figures of a day's quantity: median, minimum and maximum, each in a column.
std::string DayFigures(const std::optional<DaySpread>& spread) {
    if (!spread) {
        return PaddedToWidth("-", 30);
    }
    return PaddedToWidth(spread->median.Text(), 10) +
           PaddedToWidth(MilliText(spread->minimum), 10) +
           PaddedToWidth(MilliText(spread->maximum), 10);
}

// A table line without the padding of its last column.
std::string TableLine(std::string line) {
    line.erase(line.find_last_not_of(' ') + 1);
    return line + '\n';
}

std::string TrendText(const DailyTrend& trend) {
    const std::string figures = Column(K720_TEXT("Messages", "median"), 10) +
                                Column(K720_TEXT("Messages", "min"), 10) +
                                Column(K720_TEXT("Messages", "max"), 10);
    std::string text = Label(K720_TEXT("Messages", "Trend by day")) + '\n';
    text += TableLine("  " + Column(K720_TEXT("Messages", "Day"), 12) +
                      Column(K720_TEXT("Messages", "Readings"), 10) +
                      Column(K720_TEXT("Messages", "Resistance [mohm]"), 30) +
                      Label(K720_TEXT("Messages", "Voltage [V]")));
    text += TableLine("  " + std::string(22, ' ') + figures + figures);
    for (const TrendDay& day : trend.days) {
        text += TableLine("  " + PaddedToWidth(day.day, 12) +
                          PaddedToWidth(std::to_string(day.readings), 10) +
                          DayFigures(day.resistance) + DayFigures(day.voltage));
    }
    return text;
}

std::string JsonDaySpread(const std::optional<DaySpread>& s) {
    if (!s) {
        return "null";
    }
    return "{\"count\": " + std::to_string(s->count) + ", \"min\": " + MilliText(s->minimum) +
           ", \"q1\": " + s->lowerQuartile.Text() + ", \"median\": " + s->median.Text() +
           ", \"q3\": " + s->upperQuartile.Text() + ", \"max\": " + MilliText(s->maximum) + "}";
}

std::string JsonTrend(const DailyTrend& trend) {
    std::string json = "[";
    for (std::size_t i = 0; i < trend.days.size(); ++i) {
        const TrendDay& day = trend.days[i];
        json += (i == 0 ? "\n  " : ",\n  ") + std::string("{\"day\": ") + JsonString(day.day) +
                ", \"readings\": " + std::to_string(day.readings) +
                ", \"resistance\": " + JsonDaySpread(day.resistance) +
                ", \"voltage\": " + JsonDaySpread(day.voltage) + "}";
    }
    return json + "]";
}

} // namespace

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

std::string FigureText(const std::optional<double>& figure) {
    if (!figure) {
        return "-";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", *figure);
    return text;
}

std::string ReportText(const MeasurementReport& report, const DailyTrend* trend) {
    // A report over the history (the one with a trend) has no model and no empty slot; its date
    // is the span of measurement days.
    const bool overHistory = trend != nullptr;
    std::string text = Column(K720_TEXT("Messages", "File"), 9) + report.file + '\n';
    if (!overHistory) {
        text += Column(K720_TEXT("Messages", "Model"), 9) + report.model + '\n';
    }
    text += Column(K720_TEXT("Messages", "Serial"), 9) + report.serial + '\n';
    text +=
        Column(overHistory ? K720_TEXT("Messages", "Measured") : K720_TEXT("Messages", "Date"), 9) +
        report.date + '\n';
    for (const Summary& unit : report.units) {
        text += '\n' + SummaryText(FillText(kMessages, K720_TEXT("Messages", "UNIT %1"),
                                            {std::string(1, unit.unit)}),
                                   unit, report.fahrenheit, !overHistory);
    }
    text += '\n' + SummaryText(Label(K720_TEXT("Messages", "All units")), report.total,
                               report.fahrenheit, !overHistory);
    if (trend != nullptr) {
        text += '\n' + TrendText(*trend);
    }
    if (report.cut) {
        text += '\n' +
                FillText(kMessages, K720_TEXT("Messages", "Note: %1"), {report.shownCutNote}) +
                '\n';
    }
    return text;
}

std::string ReportJson(const MeasurementReport& report, const DailyTrend* trend) {
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
    json += "],\n \"total\": " + JsonSummary(report.total, false);
    if (trend != nullptr) {
        json += ",\n \"trend\": " + JsonTrend(*trend);
    }
    return json + "}\n";
}

} // namespace report
