// The history in a SQLite file: opened (created when missing) with its schema brought to this
// program's version, in WAL mode with a busy timeout and foreign keys on.
#pragma once

#include <memory>
#include <string>

#include "history/store.h"

struct sqlite3;

namespace history {

struct SelectionClause;

class SqliteStore final : public Store {
public:
    // The store at `path`, or the reason it cannot be used (in the user's language).
    static OpenedStore Open(const std::string& path);

    ~SqliteStore() override;
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    Recorded Record(const report::MeasurementReport& file, const ReadoutOrigin& origin) override;
    ListedReadouts List() override;
    SelectedReadings Select(const Selection& selection) override;
    SelectedPoints SelectPoints(const Selection& selection) override;
    SelectedReadings SelectRows(const std::vector<std::int64_t>& ids) override;

private:
    SelectedReadings SelectWhere(const SelectionClause& clause);
    SqliteStore(sqlite3* database, std::string path)
        : database_(database), path_(std::move(path)) {}
    // "Can not use the history PATH: REASON" in the user's language.
    std::string Failure(const std::string& reason) const;

    sqlite3* database_;
    std::string path_;
};

} // namespace history
