// The history in a PostgreSQL server, for a lab whose benches share one history: the same schema
// and the same unique key as the SQLite file, through libpq. Many benches may record at once: a
// reading two of them record at the same moment is stored once (the unique key decides).
#pragma once

#include <memory>
#include <string>

#include "history/store.h"

struct pg_conn;

namespace history {

struct SelectionClause;

class PostgresStore final : public Store {
public:
    // Connects to the server at `url` and brings its schema to this program's version. `shown` is
    // the URL with its password masked: the only form any message names.
    static OpenedStore Open(const std::string& url, const std::string& shown);

    ~PostgresStore() override;
    PostgresStore(const PostgresStore&) = delete;
    PostgresStore& operator=(const PostgresStore&) = delete;

    Recorded Record(const report::MeasurementReport& file, const ReadoutOrigin& origin) override;
    ListedReadouts List() override;
    SelectedReadings Select(const Selection& selection) override;
    SelectedPoints SelectPoints(const Selection& selection) override;
    SelectedReadings SelectRows(const std::vector<std::int64_t>& ids) override;

private:
    SelectedReadings SelectWhere(const SelectionClause& clause);
    PostgresStore(pg_conn* connection, std::string shown)
        : connection_(connection), shown_(std::move(shown)) {}

    pg_conn* connection_;
    std::string shown_;
};

} // namespace history
