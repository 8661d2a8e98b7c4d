#include "history/sqlite_store.h"

#include <optional>
#include <sqlite3.h>
#include <type_traits>

#include "base/texts.h"

namespace history {

namespace {

constexpr int kBusyTimeoutMs = 10000;

// Schema 1: the read-outs and their readings. A reading is stored once: the unique key is
// everything that tells two readings apart, all of it texts that are never NULL (NULLs never
// clash in a unique key, so a reading without limits would be stored again and again); the
// exact numbers beside them are NULL where the file has none.
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
    limits TEXT NOT NULL,
    limit1 INTEGER,
    limit2 INTEGER,
    voltage_limit INTEGER,
    result TEXT NOT NULL,
    temperature_text TEXT NOT NULL,
    temperature INTEGER,
    temperature_unit TEXT NOT NULL,
    UNIQUE (serial, unit, slot, stamp, resistance_range, resistance_text, voltage_range,
            voltage_text, limits, result, temperature_text, temperature_unit));
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

namespace {

constexpr const char* kInsertReadout =
    "INSERT INTO readouts (read_at, file_name, program_version, host, serial, new_readings, "
    "known_readings) VALUES (?, ?, ?, ?, ?, 0, 0)";
constexpr const char* kInsertReading =
    "INSERT INTO readings (readout_id, serial, unit, slot, stamp, resistance_range, "
    "resistance_text, resistance, voltage_range, voltage_text, voltage, limits, limit1, limit2, "
    "voltage_limit, result, temperature_text, temperature, temperature_unit) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING";
constexpr const char* kCountReadout =
    "UPDATE readouts SET new_readings = ?, known_readings = ? WHERE id = ?";

// A prepared statement, finalized with its owner.
using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

Statement Prepare(sqlite3* database, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(database, sql, -1, &statement, nullptr);
    return Statement(statement, &sqlite3_finalize);
}

void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
    sqlite3_bind_text(statement, index, text.c_str(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

template <typename T>
void BindOptional(sqlite3_stmt* statement, int index, const std::optional<T>& value) {
    if (!value) {
        sqlite3_bind_null(statement, index);
    } else if constexpr (std::is_same_v<T, report::Milli>) {
        sqlite3_bind_int64(statement, index, value->thousandths);
    } else {
        sqlite3_bind_int64(statement, index, *value);
    }
}

const char* ResultText(report::Result result) {
    switch (result) {
    case report::Result::Pass:
        return "PASS";
    case report::Result::Fail:
        return "FAIL";
    case report::Result::Warning:
        return "WARNING";
    case report::Result::None:
        break;
    }
    return "";
}

// The three limits as one key text, "12.5/10/3.5", each empty where the reading has none.
std::string LimitsText(const report::Reading& point) {
    const auto text = [](const std::optional<report::Milli>& limit) {
        return limit ? report::MilliText(*limit) : std::string();
    };
    return text(point.limit1) + "/" + text(point.limit2) + "/" + text(point.voltageLimit);
}

} // namespace

Recorded SqliteStore::Record(const report::MeasurementReport& file, const ReadoutOrigin& origin) {
    Recorded recorded;
    std::string error;
    const auto failed = [&](const std::string& reason) {
        std::string ignored;
        Execute(database_, "ROLLBACK", &ignored);
        recorded = {0, 0,
                    FillText(kMessages,
                             K720_TEXT("Messages", "Nothing was recorded in the history: %1"),
                             {reason})};
        return recorded;
    };
    if (!Execute(database_, "BEGIN IMMEDIATE", &error)) {
        return failed(error);
    }
    Statement readout = Prepare(database_, kInsertReadout);
    Statement reading = Prepare(database_, kInsertReading);
    Statement count = Prepare(database_, kCountReadout);
    if (!readout || !reading || !count) {
        return failed(ErrorOf(database_));
    }
    BindText(readout.get(), 1, origin.readAt);
    BindText(readout.get(), 2, origin.fileName);
    BindText(readout.get(), 3, origin.programVersion);
    BindText(readout.get(), 4, origin.host);
    BindText(readout.get(), 5, file.serial);
    if (sqlite3_step(readout.get()) != SQLITE_DONE) {
        return failed(ErrorOf(database_));
    }
    const sqlite3_int64 readoutId = sqlite3_last_insert_rowid(database_);
    const std::string temperatureUnit = file.fahrenheit ? "F" : "C";
    for (const report::Summary& unit : file.units) {
        for (const report::Reading& point : unit.points) {
            sqlite3_stmt* s = reading.get();
            sqlite3_reset(s);
            sqlite3_bind_int64(s, 1, readoutId);
            BindText(s, 2, file.serial);
            sqlite3_bind_int(s, 3, unit.unit);
            sqlite3_bind_int(s, 4, point.slot);
            BindText(s, 5, point.date + " " + point.time);
            BindText(s, 6, point.resistanceRange);
            BindText(s, 7, point.resistanceText);
            BindOptional(s, 8, point.resistance);
            BindText(s, 9, point.voltageRange);
            BindText(s, 10, point.voltageText);
            BindOptional(s, 11, point.voltage);
            BindText(s, 12, LimitsText(point));
            BindOptional(s, 13, point.limit1);
            BindOptional(s, 14, point.limit2);
            BindOptional(s, 15, point.voltageLimit);
            BindText(s, 16, ResultText(point.result));
            BindText(s, 17, point.temperatureText);
            BindOptional(s, 18, point.temperatureTenths);
            BindText(s, 19, temperatureUnit);
            if (sqlite3_step(s) != SQLITE_DONE) {
                return failed(ErrorOf(database_));
            }
            (sqlite3_changes(database_) > 0 ? recorded.newReadings : recorded.knownReadings)++;
        }
    }
    sqlite3_bind_int(count.get(), 1, recorded.newReadings);
    sqlite3_bind_int(count.get(), 2, recorded.knownReadings);
    sqlite3_bind_int64(count.get(), 3, readoutId);
    if (sqlite3_step(count.get()) != SQLITE_DONE || !Execute(database_, "COMMIT", &error)) {
        return failed(error.empty() ? ErrorOf(database_) : error);
    }
    return recorded;
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
