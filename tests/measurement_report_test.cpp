// The summary of a measurement file: figures worked out by hand for a small file with every
// special text, both temperature units, a cut file, the file's own texts in every output, and
// the files that are refused.
#include <algorithm>
#include <array>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "report/daily_trend.h"
#include "report/measurement_report.h"
#include "report/report_page.h"
#include "report/report_text.h"
#include "translations/text_language.h"

namespace {

using report::FigureText;
using report::MilliText;
using report::ParseMeasurementFile;

const std::string kHeader = "Model,K720 BATTERY TARVELIN\r\nSerial,123456789\r\n"
                            "Date,2014-3-10,,V1.03\r\n\r\n\r\n";
std::string Columns(char unit) {
    return std::string("No,R-Range,Resistance[mohm],R-Lim1[mohm],R-Lim2[mohm],V-Range,") +
           "Voltage[volt],V-Lim[volt],Temperature[" + unit + "],Result,Date,Time\r\n";
}

// Unit C complete, then unit A cut after its first slot; units not in letter order.
const std::string kFile =
    kHeader + "UNIT C\r\n\r\n" + Columns('C') +
    "1,30m,12.34,15.00,10.00,6V,3.712,3.500,35.3,PASS,2014-3-5,9:07\r\n"
    "2,,,,,,,,,,,\r\n"
    "3,3m,--,,,60V,12.50,,,,2014-3-5,9:08\r\n"
    "4,300m,9999,100.0,200.0,6V,-10.000,2.500,9999,FAIL,2014-3-4,23:59\r\n"
    "5,3m,1.01,1.500,2.000,6V,--,2.500,-9999,WARNING,2014-3-6,0:00\r\n\r\n\r\n"
    "UNIT A\r\n\r\n" +
    Columns('C') + "1,3,1234,1000,2000,6V,9999,2.500,-0.5,FAIL,2014-3-5,10:00\r\n";

TEST(MeasurementReport, FiguresOfEveryUnitAndTheWholeFile) {
    const report::ParsedReport parsed = ParseMeasurementFile(kFile, "day.csv");
    ASSERT_TRUE(parsed.Ok()) << parsed.error.line << ": " << parsed.error.message;
    const report::MeasurementReport& r = *parsed.report;
    EXPECT_EQ(r.serial, "123456789");
    EXPECT_EQ(r.date, "2014-3-10");
    EXPECT_FALSE(r.fahrenheit);
    ASSERT_EQ(r.units.size(), 2u);

    const report::Summary& c = r.units[0];
    EXPECT_EQ(c.unit, 'C');
    EXPECT_EQ(c.readings, 4);
    EXPECT_EQ(c.emptySlots, 1);
    EXPECT_EQ((std::array{c.pass, c.fail, c.warning, c.unjudged}), (std::array{1, 1, 1, 1}));
    EXPECT_EQ(c.resistance.count, 2);
    EXPECT_EQ(c.resistance.overRange, 2); // "--" and "9999"
    EXPECT_EQ(MilliText(c.resistance.minimum), "1.01");
    EXPECT_EQ(MilliText(c.resistance.maximum), "12.34");
    EXPECT_EQ(FigureText(c.resistance.Mean()), "6.6750");
    EXPECT_EQ(FigureText(c.resistance.StandardDeviation()), "8.0115");
    EXPECT_EQ(c.resistance.underRange, 0);
    // "-10.000" in the 6V range is the instrument's under-range code, not a voltage.
    EXPECT_EQ(c.voltage.count, 2);
    EXPECT_EQ(c.voltage.overRange, 1);
    EXPECT_EQ(c.voltage.underRange, 1);
    EXPECT_EQ(c.voltage.minimumText, "3.712");
    EXPECT_EQ(c.voltage.maximumText, "12.50");
    EXPECT_EQ(FigureText(c.voltage.Mean()), "8.1060");
    EXPECT_EQ(FigureText(c.voltage.StandardDeviation()), "6.2141");
    EXPECT_EQ(c.temperature.count, 1);
    EXPECT_EQ(c.temperature.outOfRange, 2);
    EXPECT_EQ(c.temperature.maximumTenths, 353);
    // By time, not by text: "2014-3-4 23:59" comes before "2014-3-5 9:07".
    EXPECT_EQ(c.first, "2014-3-4 23:59");
    EXPECT_EQ(c.last, "2014-3-6 0:00");
    EXPECT_FALSE(c.limits.has_value()) << "three different sets of limits";

    const report::Summary& a = r.units[1];
    EXPECT_EQ(a.readings, 1);
    EXPECT_EQ(FigureText(a.resistance.Mean()), "1234.0000");
    EXPECT_FALSE(a.resistance.StandardDeviation().has_value()) << "none below two values";
    EXPECT_EQ(a.voltage.count, 0);
    EXPECT_FALSE(a.voltage.Mean().has_value());
    EXPECT_EQ(a.temperature.minimumTenths, -5);
    ASSERT_TRUE(a.limits.has_value());
    EXPECT_EQ(MilliText(a.limits->limit2), "2000");
    EXPECT_EQ(MilliText(a.limits->voltageLimit), "2.5");

    const report::Summary& all = r.total;
    EXPECT_EQ(all.readings, 5);
    EXPECT_EQ(all.emptySlots, 1);
    EXPECT_EQ(all.fail, 2);
    EXPECT_EQ(all.resistance.count, 3);
    EXPECT_EQ(FigureText(all.resistance.Mean()), "415.7833");
    EXPECT_EQ(FigureText(all.resistance.StandardDeviation()), "708.6191");
    EXPECT_EQ(report::ShareText(all.fail, all.readings), "40.0 %");

    // The file ends inside unit A: reported as far as it goes, with a note.
    EXPECT_TRUE(r.cut);
    EXPECT_NE(r.cutNote.find("UNIT A after slot 1"), std::string::npos) << r.cutNote;
}

TEST(MeasurementReport, TextAndJsonCarryTheSameFigures) {
    const report::MeasurementReport r = *ParseMeasurementFile(kFile, "day \"1\".csv").report;
    const std::string text = report::ReportText(r);
    const std::string json = report::ReportJson(r);
    for (const char* figure : {"6.6750", "8.0115", "415.7833", "12.34", "12.50", "35.3"}) {
        EXPECT_NE(text.find(figure), std::string::npos) << figure;
        EXPECT_NE(json.find(figure), std::string::npos) << figure;
    }
    EXPECT_NE(text.find("Note: The file ends inside UNIT A"), std::string::npos);
    EXPECT_NE(json.find("\"file\": \"day \\\"1\\\".csv\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"sd\": null"), std::string::npos) << "unit A has one resistance";
    EXPECT_NE(json.find("\"limits\": {\"rLim1\": 1000, \"rLim2\": 2000, \"vLim\": 2.5}"),
              std::string::npos);
    EXPECT_NE(json.find("\"cut\": true"), std::string::npos);
}

TEST(MeasurementReport, FahrenheitFileCompleteWithoutANote) {
    const std::string file = kHeader + "UNIT P\r\n\r\n" + Columns('F') +
                             "1,3m,0.500,,,6V,3.700,,77.5,,2014-3-5,9:07\r\n\r\n\r\n";
    const report::ParsedReport parsed = ParseMeasurementFile(file, "f.csv");
    ASSERT_TRUE(parsed.Ok()) << parsed.error.message;
    EXPECT_TRUE(parsed.report->fahrenheit);
    EXPECT_FALSE(parsed.report->cut);
    EXPECT_EQ(parsed.report->units[0].temperature.maximumTenths, 775);
    EXPECT_EQ(parsed.report->units[0].unjudged, 1);
    EXPECT_NE(report::ReportText(*parsed.report).find("Temperature [F]"), std::string::npos);

    // A reading cut before its first record leaves the header alone: no whole file looks so.
    const report::ParsedReport headerOnly = ParseMeasurementFile(kHeader, "h.csv");
    ASSERT_TRUE(headerOnly.Ok()) << headerOnly.error.message;
    EXPECT_TRUE(headerOnly.report->cut);
}

// The page made at a fixed time, so that equal reports give equal pages.
std::string Page(const report::MeasurementReport& r) {
    return report::ReportPageHtml(r, {"", "", {2026, 12, 2, 8, 1}, "k720ctl 1.03"});
}

// The terminal column where the value after `label` begins, on the text's line that begins with
// the label: a character of more than one UTF-8 byte (a Japanese glyph here) takes two columns.
std::size_t ValueColumn(const std::string& text, const std::string& label) {
    const std::size_t line = text.find("\n" + label) + 1;
    std::size_t at = line + label.size();
    while (text[at] == ' ') {
        ++at;
    }
    std::size_t columns = 0;
    for (std::size_t i = line; i < at; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        columns += byte < 0x80 ? 1 : (byte & 0xC0) == 0xC0 ? 2 : 0;
    }
    return columns;
}

// In Japanese the text's labels keep their columns, the page declares its language, and the
// JSON, the cut note included, stays what scripts read.
TEST(MeasurementReport, JapaneseLabelsKeepTheirColumnsAndTheJsonStays) {
    const report::MeasurementReport english = *ParseMeasurementFile(kFile, "day.csv").report;
    const std::string englishText = "\n" + report::ReportText(english);
    UseTextLanguage(Language::Japanese);
    const report::MeasurementReport r = *ParseMeasurementFile(kFile, "day.csv").report;
    const std::string text = "\n" + report::ReportText(r);
    const std::string json = report::ReportJson(r);
    const std::string page = Page(r);
    UseTextLanguage(Language::English);

    EXPECT_EQ(json, report::ReportJson(english));
    for (const auto& [englishLabel, label] :
         {std::pair{"File", "ファイル"}, std::pair{"  Readings", "  測定数"},
          std::pair{"  no judgement", "  判定なし"}, std::pair{"  Measured", "  測定日時"}}) {
        ASSERT_NE(text.find("\n" + std::string(label)), std::string::npos) << label << text;
        EXPECT_EQ(ValueColumn(text, label), ValueColumn(englishText, englishLabel)) << label;
    }
    EXPECT_NE(text.find("注: ファイルはユニット A のスロット 1 の後で"), std::string::npos) << text;
    EXPECT_NE(page.find("<html lang=\"ja\">"), std::string::npos);
    EXPECT_NE(page.find("<h3>集計</h3>"), std::string::npos);
    EXPECT_NE(page.find("<td>全ユニット</td>"), std::string::npos);
    EXPECT_NE(Page(english).find("<html lang=\"en\">"), std::string::npos);
}

// Minimum and maximum carry the instrument's resolution as the file writes it; the under-range
// code of either voltage range is counted apart, never as a voltage.
TEST(MeasurementReport, FiguresKeepTheFilesTextsAndLeaveUnderRangeOut) {
    const std::string file = kHeader + "UNIT A\r\n\r\n" + Columns('C') +
                             "1,300m,45.0,,,60V,-60.00,,27.8,,2014-3-5,9:07\r\n"
                             "2,30m,27.80,,,6V,4.200,,30.0,,2014-3-5,9:08\r\n"
                             "3,3m,4.200,,,60V,-100.00,,-5.0,,2014-3-5,9:09\r\n"
                             "4,3m,4.300,,,6V,-10.000,,-5.0,,2014-3-5,9:10\r\n\r\n\r\n";
    const report::ParsedReport parsed = ParseMeasurementFile(file, "a.csv");
    ASSERT_TRUE(parsed.Ok()) << parsed.error.line << ": " << parsed.error.message;
    const report::Spread& voltage = parsed.report->units[0].voltage;
    EXPECT_EQ(voltage.count, 2);
    EXPECT_EQ(voltage.underRange, 2);
    EXPECT_EQ(FigureText(voltage.Mean()), "-27.9000");

    const std::string text = report::ReportText(*parsed.report);
    const std::string json = report::ReportJson(*parsed.report);
    const std::string page = Page(*parsed.report);
    const struct {
        const char* output;
        const std::string& content;
        std::array<const char*, 4> figures;
    } outputs[] = {
        {"text",
         text,
         {"min 4.200  max 45.0", "min -60.00  max 4.200  mean", "under range 2",
          "min -5.0  max 30.0"}},
        {"json",
         json,
         {"\"min\": 4.200, \"max\": 45.0,", "\"min\": -60.00, \"max\": 4.200,",
          "\"underRange\": 2}", "\"min\": -5.0, \"max\": 30.0,"}},
        {"page",
         page,
         {"<td>4.200</td><td>45.0</td>", "<td>-60.00</td><td>4.200</td>",
          "<td>0</td><td>2</td></tr>", "<td>-5.0</td><td>30.0</td>"}},
    };
    for (const auto& o : outputs) {
        for (const char* figure : o.figures) {
            EXPECT_NE(o.content.find(figure), std::string::npos) << o.output << ": " << figure;
        }
    }
}

// The record has room for times no clock shows, and the writer writes them as numbers: such a
// reading counts in the figures, its time never first or last, and every output says how many.
TEST(MeasurementReport, ReadingsWithoutARealTimeCountButAreNeverFirstOrLast) {
    std::string file = kHeader + "UNIT A\r\n\r\n" + Columns('C');
    int slot = 0;
    for (const char* when : {"2014-13-5,9:07", "2014-3-0,9:07", "2014-3-5,31:00", "2014-3-5,9:63",
                             "2014-2-29,9:07", "2037-15-31,31:63", "2014-3-5,9:07"}) {
        file += std::to_string(++slot) + ",3m,1.000,,,6V,3.700,,25.0,," + when + "\r\n";
    }
    file += "\r\n\r\n";
    const report::ParsedReport parsed = ParseMeasurementFile(file, "t.csv");
    ASSERT_TRUE(parsed.Ok()) << parsed.error.line << ": " << parsed.error.message;
    const report::Summary& all = parsed.report->total;
    EXPECT_EQ(all.readings, 7);
    EXPECT_EQ(all.resistance.count, 7);
    EXPECT_EQ(all.unusableTimes, 6) << "2014 has no 29 February";
    EXPECT_EQ(all.first, "2014-3-5 9:07");
    EXPECT_EQ(all.last, "2014-3-5 9:07");
    EXPECT_NE(report::ReportText(*parsed.report).find("Unusable times    6"), std::string::npos);
    EXPECT_NE(report::ReportJson(*parsed.report).find("\"unusableTimes\": 6}"), std::string::npos);
    EXPECT_NE(
        Page(*parsed.report).find("<td>2014-03-05 09:07</td><td>2014-03-05 09:07</td><td>6</td>"),
        std::string::npos);
}

// The serial number is the instrument's bytes: a NUL, bytes that are not UTF-8 and DEL leave the
// JSON valid UTF-8 with the controls escaped, and the page with replacement characters only.
TEST(MeasurementReport, TextsFromTheFileKeepJsonAndPageValid) {
    std::string file = kFile;
    const std::string serial("12\0\x80\xC3\x7F\xE2\x82\xAC<", 10);
    file.replace(file.find("123456789"), 9, serial);
    const report::ParsedReport parsed = ParseMeasurementFile(file, "s.csv");
    ASSERT_TRUE(parsed.Ok()) << parsed.error.message;
    EXPECT_EQ(parsed.report->serial, serial);
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_NE(report::ReportJson(*parsed.report)
                  .find("\"serial\": \"12\\u0000" + fffd + fffd + "\\u007f\xE2\x82\xAC<\""),
              std::string::npos);
    EXPECT_NE(Page(*parsed.report).find("12" + fffd + fffd + fffd + fffd + "\xE2\x82\xAC&lt;"),
              std::string::npos);
}

// A spreadsheet's save may add a byte-order mark and end the lines with CR alone: the same
// report as of the file the program wrote.
TEST(MeasurementReport, ReadsWhatASpreadsheetSaveLeaves) {
    std::string crOnly;
    for (const char c : kFile) {
        if (c != '\n') {
            crOnly += c;
        }
    }
    const std::string expected = report::ReportJson(*ParseMeasurementFile(kFile, "x.csv").report);
    for (const std::string& file : {"\xEF\xBB\xBF" + kFile, crOnly, "\xEF\xBB\xBF" + crOnly}) {
        const report::ParsedReport parsed = ParseMeasurementFile(file, "x.csv");
        ASSERT_TRUE(parsed.Ok()) << parsed.error.line << ": " << parsed.error.message;
        EXPECT_EQ(report::ReportJson(*parsed.report), expected);
    }
}

TEST(MeasurementReport, RefusesWhatIsNoMeasurementFileNamingTheLine) {
    const std::string unitC = kHeader + "UNIT C\r\n\r\n" + Columns('C');
    const std::string reading = "1,3m,1.000,,,6V,3.700,,25.0,,2014-3-5,9:07\r\n";
    const struct {
        const char* name;
        std::string file;
        int line;
    } cases[] = {
        {"a comparator table", "No,Name,R-Range\r\n", 0},
        {"a result that is none of the four",
         unitC + "1,3m,1.000,,,6V,3.7,,25.0,MAYBE,1-1-1,0:00\r\n", 9},
        {"a slot skipped", unitC + reading + "3,,,,,,,,,,,\r\n", 10},
        {"a limit without a judgement", unitC + "1,3m,1.000,2.000,,6V,3.7,,25.0,,1-1-1,0:00\r\n",
         9},
        {"a number beyond any reading", unitC + "1,3,99999999,,,6V,3.7,,25.0,,1-1-1,0:00\r\n", 9},
        {"a minute beyond the record's room", unitC + "1,3m,1.000,,,6V,3.7,,25.0,,1-1-1,0:64\r\n",
         9},
        {"a unit twice", unitC + reading + "\r\n\r\nUNIT C\r\n", 12},
        {"the temperature unit changes", unitC + reading + "\r\n\r\nUNIT A\r\n\r\n" + Columns('F'),
         14},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const report::ParsedReport parsed = ParseMeasurementFile(c.file, "x.csv");
        EXPECT_FALSE(parsed.Ok());
        EXPECT_EQ(parsed.error.line, c.line) << parsed.error.message;
        EXPECT_FALSE(parsed.error.message.empty());
    }
}

// The trend by day: days out of order in the file come out in order, an odd count has its middle
// value as median and the medians of the halves as quartiles, an even count the mean of its two
// middle values exactly; over range, under range and unusable times stay out of the figures.
// A history's unit of 200,000 readings of the largest resistance: the sum of their squares
// (2e19) passes 64 bits and must still give their exact mean and no spread.
TEST(MeasurementReport, LargestValuesOfAHistoryCountExactly) {
    report::Point largest;
    largest.resistance = static_cast<std::int32_t>(report::Milli::kMaxMagnitude);
    largest.flags = report::Point::kResistance;
    report::MeasurementReport counted;
    report::CountReadings(counted, {{'A', std::vector<report::Point>(200'000, largest), 0}});
    const report::Spread& spread = counted.total.resistance;
    EXPECT_EQ(spread.count, 200'000);
    EXPECT_EQ(FigureText(spread.Mean()), "9999.9990");
    EXPECT_EQ(FigureText(spread.StandardDeviation()), "0.0000");
}

TEST(DailyTrend, MediansAndQuartilesPerDayExact) {
    const std::string file =
        kHeader + "UNIT A\r\n\r\n" + Columns('C') + "1,3,1.001,,,6V,3.000,,,,2026-12-3,9:00\r\n" +
        "2,3,5.000,,,6V,4.000,,,,2026-12-1,9:00\r\n" +
        "3,3,1.002,,,6V,-10.000,,,,2026-12-3,9:01\r\n" +
        "4,3,1.000,,,6V,1.000,,,,2026-12-1,9:01\r\n\r\n\r\nUNIT B\r\n\r\n" + Columns('C') +
        "1,3,3.000,,,6V,2.000,,,,2026-12-1,9:02\r\n" + "2,3,--,,,6V,5.000,,,,2026-12-3,9:02\r\n" +
        "3,3,7.000,,,6V,7.000,,,,2026-13-1,9:03\r\n\r\n\r\n";
    const report::ParsedReport parsed = ParseMeasurementFile(file, "days.csv");
    ASSERT_TRUE(parsed.Ok()) << parsed.error.line << ": " << parsed.error.message;
    const report::DailyTrend trend = report::DailyTrendOf(*parsed.report);
    ASSERT_EQ(trend.days.size(), 2u);
    EXPECT_EQ(trend.unusableTimes, 1);
    const report::TrendDay& first = trend.days[0];
    EXPECT_EQ(first.day, "2026-12-01");
    EXPECT_EQ(first.readings, 3);
    ASSERT_TRUE(first.resistance && first.voltage);
    EXPECT_EQ(first.resistance->count, 3);
    EXPECT_EQ(first.resistance->median.Text(), "3");
    EXPECT_EQ(first.resistance->lowerQuartile.Text(), "1");
    EXPECT_EQ(first.resistance->upperQuartile.Text(), "5");
    EXPECT_EQ(first.voltage->median.Text(), "2");
    const report::TrendDay& third = trend.days[1];
    EXPECT_EQ(third.day, "2026-12-03");
    // Days since 1970-01-01, which space the days on the page's time axis.
    EXPECT_EQ(first.dayNumber, 20788);
    EXPECT_EQ(third.dayNumber, first.dayNumber + 2);
    EXPECT_EQ(third.readings, 3);
    ASSERT_TRUE(third.resistance && third.voltage);
    EXPECT_EQ(third.voltage->count, 2);
    EXPECT_EQ(third.voltage->median.Text(), "4");

    const std::string json = report::ReportJson(*parsed.report, &trend);
    EXPECT_NE(json.find("{\"day\": \"2026-12-03\", \"readings\": 3, \"resistance\": {\"count\": 2, "
                        "\"min\": 1.001, \"q1\": 1.001, \"median\": 1.0015, \"q3\": 1.002, "
                        "\"max\": 1.002}"),
              std::string::npos)
        << json;
    EXPECT_EQ(json.substr(0, json.find(",\n \"trend\"")) + "}\n",
              report::ReportJson(*parsed.report));
    const std::string text = report::ReportText(*parsed.report, &trend);
    EXPECT_NE(text.find("\n  2026-12-03  3         1.0015    1.001     1.002     4         3"),
              std::string::npos)
        << text;

    // Five values: the quartiles fall between two; halves of a thousandth below zero.
    const std::optional<report::DaySpread> five = report::DaySpreadOf({5, 1, 4, 2, 3});
    ASSERT_TRUE(five);
    EXPECT_EQ(five->lowerQuartile.Text() + ' ' + five->median.Text() + ' ' +
                  five->upperQuartile.Text(),
              "0.0015 0.003 0.0045");
    EXPECT_EQ(report::DaySpreadOf({-1, -2})->median.Text(), "-0.0015");
    EXPECT_FALSE(report::DaySpreadOf({}));

    // Any count, values repeated: the figures are those of the sorted values' middles.
    std::mt19937 random(7);
    for (std::size_t n = 1; n < 40; ++n) {
        std::vector<std::int64_t> values(n);
        for (std::int64_t& value : values) {
            value = static_cast<std::int64_t>(random() % 9);
        }
        std::vector<std::int64_t> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        const auto median = [&sorted](std::size_t begin, std::size_t end) {
            const std::size_t middle = begin + (end - begin) / 2;
            return (end - begin) % 2 == 1 ? 2 * sorted[middle]
                                          : sorted[middle - 1] + sorted[middle];
        };
        const report::DaySpread spread = *report::DaySpreadOf(values);
        EXPECT_EQ(spread.minimum.thousandths, sorted.front()) << n;
        EXPECT_EQ(spread.maximum.thousandths, sorted.back()) << n;
        EXPECT_EQ(spread.median.doubledThousandths, median(0, n)) << n;
        EXPECT_EQ(spread.lowerQuartile.doubledThousandths,
                  n == 1 ? 2 * sorted[0] : median(0, n / 2))
            << n;
        EXPECT_EQ(spread.upperQuartile.doubledThousandths,
                  n == 1 ? 2 * sorted[0] : median((n + 1) / 2, n))
            << n;
    }
}

} // namespace
