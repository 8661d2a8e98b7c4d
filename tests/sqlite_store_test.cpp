// The SQLite history on real files: made once, reopened, and refused when it is no store or was
// written by a newer program.
#include <fstream>
#include <sqlite3.h>
#include <string>

#include <gtest/gtest.h>

#include "history/sqlite_store.h"
#include "tests/support/scratch_folder.h"

namespace {

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
        const SqliteStore::Opened opened = SqliteStore::Open(path);
        ASSERT_NE(opened.store, nullptr) << opened.error;
        EXPECT_EQ(opened.store->SchemaVersion(), history::kSchemaVersion);
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
    ExecuteSql(newer, "UPDATE k720_schema SET version = 2");
    const SqliteStore::Opened refused = SqliteStore::Open(newer);
    EXPECT_EQ(refused.store, nullptr);
    EXPECT_NE(refused.error.find("schema 2"), std::string::npos) << refused.error;

    const std::string text = folder.File("day1.csv");
    std::ofstream(text) << "Model,K720 BATTERY TARVELIN\r\n";
    const SqliteStore::Opened notAStore = SqliteStore::Open(text);
    EXPECT_EQ(notAStore.store, nullptr);
    EXPECT_NE(notAStore.error.find(text), std::string::npos) << notAStore.error;
    std::ifstream kept(text);
    std::string line;
    std::getline(kept, line);
    EXPECT_EQ(line, "Model,K720 BATTERY TARVELIN\r");
}

} // namespace
