// Work in progress on this branch: replaced by the libpq engine.
#include "history/postgres_store.h"

#include "history/store_texts.h"

namespace history {

OpenedStore PostgresStore::Open(const std::string&, const std::string& shown) {
    return {nullptr, CannotOpenText(shown, "not built yet")};
}
PostgresStore::~PostgresStore() = default;
Recorded PostgresStore::Record(const report::MeasurementReport&, const ReadoutOrigin&) {
    return {};
}
ListedReadouts PostgresStore::List() {
    return {};
}
SelectedReadings PostgresStore::Select(const Selection&) {
    return {};
}

} // namespace history
