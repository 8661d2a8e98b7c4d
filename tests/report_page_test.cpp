#include <string>

#include <gtest/gtest.h>

#include "report_page.h"

namespace report {
namespace {

Reading MakeReading(int slot, std::int64_t resistance, std::int64_t voltage, Result result) {
    Reading reading;
    reading.slot = slot;
    reading.resistance = Milli{resistance};
    reading.voltage = Milli{voltage};
    reading.result = result;
    return reading;
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
    a.resistance = {4, 0, {20'000}, {29'000}, 96'500, 2'376'250'000};
    Summary b;
    b.unit = 'B';
    b.points = {MakeReading(1, 5'000, 12'000, Result::Pass),
                MakeReading(2, 5'000, 11'000, Result::Fail),
                MakeReading(3, 0, 12'100, Result::Fail)};
    b.points[2].resistance.reset();
    b.readings = 3;
    Summary c;
    c.unit = 'C';
    c.emptySlots = 2;
    report.units = {a, b, c};
    report.total.readings = 7;
    return report;
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
    const std::string page = ReportPageHtml(MakeReport());
    EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(page.find("@page { size: A4"), std::string::npos);
    for (const char* reference : {"<script", "http:", "https:", "src=", "url("}) {
        EXPECT_EQ(page.find(reference), std::string::npos) << reference;
    }
    EXPECT_EQ(page.find("<b>&"), std::string::npos);
    // Title, file line and serial number.
    EXPECT_EQ(Count(page, "&lt;b&gt;&amp;&quot;&#39;"), 3U);
}

TEST(ReportPageTest, DrawsThreePlotsPerUnitWithReadingsAndSharedLimitsOnly) {
    const std::string page = ReportPageHtml(MakeReport());
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
    EXPECT_NE(a.find(">V-Lim 3.7 V<"), std::string::npos);
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
}

TEST(ReportPageTest, SummarisesEveryUnitAndShowsTheCutNoteOnlyWhenCut) {
    MeasurementReport report = MakeReport();
    std::string page = ReportPageHtml(report);
    EXPECT_EQ(Count(page, "<td>All units</td>"), 3U);
    EXPECT_EQ(Count(page, "<td>Unit C</td>"), 3U);
    // The mean of A's resistances, 96.5 / 4, and no deviation of B's empty spread.
    EXPECT_NE(page.find("<td>24.1250</td>"), std::string::npos) << "the text's four decimals";
    EXPECT_EQ(page.find("class=\"cut\""), std::string::npos);

    report.cut = true;
    report.cutNote = "UNIT C ends after slot 2 <cut>";
    page = ReportPageHtml(report);
    EXPECT_EQ(Count(page, "class=\"cut\""), 1U);
    EXPECT_NE(page.find("UNIT C ends after slot 2 &lt;cut&gt;"), std::string::npos);
}

} // namespace
} // namespace report
