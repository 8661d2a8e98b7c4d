#include "translations/text_language.h"

#include <atomic>

#include "base/texts.h"

// The Japanese catalogue's finished translations, generated from k720_ja.ts.
extern const Catalogue g_japaneseCatalogue;

namespace {

std::atomic<Language> g_textLanguage{Language::English};

} // namespace

void UseTextLanguage(Language language) {
    g_textLanguage = language;
    UseCatalogue(language == Language::Japanese ? &g_japaneseCatalogue : nullptr);
}

Language TextLanguage() {
    return g_textLanguage;
}
