// The language of the texts a user reads: English, or Japanese where the user asks for it.
// Files, bytes on the wire, exit statuses, JSON and traces never depend on it.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

enum class Language { English, Japanese };

// The value of a --lang option: "en" or "ja"; nothing for any other text.
std::optional<Language> ParseLanguage(std::string_view name);

// The POSIX locale rule for messages: the first of LC_ALL, LC_MESSAGES and LANG that is set and
// not empty decides, and a locale whose name begins with "ja" is Japanese. Null for unset.
Language LanguageOfLocale(const char* lcAll, const char* lcMessages, const char* lang);

// The language the system gives this user: the locale on Linux, the user's display language
// on Windows.
Language SystemLanguage();

// An installed companion's edition: each Windows setup writes this file beside the programs it
// installs, holding "ja" (the Japanese setup) or "en" (the English one). A file in the programs'
// folder rather than a registry value, so that the edition belongs to the installed programs
// alone: a copy run from another folder (an unpacked build, a support engineer's copy) is no
// installation and follows the system's language, and the uninstaller removes it with the files.
inline constexpr char kEditionFileName[] = "edition.txt";

// The edition recorded in FOLDER's edition file: its first line, "ja" or "en" (a line end and
// surrounding blanks allowed). Nothing when there is no such file or it holds anything else.
std::optional<Language> EditionInFolder(const std::filesystem::path& folder);

// The edition of the installation this program runs from: on Windows the edition file beside the
// program; nothing outside an installation, and always nothing elsewhere (the locale decides).
std::optional<Language> InstalledEdition();

// The language a program speaks: the one asked for (--lang), else the installed edition, else
// the system's language.
Language ProgramLanguage(std::optional<Language> asked);
