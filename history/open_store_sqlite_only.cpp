// OpenStore of a build without PostgreSQL's client library: SQLite files only.
#include "base/texts.h"
#include "history/sqlite_store.h"

namespace history {

OpenedStore OpenStore(const StoreLocation& location) {
    if (location.kind == StoreKind::Postgres) {
        return {nullptr,
                FillText(kMessages,
                         K720_TEXT("Messages", "Can not open the history %1: this build keeps "
                                               "the history in SQLite files only."),
                         {location.shown})};
    }
    return SqliteStore::Open(location.target);
}

} // namespace history
