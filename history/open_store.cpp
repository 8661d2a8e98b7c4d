// OpenStore of a build with both engines.
#include "history/postgres_store.h"
#include "history/sqlite_store.h"

namespace history {

OpenedStore OpenStore(const StoreLocation& location) {
    if (location.kind == StoreKind::Postgres) {
        return PostgresStore::Open(location.target, location.shown);
    }
    return SqliteStore::Open(location.target);
}

} // namespace history
