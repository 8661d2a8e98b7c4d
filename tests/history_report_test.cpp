// The report and the export over the history, from files recorded into a real SQLite store: the
// report of a selection has the figures, text and JSON that the report of a file holding the same
// readings has; the export is one flat table.
#include <cstdlib>
#include <fstream>
#include <sqlite3.h>
#include <string>

#include <gtest/gtest.h>

#include "history/history_export.h"
#include "history/history_report.h"
#include "history/reading_columns.h"
#include "history/selected_points.h"
#include "history/sqlite_store.h"
#include "report/report_page.h"
#include "report/report_text.h"
#include "tests/support/scratch_folder.h"

namespace {

using history::Selection;

std::string Header(const std::string& serial) {
    return "Model,K720 BATTERY TARVELIN\r\nSerial," + serial +
           "\r\nDate,2026-12-2,,V1.03\r\n\r\n\r\n";
}

std::string Unit(char unit, const std::string& slots, char temperature = 'C') {
    return std::string("UNIT ") + unit + "\r\n\r\n" +
           "No,R-Range,Resistance[mohm],R-Lim1[mohm],R-Lim2[mohm],V-Range,Voltage[volt]," +
           "V-Lim[volt],Temperature[" + temperature + "],Result,Date,Time\r\n" + slots + "\r\n\r\n";
}

// Day one: units A and C (over range, under range, a temperature out of range, an unusable
// time); day two: unit B.
const std::string kUnitA = "1,30m,12.34,15.00,10.00,6V,3.712,3.500,35.3,PASS,2026-12-1,9:07\r\n"
                           "2,3m,--,,,60V,12.50,,,,2026-12-1,9:08\r\n"
                           "3,30m,11.20,15.00,10.00,6V,-10.000,3.500,9999,FAIL,2026-12-1,9:09\r\n";
const std::string kUnitB = "1,3,1.234,2.000,1.000,6V,3.801,3.500,22.0,PASS,2026-12-2,8:00\r\n"
                           "2,3,1.301,2.000,1.000,6V,3.799,3.500,22.5,PASS,2026-12-2,8:01\r\n";
const std::string kUnitC = "1,300m,120.5,150.0,100.0,60V,48.10,45.00,-5.0,PASS,2026-12-1,10:00\r\n"
                           "2,300m,99.9,150.0,100.0,60V,47.00,45.00,,WARNING,2026-13-1,10:01\r\n";

Selection ByUnit(int unit) {
    Selection selection;
    selection.unit = unit;
    return selection;
}

Selection BySerial(const std::string& serial) {
    Selection selection;
    selection.serial = serial;
    return selection;
}

report::MeasurementReport Parsed(const std::string& bytes, const std::string& name) {
    const report::ParsedReport parsed = report::ParseMeasurementFile(bytes, name);
    EXPECT_TRUE(parsed.Ok()) << parsed.error.line << ": " << parsed.error.message;
    return parsed.Ok() ? *parsed.report : report::MeasurementReport{};
}

// A SQLite store in a scratch folder holding day one (recorded twice) and day two.
class HistoryReportTest : public testing::Test {
protected:
    void SetUp() override {
        history::OpenedStore opened = history::SqliteStore::Open(folder_.File("h.sqlite"));
        ASSERT_NE(opened.store, nullptr) << opened.error;
        store_ = std::move(opened.store);
        for (const auto* name : {"day1.csv", "day2.csv", "day1.csv"}) {
            const std::string day = name;
            const std::string bytes =
                Header("K-7") +
                (day == "day1.csv" ? Unit('A', kUnitA) + Unit('C', kUnitC) : Unit('B', kUnitB));
            const history::Recorded recorded =
                store_->Record(Parsed(bytes, day), {"2026-12-08T09:05:00Z", day, "1.03", "bench"});
            ASSERT_EQ(recorded.error, "");
        }
    }

    history::SelectedReadings Select(const Selection& selection) {
        history::SelectedReadings selected = store_->Select(selection);
        EXPECT_EQ(selected.error, "");
        return selected;
    }

    test_support::ScratchFolder folder_;
    std::unique_ptr<history::Store> store_;
};

// The history's report with the file's header, so that the rest is compared whole.
report::MeasurementReport WithHeaderOf(report::MeasurementReport counted,
                                       const report::MeasurementReport& file) {
    counted.file = file.file;
    counted.model = file.model;
    counted.serial = file.serial;
    counted.date = file.date;
    counted.version = file.version;
    return counted;
}

TEST_F(HistoryReportTest, EqualsTheReportOfAFileWithTheSameReadings) {
    const history::HistoryReport all = history::ReportOfHistory(*store_, {});
    ASSERT_TRUE(all.report) << all.error;
    EXPECT_EQ(all.report->file, "history");
    EXPECT_EQ(all.report->serial, "K-7");
    EXPECT_EQ(all.report->date, "2026-12-01 to 2026-12-02");
    ASSERT_EQ(all.trend.days.size(), 2u);
    EXPECT_EQ(all.trend.unusableTimes, 1);

    // One file holding the three units in unit order: each unit and the whole alike.
    const report::MeasurementReport file = Parsed(
        Header("K-7") + Unit('A', kUnitA) + Unit('B', kUnitB) + Unit('C', kUnitC), "all.csv");
    const report::MeasurementReport counted = WithHeaderOf(*all.report, file);
    EXPECT_EQ(report::ReportText(counted), report::ReportText(file));
    EXPECT_EQ(report::ReportJson(counted), report::ReportJson(file));

    // One unit selected: that unit's file.
    const history::HistoryReport unitB = history::ReportOfHistory(*store_, ByUnit(1), "B");
    ASSERT_TRUE(unitB.report) << unitB.error;
    const report::MeasurementReport day2 = Parsed(Header("K-7") + Unit('B', kUnitB), "day2.csv");
    EXPECT_EQ(report::ReportJson(WithHeaderOf(*unitB.report, day2)), report::ReportJson(day2));
    ASSERT_EQ(unitB.trend.days.size(), 1u);
    EXPECT_EQ(unitB.trend.days[0].day, "2026-12-02");
}

// A store of schema 1, whose readings have no point column, gets it on opening, in one step with
// its version, and reports as before.
TEST_F(HistoryReportTest, AStoreOfSchema1IsMigratedAndReportsAsBefore) {
    const std::string before = report::ReportJson(*history::ReportOfHistory(*store_, {}).report);
    store_.reset();
    const std::string path = folder_.File("h.sqlite");
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &database), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(database,
                           "ALTER TABLE readings DROP COLUMN point; "
                           "UPDATE k720_schema SET version = 1",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(database);
    history::OpenedStore opened = history::SqliteStore::Open(path);
    ASSERT_NE(opened.store, nullptr) << opened.error;
    const history::HistoryReport after = history::ReportOfHistory(*opened.store, {});
    ASSERT_TRUE(after.report) << after.error;
    EXPECT_EQ(report::ReportJson(*after.report), before);
    EXPECT_NE(history::SqliteStore::Open(path).store, nullptr); // schema 2 now: not again
}

// A report's points come ordered by serial, slot and row whichever order the engine hands the rows
// over in (the table's, or an index's), so that of two equal values the same one is the minimum.
TEST(SelectedPoints, OrderedBySerialSlotAndRowInAnyOrderOfRows) {
    struct Row {
        std::int64_t id;
        const char* serial;
        int slot;
    };
    const std::vector<Row> rows = {{1, "S-2", 2}, {2, "S-2", 1}, {3, "S-1", 2},
                                   {4, "S-2", 1}, {5, "S-1", 1}, {6, "S-10", 1}};
    const auto ordered = [](auto first, auto last) {
        history::SelectedPointsBuilder builder;
        for (auto row = first; row != last; ++row) {
            report::Point point;
            point.slot = static_cast<std::int16_t>(row->slot);
            const std::string bytes = history::PointBytesOf(point, false).bytes;
            EXPECT_EQ(builder.Add({row->id, row->serial, 3, bytes}), "");
        }
        const history::SelectedPoints selected = builder.Finish();
        EXPECT_EQ(selected.serials, (std::vector<std::string>{"S-1", "S-10", "S-2"}));
        std::vector<std::int64_t> sources;
        for (const report::Point& point : selected.units.at(0).points) {
            sources.push_back(point.source);
        }
        return sources;
    };
    const std::vector<std::int64_t> expected = {5, 3, 6, 2, 4, 1};
    EXPECT_EQ(ordered(rows.begin(), rows.end()), expected);
    EXPECT_EQ(ordered(rows.rbegin(), rows.rend()), expected);

    // A unit no instrument has, a point column that holds no point.
    history::SelectedPointsBuilder builder;
    EXPECT_NE(builder.Add({7, "S-1", 12, ""}).find("12"), std::string::npos);
    EXPECT_NE(builder.Add({7, "S-1", 0, std::string(history::kPointBytes, '\0')}).find("7"),
              std::string::npos); // slot 0
}

// Another instrument in Fahrenheit: together they are refused, each alone reported.
TEST_F(HistoryReportTest, CelsiusAndFahrenheitTogetherAreRefused) {
    const std::string bytes = Header("F-1") + Unit('A', kUnitB, 'F');
    ASSERT_EQ(
        store_->Record(Parsed(bytes, "f.csv"), {"2026-12-08T10:00:00Z", "f.csv", "1", "b"}).error,
        "");
    const std::vector<history::StoredReading> both = Select({}).readings;
    const history::HistoryReport refused = history::ReportOfHistory(*store_, {});
    EXPECT_FALSE(refused.report);
    EXPECT_NE(refused.error.find("--serial"), std::string::npos) << refused.error;
    const history::ExportedTable notExported = history::ExportTable(both);
    EXPECT_EQ(notExported.text, "");
    EXPECT_EQ(notExported.error, refused.error);

    const history::HistoryReport fahrenheit = history::ReportOfHistory(*store_, BySerial("F-1"));
    ASSERT_TRUE(fahrenheit.report) << fahrenheit.error;
    EXPECT_TRUE(fahrenheit.report->fahrenheit);
}

const std::string kHeaderRow =
    "Serial,Unit,Slot,Date,Time,R-Range,Resistance[mohm],R-Lim1[mohm],R-Lim2[mohm],V-Range,"
    "Voltage[volt],V-Lim[volt],Temperature[C],Result\r\n";

// A serial number with a comma and quotes stays one cell; the limits of an unjudged reading stay
// empty and its over-range resistance as written.
TEST_F(HistoryReportTest, ExportIsOneFlatTable) {
    const std::string bytes = Header("K,\"8\"") + Unit('P', kUnitA);
    ASSERT_EQ(
        store_->Record(Parsed(bytes, "p.csv"), {"2026-12-08T10:00:00Z", "p.csv", "1", "b"}).error,
        "");
    const history::ExportedTable table = history::ExportTable(Select(ByUnit(11)).readings);
    EXPECT_EQ(table.error, "");
    EXPECT_EQ(
        table.text,
        kHeaderRow +
            "\"K,\"\"8\"\"\",P,1,2026-12-1,9:07,30m,12.34,15.00,10.00,6V,3.712,3.500,35.3,PASS\r\n"
            "\"K,\"\"8\"\"\",P,2,2026-12-1,9:08,3m,--,,,60V,12.50,,,\r\n"
            "\"K,\"\"8\"\"\",P,3,2026-12-1,9:09,30m,11.20,15.00,10.00,6V,-10.000,3.500,9999,"
            "FAIL\r\n");
    EXPECT_EQ(history::ExportTable({}).text, kHeaderRow);
    EXPECT_EQ(history::ReportOfHistory(*store_, {}).report->serial, "2 instruments");
}

// The page over the history holds the trend's two plots after the summary, and the page of a
// file none. With K720_HISTORY_PAGE set, the page is written there for a browser to render.
TEST_F(HistoryReportTest, PageShowsTheTrendByDay) {
    const history::HistoryReport all = history::ReportOfHistory(*store_, {});
    ASSERT_TRUE(all.report) << all.error;
    const report::PageHeading heading{"", "", {2026, 12, 8, 9, 30}, "k720ctl 1.03"};
    const std::string page = report::ReportPageHtml(*all.report, heading, &all.trend);
    const std::size_t trend = page.find("<section class=\"trend\">");
    ASSERT_NE(trend, std::string::npos);
    EXPECT_LT(page.find("<table class=\"summary\">"), trend);
    EXPECT_LT(trend, page.find("<section class=\"unit\">"));
    for (const char* plot : {"trend-resistance", "trend-voltage"}) {
        const std::size_t svg = page.find(std::string("<svg class=\"") + plot + '"');
        ASSERT_NE(svg, std::string::npos) << plot;
        const std::string drawing = page.substr(svg, page.find("</svg>", svg) - svg);
        EXPECT_NE(drawing.find("<polyline class=\"median\""), std::string::npos) << plot;
        EXPECT_NE(drawing.find(">2026-12-02</text>"), std::string::npos) << plot;
    }
    EXPECT_EQ(report::ReportPageHtml(*all.report, heading).find("trend"), std::string::npos);
    // The header gives the span of measurement days, not a transfer, model or version.
    const std::string header = page.substr(0, page.find("</header>"));
    EXPECT_NE(header.find("Measured"), std::string::npos) << header;
    for (const char* fileFact : {"Transferred", "Model", "Version"}) {
        EXPECT_EQ(header.find(fileFact), std::string::npos) << fileFact;
    }
    // The history keeps no empty slot and no model: neither the page nor the text names them.
    const std::string text = report::ReportText(*all.report, &all.trend);
    for (const std::string& shown : {page, text}) {
        EXPECT_EQ(shown.find("mpty slots"), std::string::npos) << shown;
        EXPECT_EQ(shown.find("Model"), std::string::npos);
    }
    EXPECT_NE(text.find("Measured 2026-12-01 to 2026-12-02\n"), std::string::npos) << text;
    if (const char* out = std::getenv("K720_HISTORY_PAGE")) {
        std::ofstream(out, std::ios::binary) << page;
    }
}

} // namespace
