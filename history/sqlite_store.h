// The history in a SQLite file: opened (created when missing) with its schema brought to this
// program's version, in WAL mode with a busy timeout and foreign keys on.
#pragma once

#include <memory>
#include <string>

#include "report/measurement_report.h"

struct sqlite3;

namespace history {

// The version of the schema this program writes; a store of a newer one is refused.
inline constexpr int kSchemaVersion = 1;

// Where a read-out came from.
struct ReadoutOrigin {
    std::string readAt; // when it was read or imported: "2026-12-08T09:05:00Z"
    std::string fileName;
    std::string programVersion;
    std::string host;
};

// What recording a read-out did: its readings new to the history and those already in it, or
// why nothing was recorded.
struct Recorded {
    int newReadings = 0;
    int knownReadings = 0;
    std::string error; // empty: recorded
};

class SqliteStore {
public:
    struct Opened;
    // The store at `path`, or the reason it cannot be used (in the user's language).
    static Opened Open(const std::string& path);

    ~SqliteStore();
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    int SchemaVersion() const;

    // Records every reading of `file` with its read-out in one transaction: all of it or, on
    // any failure, nothing. A reading already in the history is counted, not stored again.
    Recorded Record(const report::MeasurementReport& file, const ReadoutOrigin& origin);

private:
    explicit SqliteStore(sqlite3* database) : database_(database) {}
    sqlite3* database_;
};

struct SqliteStore::Opened {
    std::unique_ptr<SqliteStore> store;
    std::string error;
};

} // namespace history
