// Where the history is kept, as the user names it with --store: a SQLite file (the default, or
// any other path), or a PostgreSQL server named by its connection URL.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace history {

enum class StoreKind { Sqlite, Postgres };

struct StoreLocation {
    StoreKind kind = StoreKind::Sqlite;
    // The SQLite file's path in UTF-8, as SQLite opens it (on Windows a path of the command line,
    // in the ANSI code page, comes as files::PathInMessage gives it), or the server's URL as given.
    std::string target;
    std::string shown; // for messages and listings: the URL with its password masked
    // What makes a server's URL malformed, in the user's language; empty for a usable one.
    std::string problem;
};

// "postgresql://..." or "postgres://..." names a server; anything else is the path of a SQLite
// file. The URL's form is checked here (a port of digits, "%" escapes of two hex digits, no
// blanks or control characters), its meaning by the server's library when it connects.
StoreLocation ParseStoreLocation(std::string_view store);

// The URL with the password of its user part ("user:secret@") and any "password=" parameter
// replaced by "***", so that no message, trace or listing ever shows it.
std::string MaskedUrl(std::string_view url);
// The passwords MaskedUrl hides, as the URL writes them.
std::vector<std::string> UrlPasswords(std::string_view url);

// The default store: history.sqlite in the user's data folder for the companion
// ($XDG_DATA_HOME/k720, else ~/.local/share/k720; %LOCALAPPDATA%\k720 on Windows). Nothing when
// the system names no such folder. In UTF-8; the folder may not exist yet.
std::optional<std::string> DefaultStorePath();

} // namespace history
