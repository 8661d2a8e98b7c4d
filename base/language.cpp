#include "base/language.h"

#include <fstream>
#include <string>

std::optional<Language> ParseLanguage(std::string_view name) {
    if (name == "en") {
        return Language::English;
    }
    if (name == "ja") {
        return Language::Japanese;
    }
    return std::nullopt;
}

Language LanguageOfLocale(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (value != nullptr && value[0] != '\0') {
            return std::string_view(value).starts_with("ja") ? Language::Japanese
                                                             : Language::English;
        }
    }
    return Language::English;
}

std::optional<Language> EditionInFolder(const std::filesystem::path& folder) {
    std::ifstream file(folder / kEditionFileName, std::ios::binary);
    std::string line;
    if (!file || !std::getline(file, line)) {
        return std::nullopt;
    }
    constexpr std::string_view kBlanks = " \t\r";
    const std::size_t first = line.find_first_not_of(kBlanks);
    if (first == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t last = line.find_last_not_of(kBlanks);
    return ParseLanguage(std::string_view(line).substr(first, last + 1 - first));
}

Language ProgramLanguage(std::optional<Language> asked) {
    if (asked) {
        return *asked;
    }
    if (const std::optional<Language> edition = InstalledEdition()) {
        return *edition;
    }
    return SystemLanguage();
}
