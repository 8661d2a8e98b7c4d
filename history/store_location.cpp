#include "history/store_location.h"

#include <algorithm>
#include <utility>
#include <vector>

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

namespace {

// Where the passwords of `url` stand, in order: its user part's ("user:secret@", between "://"
// and the last '@' before any '/', '?', '#') and every "password=" parameter's of the query.
std::vector<std::pair<std::size_t, std::size_t>> PasswordSpans(std::string_view url) {
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    const std::size_t start = url.find("://");
    if (start != std::string_view::npos) {
        const std::size_t authority = start + 3;
        const std::size_t end = url.find_first_of("/?#", authority);
        const std::size_t at = url.rfind('@', end == std::string_view::npos ? url.size() : end);
        if (at != std::string_view::npos && at >= authority) {
            const std::size_t colon = url.find(':', authority);
            if (colon != std::string_view::npos && colon < at) {
                spans.emplace_back(colon + 1, at - colon - 1);
            }
        }
    }
    for (std::size_t at = url.find('?'); at != std::string_view::npos;) {
        const std::size_t name = at + 1;
        at = url.find('&', name);
        if (url.substr(name, 9) == "password=") {
            const std::size_t stop = at == std::string_view::npos ? url.size() : at;
            spans.emplace_back(name + 9, stop - name - 9);
        }
    }
    return spans;
}

} // namespace

std::string MaskedUrl(std::string_view url) {
    std::string masked(url);
    const auto spans = PasswordSpans(url);
    // From the last, so that the places before stay where they were.
    for (auto span = spans.rbegin(); span != spans.rend(); ++span) {
        masked.replace(span->first, span->second, kMask);
    }
    return masked;
}

std::vector<std::string> UrlPasswords(std::string_view url) {
    std::vector<std::string> passwords;
    for (const auto& [begin, size] : PasswordSpans(url)) {
        passwords.emplace_back(url.substr(begin, size));
    }
    return passwords;
}

} // namespace history
