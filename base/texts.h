// Texts a user reads, in the language chosen for this process.
//
// K720_TEXT marks a text where no translation call can stand (constant tables, Qt-free units):
// it is the English text itself, and lupdate collects it into the catalogue under its context.
// Translate() looks it up where it is shown, in the catalogue the program chose at start-up
// (English when none). Files, bytes on the wire, exit statuses, JSON and traces never pass
// through it.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#define K720_TEXT(context, text) text

// The context of every message kept in a Qt-free unit: one context, so a message that the
// window and k720ctl both show is translated once.
inline constexpr const char* kMessages = "Messages";

struct CatalogueEntry {
    const char* context;
    const char* source;
    const char* translation;
};

struct Catalogue {
    const CatalogueEntry* entries = nullptr;
    std::size_t size = 0;
};

// Chooses the catalogue Translate() looks in, which must outlive every call; null gives the
// English texts. Called at start-up, before the texts are shown.
void UseCatalogue(const Catalogue* catalogue);

// The text in the language in use (UTF-8): its translation, or the English text itself when the
// catalogue has none.
const char* Translate(const char* context, const char* text);

// A translated template with its %1 ... %9 replaced by the values, so that each language puts
// them where its word order wants them.
std::string FillText(const char* context, const char* text,
                     std::initializer_list<std::string_view> values);
