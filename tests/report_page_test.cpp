#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "report/report_page.h"

namespace report {
namespace {

Point MakeReading(int slot, std::int32_t resistance, std::int32_t voltage, Result result) {
    Point point;
    point.slot = static_cast<std::int16_t>(slot);
    point.resistance = resistance;
    point.voltage = voltage;
    point.flags = Point::kResistance | Point::kVoltage;
    point.result = result;
    return point;
}

// Unit A: four readings judged by one set of limits; unit B: two readings of one resistance
// judged by different limits and one over range; unit C: empty slots only.
MeasurementReport MakeReport() {
    MeasurementReport report;
    report.file = "<b>&\"'.csv";
    report.serial = "<b>&\"'";
    report.model = "K720";
    Summary a;
    a.unit = 'A';
    a.points = {
        MakeReading(1, 20'000, 3'900, Result::Pass), MakeReading(2, 26'000, 3'800, Result::Warning),
        MakeReading(3, 29'000, 3'600, Result::Fail), MakeReading(5, 21'500, 4'000, Result::None)};
    a.readings = 4;
    a.limits = SharedLimits{{25'000}, {28'000}, {3'700}};
    a.resistance = {.count = 4,
                    .minimum = {20'000},
                    .maximum = {29'000},
                    .minimumText = "20.0",
                    .maximumText = "29.0",
                    .sum = 96'500,
                    .sumOfSquares = 2'376'250'000};
    Summary b;
    b.unit = 'B';
    b.points = {MakeReading(1, 5'000, 12'000, Result::Pass),
                MakeReading(2, 5'000, 11'000, Result::Fail),
                MakeReading(3, 0, 12'100, Result::Fail)};
    b.points[2].flags &= ~Point::kResistance;
    b.readings = 3;
    Summary c;
    c.unit = 'C';
    c.emptySlots = 2;
    report.units = {a, b, c};
    report.total.readings = 7;
    return report;
}

const PageHeading kHeading{"Batch <7>", "J. O'Neil", {2026, 12, 2, 8, 1}, "k720ctl 1.03"};

std::string Page(const MeasurementReport& report) {
    return ReportPageHtml(report, kHeading);
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

// The text of the section of unit `letter`, up to the next section or the end.
std::string Section(const std::string& page, char letter) {
    const std::size_t begin =
        page.find("<section class=\"unit\">\n<h2>Unit " + std::string(1, letter));
    if (begin == std::string::npos) {
        return "";
    }
    return page.substr(begin, page.find("<section", begin + 1) - begin);
}

TEST(ReportPageTest, IsSelfContainedAndEscapesTheFileTexts) {
    const std::string page = Page(MakeReport());
    EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(page.find("@page { size: A4"), std::string::npos);
    for (const char* reference : {"<script", "http:", "https:", "src=", "url("}) {
        EXPECT_EQ(page.find(reference), std::string::npos) << reference;
    }
    EXPECT_EQ(page.find("<b>&"), std::string::npos);
    // Title, file line and serial number.
    EXPECT_EQ(Count(page, "&lt;b&gt;&amp;&quot;&#39;"), 3U);
}

// The page as a batch record: the user's title and operator (escaped), when and by which
// program it was made, dates zero-padded, and on paper only a block to sign.
TEST(ReportPageTest, HeadingMakesTheBatchRecord) {
    MeasurementReport report = MakeReport();
    report.date = "2026-1-9";
    report.units[0].first = "2026-1-2 8:01";
    report.units[0].firstTime = {2026, 1, 2, 8, 1, true};
    const std::string page = Page(report);
    EXPECT_NE(page.find("<h1>Batch &lt;7&gt;</h1>"), std::string::npos);
    EXPECT_NE(page.find("<title>Batch &lt;7&gt; &#8211;"), std::string::npos);
    EXPECT_NE(page.find("made 2026-12-02 08:01 by k720ctl 1.03"), std::string::npos);
    EXPECT_NE(page.find("<b>Operator</b> J. O&#39;Neil"), std::string::npos);
    EXPECT_NE(page.find("<b>Transferred</b> 2026-01-09"), std::string::npos);
    EXPECT_NE(page.find("<td>2026-01-02 08:01</td>"), std::string::npos);
    // Hidden on the screen, shown in print.
    const std::size_t print = page.find("@media print {");
    ASSERT_NE(print, std::string::npos);
    EXPECT_LT(page.find(".signoff { display: none }"), print);
    EXPECT_NE(page.find(".signoff { display: flex", print), std::string::npos);
    EXPECT_NE(page.find("<div class=\"signoff\">\n<div><b>Checked by</b></div>\n<div><b>Date</b>"),
              std::string::npos);

    const std::string untitled = ReportPageHtml(report, {"", "", {2026, 1, 2, 3, 4}, "k720ctl"});
    EXPECT_NE(untitled.find("<h1>K720 measurement report</h1>"), std::string::npos);
    EXPECT_EQ(untitled.find("Operator"), std::string::npos);
}

// A number attribute of an SVG element, from `at` on.
double Attribute(const std::string& svg, std::size_t at, const std::string& name) {
    const std::size_t begin = svg.find(' ' + name + "=\"", at) + name.size() + 3;
    return std::stod(svg.substr(begin, svg.find('"', begin) - begin));
}

// Limit labels stand in the plot's margins, clear of the frame that holds the readings, and
// beside one another, never on each other, however close the limits lie.
TEST(ReportPageTest, LimitLabelsStandOutsideTheDrawingArea) {
    MeasurementReport report = MakeReport();
    for (const auto& limits :
         {SharedLimits{{25'000}, {28'000}, {3'700}}, SharedLimits{{25'000}, {25'100}, {3'900}}}) {
        report.units[0].limits = limits;
        const std::string a = Section(Page(report), 'A');
        int labels = 0;
        for (std::size_t svg = a.find("<svg"); svg != std::string::npos;
             svg = a.find("<svg", svg + 1)) {
            const std::size_t frame = a.find("<rect class=\"frame\"", svg);
            const double left = Attribute(a, frame, "x"), top = Attribute(a, frame, "y");
            const double right = left + Attribute(a, frame, "width");
            const double bottom = top + Attribute(a, frame, "height");
            std::vector<std::pair<double, double>> placed;
            const std::size_t end = a.find("</svg>", svg);
            for (std::size_t label = a.find("class=\"limit-label\"", svg); label < end;
                 label = a.find("class=\"limit-label\"", label + 1)) {
                const std::size_t text = a.rfind("<text", label);
                const double x = Attribute(a, text, "x"), y = Attribute(a, text, "y");
                EXPECT_TRUE(y < top || x > right || y - 12 > bottom) << a.substr(text, 80);
                for (const auto& [otherX, otherY] : placed) {
                    EXPECT_FALSE(std::abs(otherX - x) < 40 && std::abs(otherY - y) < 12)
                        << a.substr(text, 80);
                }
                placed.emplace_back(x, y);
                ++labels;
            }
        }
        // Two labels of the voltage limit's (name and amount) and one per resistance limit in the
        // scatter, one per resistance limit in the slot plot.
        EXPECT_EQ(labels, 6);
    }
}

TEST(ReportPageTest, DrawsThreePlotsPerUnitWithReadingsAndSharedLimitsOnly) {
    const std::string page = Page(MakeReport());
    const std::string a = Section(page, 'A'), b = Section(page, 'B');
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    EXPECT_TRUE(Section(page, 'C').empty());
    for (const std::string& unit : {a, b}) {
        for (const char* plot : {"histogram", "scatter", "slots"}) {
            EXPECT_EQ(Count(unit, std::string("<svg class=\"") + plot + '"'), 1U) << plot;
        }
    }
    // Each plot closed before the next opens, the last one too.
    std::size_t at = 0, plots = 0;
    while ((at = page.find("<svg", at)) != std::string::npos) {
        const std::size_t close = page.find("</svg>", at);
        ASSERT_NE(close, std::string::npos);
        EXPECT_GT(page.find("<svg", at + 1), close);
        at = close;
        ++plots;
    }
    EXPECT_EQ(plots, 6U);

    // Three limits in the scatter, the two resistance limits in the slot plot.
    EXPECT_EQ(Count(a, "<line class=\"limit\""), 5U);
    EXPECT_NE(a.find(">V-Lim<"), std::string::npos);
    EXPECT_NE(a.find(">3.7 V<"), std::string::npos);
    EXPECT_EQ(Count(b, "class=\"limit\""), 0U);
    EXPECT_EQ(Count(b, "class=\"limit-label\""), 0U);
    // One dot per reading with both values in the scatter.
    const std::string bScatter = b.substr(b.find("<svg class=\"scatter\""));
    EXPECT_EQ(Count(bScatter.substr(0, bScatter.find("</svg>")), "<circle class=\"fail\""), 1U);
    // A's four resistances lie at least a sixth of their range apart: four bars; B's equal
    // resistances in one bar.
    EXPECT_EQ(Count(a, "<rect class=\"bar\""), 4U);
    EXPECT_EQ(Count(b, "<rect class=\"bar\""), 1U);
    EXPECT_EQ(Count(b, "<path class=\"over\""), 2U); // the marker and its legend entry

    // A unit over a history: thousands of readings on two spots give one dot per spot and
    // result, where a file's unit (400 readings at most) has a dot for each.
    MeasurementReport many = MakeReport();
    Summary& unit = many.units[1];
    unit.points.clear();
    for (int i = 0; i < 4000; ++i) {
        unit.points.push_back(MakeReading(1 + i % 2, 5'000 + i % 2 * 1'000, 12'000,
                                          i % 3 == 0 ? Result::Fail : Result::Pass));
    }
    const std::string thinned = Section(Page(many), 'B');
    EXPECT_EQ(Count(thinned, "<circle class=\"fail\""), 2U + 2U); // the scatter, the slots
    EXPECT_EQ(Count(thinned, "<circle class=\"pass\""), 2U + 2U);
}

TEST(ReportPageTest, SummarisesEveryUnitAndShowsTheCutNoteOnlyWhenCut) {
    MeasurementReport report = MakeReport();
    std::string page = Page(report);
    EXPECT_EQ(Count(page, "<td>All units</td>"), 3U);
    EXPECT_EQ(Count(page, "<td>Unit C</td>"), 3U);
    // The mean of A's resistances, 96.5 / 4, and no deviation of B's empty spread.
    EXPECT_NE(page.find("<td>24.1250</td>"), std::string::npos) << "the text's four decimals";
    EXPECT_EQ(page.find("class=\"cut\""), std::string::npos);

    report.cut = true;
    report.cutNote = report.shownCutNote = "UNIT C ends after slot 2 <cut>";
    page = Page(report);
    EXPECT_EQ(Count(page, "class=\"cut\""), 1U);
    EXPECT_NE(page.find("UNIT C ends after slot 2 &lt;cut&gt;"), std::string::npos);
}

} // namespace
} // namespace report
