#include "history/sqlite_store.h"

#include <sqlite3.h>

#include "base/texts.h"

namespace history {

namespace {

constexpr int kBusyTimeoutMs = 10000;

// Schema 1: the read-outs and their readings. A reading is stored once: the unique key is
// everything that tells two readings apart.
constexpr const char* kSchema1 = R"(
CREATE TABLE k720_schema (version INTEGER NOT NULL);
CREATE TABLE readouts (
    id INTEGER PRIMARY KEY,
    read_at TEXT NOT NULL,
    file_name TEXT NOT NULL,
    program_version TEXT NOT NULL,
    host TEXT NOT NULL,
    serial TEXT NOT NULL,
    new_readings INTEGER NOT NULL,
    known_readings INTEGER NOT NULL);
CREATE TABLE readings (
    id INTEGER PRIMARY KEY,
    readout_id INTEGER NOT NULL REFERENCES readouts(id),
    serial TEXT NOT NULL,
    unit INTEGER NOT NULL,
    slot INTEGER NOT NULL,
    stamp TEXT NOT NULL,
    resistance_range TEXT NOT NULL,
    resistance_text TEXT NOT NULL,
    resistance INTEGER,
    voltage_range TEXT NOT NULL,
    voltage_text TEXT NOT NULL,
    voltage INTEGER,
    limit1 INTEGER,
    limit2 INTEGER,
    voltage_limit INTEGER,
    result TEXT NOT NULL,
    temperature_text TEXT NOT NULL,
    temperature INTEGER,
    temperature_unit TEXT NOT NULL,
    UNIQUE (serial, unit, slot, stamp, resistance_range, resistance_text, voltage_range,
            voltage_text, limit1, limit2, voltage_limit, result, temperature_text,
            temperature_unit));
INSERT INTO k720_schema (version) VALUES (1);
)";

std::string ErrorOf(sqlite3* database) {
    return database != nullptr ? sqlite3_errmsg(database) : "out of memory";
}

bool Execute(sqlite3* database, const char* sql, std::string* error) {
    char* message = nullptr;
    if (sqlite3_exec(database, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        *error = message != nullptr ? message : ErrorOf(database);
        sqlite3_free(message);
        return false;
    }
    return true;
}

// The schema version in the store: 0 for a store without one (a new file).
bool ReadVersion(sqlite3* database, int* version, std::string* error) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(database,
                           "SELECT count(*) FROM sqlite_master WHERE name = 'k720_schema'", -1,
                           &statement, nullptr) != SQLITE_OK) {
        *error = ErrorOf(database);
        return false;
    }
    const bool hasTable =
        sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_int(statement, 0) > 0;
    sqlite3_finalize(statement);
    *version = 0;
    if (!hasTable) {
        return true;
    }
    if (sqlite3_prepare_v2(database, "SELECT max(version) FROM k720_schema", -1, &statement,
                           nullptr) != SQLITE_OK) {
        *error = ErrorOf(database);
        return false;
    }
    if (sqlite3_step(statement) == SQLITE_ROW) {
        *version = sqlite3_column_int(statement, 0);
    }
    sqlite3_finalize(statement);
    return true;
}

} // namespace

SqliteStore::Opened SqliteStore::Open(const std::string& path) {
    sqlite3* database = nullptr;
    const int opened = sqlite3_open_v2(path.c_str(), &database,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<SqliteStore> store(new SqliteStore(database));
    if (opened != SQLITE_OK) {
        return {nullptr,
                FillText(kMessages, K720_TEXT("Messages", "Can not open the history %1: %2"),
                         {path, ErrorOf(database)})};
    }
    std::string error;
    sqlite3_busy_timeout(database, kBusyTimeoutMs);
    int version = 0;
    // One write transaction for the check and the schema: two programs creating the same new
    // store make it once.
    if (!Execute(database, "PRAGMA foreign_keys = ON; BEGIN IMMEDIATE", &error) ||
        !ReadVersion(database, &version, &error)) {
        return {nullptr,
                FillText(kMessages, K720_TEXT("Messages", "Can not open the history %1: %2"),
                         {path, error})};
    }
    if (version > kSchemaVersion) {
        Execute(database, "ROLLBACK", &error);
        return {nullptr,
                FillText(kMessages,
                         K720_TEXT("Messages", "The history %1 was written by a newer version of "
                                               "the program (schema %2); this one reads up to "
                                               "schema %3."),
                         {path, std::to_string(version), std::to_string(kSchemaVersion)})};
    }
    if ((version == 0 && !Execute(database, kSchema1, &error)) ||
        !Execute(database, "COMMIT", &error) ||
        !Execute(database, "PRAGMA journal_mode = WAL", &error)) {
        return {nullptr,
                FillText(kMessages, K720_TEXT("Messages", "Can not open the history %1: %2"),
                         {path, error})};
    }
    return {std::move(store), {}};
}

SqliteStore::~SqliteStore() {
    sqlite3_close_v2(database_);
}

int SqliteStore::SchemaVersion() const {
    int version = 0;
    std::string error;
    return ReadVersion(database_, &version, &error) ? version : 0;
}

} // namespace history
