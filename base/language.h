// The language of the texts a user reads: English, or Japanese where the user asks for it.
// Files, bytes on the wire, exit statuses, JSON and traces never depend on it.
#pragma once

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
