#include <cstdlib>

#include "base/language.h"

Language SystemLanguage() {
    return LanguageOfLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

// No setup installs the programs here: the locale alone decides.
std::optional<Language> InstalledEdition() {
    return std::nullopt;
}
