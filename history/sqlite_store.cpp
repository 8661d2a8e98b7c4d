#include "history/sqlite_store.h"

#include <optional>
#include <sqlite3.h>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/texts.h"
#include "history/reading_columns.h"
#include "history/selected_points.h"
#include "history/store_texts.h"
#include "measure/units.h"

namespace history {

namespace {

constexpr int kBusyTimeoutMs = 10000;

// Schema 1: the read-outs and their readings. The columns of a reading and its unique key are
// those of reading_columns.h; the key's texts are never NULL (NULLs never clash in a unique key,
// so a reading without limits would be stored again and again).
std::string Schema1() {
    return std::string(R"(
CREATE TABLE k720_schema (version INTEGER NOT NULL);
CREATE TABLE readouts (
    id INTEGER PRIMARY KEY,
    read_at TEXT NOT NULL,
    file_name TEXT NOT NULL,
    program_version TEXT NOT NULL,
    host TEXT NOT NULL,
    serial TEXT NOT NULL,
    unit_mask INTEGER NOT NULL,
    new_readings INTEGER NOT NULL,
    known_readings INTEGER NOT NULL);
CREATE TABLE readings (
    id INTEGER PRIMARY KEY,
    readout_id INTEGER NOT NULL REFERENCES readouts(id),
    serial TEXT NOT NULL,
    unit INTEGER NOT NULL,
    slot INTEGER NOT NULL,
    date_text TEXT NOT NULL,
    time_text TEXT NOT NULL,
    day TEXT,
    resistance_range TEXT NOT NULL,
    resistance_text TEXT NOT NULL,
    resistance INTEGER,
    voltage_range TEXT NOT NULL,
    voltage_text TEXT NOT NULL,
    voltage INTEGER,
    limit1_text TEXT NOT NULL,
    limit1 INTEGER,
    limit2_text TEXT NOT NULL,
    limit2 INTEGER,
    voltage_limit_text TEXT NOT NULL,
    voltage_limit INTEGER,
    temperature_text TEXT NOT NULL,
    temperature INTEGER,
    temperature_unit TEXT NOT NULL,
    result TEXT NOT NULL,
    UNIQUE ()") +
           kReadingKey + R"());
CREATE INDEX readings_by_day ON readings (day);
INSERT INTO k720_schema (version) VALUES (1);
)";
}

// Why the last call failed: the common causes in the user's language, SQLite's own text else.
std::string ErrorOf(sqlite3* database) {
    if (database == nullptr) {
        return "out of memory";
    }
    switch (sqlite3_errcode(database) & 0xFF) {
    case SQLITE_READONLY:
        return Translate(
            kMessages, K720_TEXT("Messages", "the file or its folder is read-only for this user"));
    case SQLITE_FULL:
        return Translate(kMessages, K720_TEXT("Messages", "the disk is full"));
    case SQLITE_NOTADB:
        return Translate(kMessages, K720_TEXT("Messages", "the file is not a history"));
    default:
        return sqlite3_errmsg(database);
    }
}

bool Execute(sqlite3* database, const char* sql, std::string* error) {
    if (sqlite3_exec(database, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        *error = ErrorOf(database);
        return false;
    }
    return true;
}

// A prepared statement, finalized with its owner; empty when the SQL could not be prepared.
using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

Statement Prepare(sqlite3* database, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(database, sql.c_str(), -1, &statement, nullptr);
    return Statement(statement, &sqlite3_finalize);
}

void Bind(sqlite3_stmt* statement, int index, const Value& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        sqlite3_bind_int64(statement, index, *number);
    } else if (const auto* text = std::get_if<std::string>(&value)) {
        sqlite3_bind_text(statement, index, text->c_str(), static_cast<int>(text->size()),
                          SQLITE_TRANSIENT);
    } else if (const auto* bytes = std::get_if<Bytes>(&value)) {
        sqlite3_bind_blob(statement, index, bytes->bytes.data(),
                          static_cast<int>(bytes->bytes.size()), SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_null(statement, index);
    }
}

std::string Text(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text != nullptr ? std::string(text, sqlite3_column_bytes(statement, column)) : "";
}

std::string QuestionMark(int, const Value&) {
    return "?";
}

// The schema version in the store: 0 for a store without one (a new file).
bool ReadVersion(sqlite3* database, int* version, std::string* error) {
    Statement has =
        Prepare(database, "SELECT count(*) FROM sqlite_master WHERE name = 'k720_schema'");
    if (!has) {
        *error = ErrorOf(database);
        return false;
    }
    const bool hasTable =
        sqlite3_step(has.get()) == SQLITE_ROW && sqlite3_column_int(has.get(), 0) > 0;
    *version = 0;
    if (!hasTable) {
        return true;
    }
    Statement read = Prepare(database, "SELECT max(version) FROM k720_schema");
    if (!read) {
        *error = ErrorOf(database);
        return false;
    }
    if (sqlite3_step(read.get()) == SQLITE_ROW) {
        *version = sqlite3_column_int(read.get(), 0);
    }
    return true;
}

// Schema 2 adds each reading's point column, filled from the texts of the readings already kept.
bool MigrateToSchema2(sqlite3* database, std::string* error) {
    if (!Execute(database, "ALTER TABLE readings ADD COLUMN point BLOB", error)) {
        return false;
    }
    // The points first, then their updates: a table is not changed while it is read.
    Statement read = Prepare(database, std::string("SELECT id, temperature_unit, ") +
                                           kReadingLineColumns + " FROM readings");
    Statement write = Prepare(database, "UPDATE readings SET point = ? WHERE id = ?");
    if (!read || !write) {
        *error = ErrorOf(database);
        return false;
    }
    std::vector<std::pair<std::int64_t, Bytes>> points;
    std::vector<std::string> texts(kReadingLineColumnCount);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(read.get())) == SQLITE_ROW) {
        for (int i = 0; i < kReadingLineColumnCount; ++i) {
            texts[static_cast<std::size_t>(i)] = Text(read.get(), i + 2);
        }
        std::optional<Bytes> point = PointBytesOfTexts(texts, Text(read.get(), 1) == "F", error);
        if (!point) {
            return false;
        }
        points.emplace_back(sqlite3_column_int64(read.get(), 0), std::move(*point));
    }
    if (step != SQLITE_DONE) {
        *error = ErrorOf(database);
        return false;
    }
    for (const auto& [id, point] : points) {
        sqlite3_reset(write.get());
        Bind(write.get(), 1, point);
        sqlite3_bind_int64(write.get(), 2, id);
        if (sqlite3_step(write.get()) != SQLITE_DONE) {
            *error = ErrorOf(database);
            return false;
        }
    }
    return Execute(database, "UPDATE k720_schema SET version = 2", error);
}

} // namespace

OpenedStore SqliteStore::Open(const std::string& path) {
    sqlite3* database = nullptr;
    const int opened =
        sqlite3_open_v2(path.c_str(), &database,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<SqliteStore> store(new SqliteStore(database, path));
    if (opened != SQLITE_OK) {
        return {nullptr, CannotOpenText(path, ErrorOf(database))};
    }
    std::string error;
    sqlite3_busy_timeout(database, kBusyTimeoutMs);
    int version = 0;
    // A store of this version is only read here, so that a store the user may not write can
    // still be listed and reported. Otherwise one write transaction holds the check and the
    // schema: two programs creating the same new store make it once.
    if (!Execute(database, "PRAGMA foreign_keys = ON; BEGIN", &error) ||
        !ReadVersion(database, &version, &error) || !Execute(database, "COMMIT", &error)) {
        return {nullptr, CannotOpenText(path, error)};
    }
    if (version != kSchemaVersion) {
        if (!Execute(database, "BEGIN IMMEDIATE", &error) ||
            !ReadVersion(database, &version, &error)) {
            return {nullptr, CannotOpenText(path, error)};
        }
        if (version > kSchemaVersion) {
            Execute(database, "ROLLBACK", &error);
            return {nullptr, NewerSchemaText(path, version)};
        }
        if ((version == 0 && !Execute(database, Schema1().c_str(), &error)) ||
            (version < 2 && !MigrateToSchema2(database, &error)) ||
            !Execute(database, "COMMIT", &error) ||
            !Execute(database, "PRAGMA journal_mode = WAL", &error)) {
            Execute(database, "ROLLBACK", &error);
            return {nullptr, CannotOpenText(path, error)};
        }
    }
    return {std::move(store), {}};
}

SqliteStore::~SqliteStore() {
    sqlite3_close_v2(database_);
}

Recorded SqliteStore::Record(const report::MeasurementReport& file, const ReadoutOrigin& origin) {
    Recorded recorded;
    std::string error;
    const auto failed = [&](const std::string& reason) {
        std::string ignored;
        Execute(database_, "ROLLBACK", &ignored);
        return Recorded{0, 0, NothingRecordedText(reason)};
    };
    if (!Execute(database_, "BEGIN IMMEDIATE", &error)) {
        return failed(error);
    }
    Statement readout = Prepare(
        database_, "INSERT INTO readouts (read_at, file_name, program_version, host, serial, "
                   "unit_mask, new_readings, known_readings) VALUES (?, ?, ?, ?, ?, ?, 0, 0)");
    std::string insert =
        std::string("INSERT INTO readings (readout_id, ") + kReadingColumns + ") VALUES (?";
    for (int i = 0; i < kReadingColumnCount; ++i) {
        insert += ", ?";
    }
    insert += ") ON CONFLICT DO NOTHING";
    Statement reading = Prepare(database_, insert);
    Statement count =
        Prepare(database_, "UPDATE readouts SET new_readings = ?, known_readings = ? WHERE id = ?");
    if (!readout || !reading || !count) {
        return failed(ErrorOf(database_));
    }
    const Value readoutValues[] = {origin.readAt, origin.fileName, origin.programVersion,
                                   origin.host,   file.serial,     std::int64_t{UnitMaskOf(file)}};
    for (int i = 0; i < 6; ++i) {
        Bind(readout.get(), i + 1, readoutValues[i]);
    }
    if (sqlite3_step(readout.get()) != SQLITE_DONE) {
        return failed(ErrorOf(database_));
    }
    const sqlite3_int64 readoutId = sqlite3_last_insert_rowid(database_);
    for (const report::Summary& unit : file.units) {
        const int unitIndex = measure::UnitIndexOfLetter(unit.unit);
        for (const report::Point& point : unit.points) {
            sqlite3_stmt* s = reading.get();
            sqlite3_reset(s);
            sqlite3_bind_int64(s, 1, readoutId);
            const std::vector<Value> values =
                ReadingValues(file.serial, unitIndex, file.fahrenheit,
                              file.readings[static_cast<std::size_t>(point.source)]);
            for (std::size_t i = 0; i < values.size(); ++i) {
                Bind(s, static_cast<int>(i) + 2, values[i]);
            }
            if (sqlite3_step(s) != SQLITE_DONE) {
                return failed(ErrorOf(database_));
            }
            (sqlite3_changes(database_) > 0 ? recorded.newReadings : recorded.knownReadings)++;
        }
    }
    sqlite3_bind_int(count.get(), 1, recorded.newReadings);
    sqlite3_bind_int(count.get(), 2, recorded.knownReadings);
    sqlite3_bind_int64(count.get(), 3, readoutId);
    if (sqlite3_step(count.get()) != SQLITE_DONE) {
        return failed(ErrorOf(database_));
    }
    if (!Execute(database_, "COMMIT", &error)) {
        return failed(error);
    }
    return recorded;
}

ListedReadouts SqliteStore::List() {
    ListedReadouts listed;
    Statement statement = Prepare(
        database_, "SELECT id, read_at, file_name, program_version, host, serial, unit_mask, "
                   "new_readings, known_readings FROM readouts ORDER BY id");
    if (!statement) {
        listed.error = CannotReadText(path_, ErrorOf(database_));
        return listed;
    }
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
        sqlite3_stmt* s = statement.get();
        listed.readouts.push_back({sqlite3_column_int64(s, 0), Text(s, 1), Text(s, 2), Text(s, 3),
                                   Text(s, 4), Text(s, 5), sqlite3_column_int(s, 6),
                                   sqlite3_column_int(s, 7), sqlite3_column_int(s, 8)});
    }
    if (step != SQLITE_DONE) {
        listed = {{}, CannotReadText(path_, ErrorOf(database_))};
    }
    return listed;
}

SelectedReadings SqliteStore::Select(const Selection& selection) {
    return SelectWhere(ClauseOf(selection, &QuestionMark));
}

SelectedReadings SqliteStore::SelectRows(const std::vector<std::int64_t>& ids) {
    return SelectWhere(RowsClause(ids, &QuestionMark));
}

SelectedReadings SqliteStore::SelectWhere(const SelectionClause& clause) {
    SelectedReadings selected;
    Statement statement =
        Prepare(database_, std::string("SELECT id, serial, unit, temperature_unit, ") +
                               kReadingLineColumns + " FROM readings" + clause.where +
                               " ORDER BY serial, unit, slot, id");
    // The readings are counted first, so that a large selection is not moved in memory as the
    // list grows.
    Statement count =
        Prepare(database_, std::string("SELECT count(*) FROM readings") + clause.where);
    if (!statement || !count) {
        return {{}, CannotReadText(path_, ErrorOf(database_))};
    }
    for (std::size_t i = 0; i < clause.parameters.size(); ++i) {
        Bind(statement.get(), static_cast<int>(i) + 1, clause.parameters[i]);
        Bind(count.get(), static_cast<int>(i) + 1, clause.parameters[i]);
    }
    if (sqlite3_step(count.get()) == SQLITE_ROW) {
        selected.readings.reserve(static_cast<std::size_t>(sqlite3_column_int64(count.get(), 0)));
    }
    constexpr int kLine = 4; // the first column of the slot line
    std::string line;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
        sqlite3_stmt* s = statement.get();
        line.clear();
        for (int i = 0; i < kReadingLineColumnCount; ++i) {
            line += i > 0 ? "," : "";
            line.append(reinterpret_cast<const char*>(sqlite3_column_text(s, kLine + i)),
                        static_cast<std::size_t>(sqlite3_column_bytes(s, kLine + i)));
        }
        std::string wrong;
        std::optional<report::Reading> reading = report::ParseReadingLine(line, &wrong);
        if (!reading) {
            return {{}, CannotReadText(path_, wrong)};
        }
        selected.readings.push_back({sqlite3_column_int64(s, 0), Text(s, 1),
                                     sqlite3_column_int(s, 2), Text(s, 3) == "F",
                                     std::move(*reading)});
    }
    if (step != SQLITE_DONE) {
        return {{}, CannotReadText(path_, ErrorOf(database_))};
    }
    return selected;
}

SelectedPoints SqliteStore::SelectPoints(const Selection& selection) {
    const SelectionClause clause = ClauseOf(selection, &QuestionMark);
    // In the order of the table: the builder orders each unit's points itself, cheaper than a
    // sort of every row by SQLite.
    Statement statement = Prepare(database_, std::string("SELECT ") + kPointColumns +
                                                 " FROM readings" + clause.where);
    if (!statement) {
        return {{}, {}, false, false, CannotReadText(path_, ErrorOf(database_))};
    }
    for (std::size_t i = 0; i < clause.parameters.size(); ++i) {
        Bind(statement.get(), static_cast<int>(i) + 1, clause.parameters[i]);
    }
    const auto bytes = [](sqlite3_stmt* s, int column, const void* data) {
        return std::string_view(static_cast<const char*>(data),
                                static_cast<std::size_t>(sqlite3_column_bytes(s, column)));
    };
    SelectedPointsBuilder builder;
    PointRow row;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
        sqlite3_stmt* s = statement.get();
        row.id = sqlite3_column_int64(s, 0);
        row.serial = bytes(s, 1, sqlite3_column_text(s, 1));
        row.unit = sqlite3_column_int64(s, 2);
        row.point = bytes(s, 3, sqlite3_column_blob(s, 3));
        if (std::string wrong = builder.Add(row); !wrong.empty()) {
            return {{}, {}, false, false, CannotReadText(path_, wrong)};
        }
    }
    if (step != SQLITE_DONE) {
        return {{}, {}, false, false, CannotReadText(path_, ErrorOf(database_))};
    }
    return builder.Finish();
}

} // namespace history
