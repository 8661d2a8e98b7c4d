// The history in a SQLite file: opened (created when missing) with its schema brought to this
// program's version, in WAL mode with a busy timeout and foreign keys on.
#pragma once

#include <memory>
#include <string>

struct sqlite3;

namespace history {

// The version of the schema this program writes; a store of a newer one is refused.
inline constexpr int kSchemaVersion = 1;

class SqliteStore {
public:
    struct Opened;
    // The store at `path`, or the reason it cannot be used (in the user's language).
    static Opened Open(const std::string& path);

    ~SqliteStore();
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    int SchemaVersion() const;

private:
    explicit SqliteStore(sqlite3* database) : database_(database) {}
    sqlite3* database_;
};

struct SqliteStore::Opened {
    std::unique_ptr<SqliteStore> store;
    std::string error;
};

} // namespace history
