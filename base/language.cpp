#include "base/language.h"

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
