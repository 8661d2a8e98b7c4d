#include "base/texts.h"

#include <atomic>
#include <cstring>

namespace {

std::atomic<const Catalogue*> g_catalogue{nullptr};

} // namespace

void UseCatalogue(const Catalogue* catalogue) {
    g_catalogue.store(catalogue);
}

const char* Translate(const char* context, const char* text) {
    const Catalogue* catalogue = g_catalogue.load();
    if (catalogue == nullptr) {
        return text;
    }
    for (std::size_t i = 0; i < catalogue->size; ++i) {
        const CatalogueEntry& entry = catalogue->entries[i];
        if (std::strcmp(entry.source, text) == 0 && std::strcmp(entry.context, context) == 0) {
            return entry.translation;
        }
    }
    return text;
}

std::string FillText(const char* context, const char* text,
                     std::initializer_list<std::string_view> values) {
    const std::string_view pattern = Translate(context, text);
    std::string filled;
    filled.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const auto index = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && index < values.size()) {
            filled += values.begin()[index];
            ++i;
        } else {
            filled += pattern[i];
        }
    }
    return filled;
}
