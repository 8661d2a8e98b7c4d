#include "history/store_location.h"

namespace history {

namespace {

constexpr std::string_view kMask = "***";

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

StoreLocation ParseStoreLocation(std::string_view store) {
    if (StartsWith(store, "postgresql://") || StartsWith(store, "postgres://")) {
        return {StoreKind::Postgres, std::string(store), MaskedUrl(store)};
    }
    return {StoreKind::Sqlite, std::string(store), std::string(store)};
}

std::string MaskedUrl(std::string_view url) {
    std::string masked(url);
    // The user part of the authority: between "://" and the first '@' before any '/', '?', '#'.
    const std::size_t start = masked.find("://");
    if (start != std::string::npos) {
        const std::size_t authority = start + 3;
        const std::size_t end = masked.find_first_of("/?#", authority);
        const std::size_t at = masked.rfind('@', end == std::string::npos ? masked.size() : end);
        if (at != std::string::npos && at >= authority) {
            const std::size_t colon = masked.find(':', authority);
            if (colon != std::string::npos && colon < at) {
                masked.replace(colon + 1, at - colon - 1, kMask);
            }
        }
    }
    // Every "password=" parameter of the query.
    const std::size_t query = masked.find('?');
    for (std::size_t at = query; at != std::string::npos && at < masked.size();) {
        const std::size_t name = at + 1;
        const std::size_t next = masked.find('&', name);
        const std::size_t stop = next == std::string::npos ? masked.size() : next;
        if (masked.compare(name, 9, "password=") == 0) {
            masked.replace(name + 9, stop - name - 9, kMask);
            at = masked.find('&', name);
        } else {
            at = next;
        }
    }
    return masked;
}

} // namespace history
