#include "translations/text_language.h"

#include "base/texts.h"

// The Japanese catalogue's finished translations, generated from k720_ja.ts.
extern const Catalogue g_japaneseCatalogue;

void UseTextLanguage(Language language) {
    UseCatalogue(language == Language::Japanese ? &g_japaneseCatalogue : nullptr);
}
