#include "history/store_location.h"

#include <algorithm>

#include "base/texts.h"

namespace history {

namespace {

constexpr std::string_view kMask = "***";

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The form of "postgresql://[user[:password]@][host][:port][/database][?parameters]".
bool UrlIsWellFormed(std::string_view url) {
    for (std::size_t i = 0; i < url.size(); ++i) {
        const auto c = static_cast<unsigned char>(url[i]);
        if (c <= ' ' || c == 0x7F) {
            return false;
        }
        if (c == '%' &&
            (i + 2 >= url.size() || !IsHexDigit(url[i + 1]) || !IsHexDigit(url[i + 2]))) {
            return false;
        }
    }
    const std::size_t authority = url.find("://") + 3;
    const std::size_t end = std::min(url.find_first_of("/?#", authority), url.size());
    std::string_view host = url.substr(authority, end - authority);
    if (const std::size_t at = host.rfind('@'); at != std::string_view::npos) {
        host.remove_prefix(at + 1);
    }
    // An IPv6 address stands in brackets; the port follows the last colon after it.
    const std::size_t bracket = host.rfind(']');
    const std::size_t colon = host.rfind(':');
    if (!host.empty() && host.front() == '[' && bracket == std::string_view::npos) {
        return false;
    }
    if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
        const std::string_view port = host.substr(colon + 1);
        if (port.empty() || port.size() > 5 ||
            port.find_first_not_of("0123456789") != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

} // namespace

StoreLocation ParseStoreLocation(std::string_view store) {
    if (StartsWith(store, "postgresql://") || StartsWith(store, "postgres://")) {
        StoreLocation location{StoreKind::Postgres, std::string(store), MaskedUrl(store), {}};
        if (!UrlIsWellFormed(store)) {
            location.problem =
                FillText(kMessages,
                         K720_TEXT("Messages", "'%1' is not a PostgreSQL URL of the form "
                                               "postgresql://USER@HOST:PORT/DATABASE"),
                         {location.shown});
        }
        return location;
    }
    return {StoreKind::Sqlite, std::string(store), std::string(store), {}};
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
