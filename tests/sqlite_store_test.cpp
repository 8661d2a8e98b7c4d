// The SQLite history on real files: made once, reopened, and refused when it is no store or was
// written by a newer program.
#include <filesystem>
#include <fstream>
#include <sqlite3.h>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files/path_separator.h"
#include "history/sqlite_store.h"
#include "report/measurement_report.h"
#include "tests/support/scratch_folder.h"

namespace {

using history::OpenedStore;
using history::SqliteStore;

void ExecuteSql(const std::string& path, const char* sql) {
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &database), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(database, sql, nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(database);
    sqlite3_close(database);
}

TEST(SqliteStore, MadeOnceAndOpenedAgain) {
    test_support::ScratchFolder folder;
    const std::string path = folder.File("history.sqlite");
    for (int open = 0; open < 2; ++open) {
        const OpenedStore opened = SqliteStore::Open(path);
        ASSERT_NE(opened.store, nullptr) << opened.error;
    }
    // The second open added no second version row.
    ExecuteSql(path, "CREATE TABLE check_rows AS SELECT count(*) AS n FROM k720_schema");
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &database), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(database, "SELECT n FROM check_rows", -1, &statement, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(statement, 0), 1);
    sqlite3_finalize(statement);
    sqlite3_close(database);
}

TEST(SqliteStore, NewerSchemaAndOtherFilesAreRefusedUntouched) {
    test_support::ScratchFolder folder;
    const std::string newer = folder.File("newer.sqlite");
    ASSERT_NE(SqliteStore::Open(newer).store, nullptr);
    ExecuteSql(newer, "UPDATE k720_schema SET version = 3");
    const OpenedStore refused = SqliteStore::Open(newer);
    EXPECT_EQ(refused.store, nullptr);
    EXPECT_NE(refused.error.find("schema 3"), std::string::npos) << refused.error;

    const std::string text = folder.File("day1.csv");
    std::ofstream(text) << "Model,K720 BATTERY TARVELIN\r\n";
    const OpenedStore notAStore = SqliteStore::Open(text);
    EXPECT_EQ(notAStore.store, nullptr);
    EXPECT_NE(notAStore.error.find(text), std::string::npos) << notAStore.error;
    std::ifstream kept(text);
    std::string line;
    std::getline(kept, line);
    EXPECT_EQ(line, "Model,K720 BATTERY TARVELIN\r");
}

const std::string kColumns = "No,R-Range,Resistance[mohm],R-Lim1[mohm],R-Lim2[mohm],V-Range,"
                             "Voltage[volt],V-Lim[volt],Temperature[C],Result,Date,Time\r\n";

// A measurement file of unit C with the given slot lines.
report::MeasurementReport File(const std::string& slots) {
    const std::string bytes = "Model,K720 BATTERY TARVELIN\r\nSerial,123456789\r\n"
                              "Date,2014-3-10,,V1.03\r\n\r\n\r\nUNIT C\r\n\r\n" +
                              kColumns + slots + "\r\n\r\n";
    const report::ParsedReport parsed = report::ParseMeasurementFile(bytes, "day.csv");
    EXPECT_TRUE(parsed.Ok()) << parsed.error.message;
    return parsed.Ok() ? *parsed.report : report::MeasurementReport{};
}

const std::string kTwo = "1,30m,12.34,15.00,10.00,6V,3.712,3.500,35.3,PASS,2014-3-5,9:07\r\n"
                         "2,3m,--,,,60V,12.50,,,,2014-3-5,9:08\r\n";

// Reading the same instrument again adds nothing; a slot that holds a new reading is new.
TEST(SqliteStore, AReadingIsStoredOnce) {
    test_support::ScratchFolder folder;
    const OpenedStore opened = SqliteStore::Open(folder.File("h.sqlite"));
    ASSERT_NE(opened.store, nullptr) << opened.error;
    const history::ReadoutOrigin origin{"2026-12-08T09:05:00Z", "day.csv", "1.03", "bench"};
    const history::Recorded first = opened.store->Record(File(kTwo), origin);
    EXPECT_EQ(first.error, "");
    EXPECT_EQ(first.newReadings, 2);
    EXPECT_EQ(first.knownReadings, 0);
    const history::Recorded again = opened.store->Record(File(kTwo), origin);
    EXPECT_EQ(again.newReadings, 0);
    EXPECT_EQ(again.knownReadings, 2);
    // Slot 2 measured anew (another voltage) and a third slot.
    const history::Recorded changed = opened.store->Record(
        File("1,30m,12.34,15.00,10.00,6V,3.712,3.500,35.3,PASS,2014-3-5,9:07\r\n"
             "2,3m,--,,,60V,12.51,,,,2014-3-5,9:08\r\n"
             "3,3m,1.01,1.500,2.000,6V,--,2.500,-9999,WARNING,2014-3-6,0:00\r\n"),
        origin);
    EXPECT_EQ(changed.newReadings, 2);
    EXPECT_EQ(changed.knownReadings, 1);
}

// A store's path is UTF-8, as the history shows it: on Windows too, whatever the system's code
// page, the file bears exactly that name and a second open finds it again.
TEST(SqliteStore, APathInAnyScriptNamesTheFileItself) {
    test_support::ScratchFolder folder;
    const std::string name = "履歴 Ünité.sqlite";
    const std::string path = folder.Path() + files::kPathSeparator + name;
    for (int open = 0; open < 2; ++open) {
        const OpenedStore opened = SqliteStore::Open(path);
        ASSERT_NE(opened.store, nullptr) << opened.error;
        const history::ReadoutOrigin origin{"2026-12-08T09:05:00Z", "day.csv", "1.03", "bench"};
        EXPECT_EQ(opened.store->Record(File(kTwo), origin).newReadings, open == 0 ? 2 : 0);
    }
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        const std::u8string utf8 = entry.path().filename().u8string();
        names.emplace_back(utf8.begin(), utf8.end());
    }
    EXPECT_EQ(names, std::vector<std::string>{name});
}

} // namespace
