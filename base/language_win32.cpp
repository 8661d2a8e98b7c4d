#include <string>
#include <windows.h>

#include "base/language.h"

Language SystemLanguage() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? Language::Japanese
                                                                      : Language::English;
}

std::optional<Language> InstalledEdition() {
    // The program's own path, in a buffer grown until the whole path fits (a path may be longer
    // than MAX_PATH).
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::nullopt;
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return EditionInFolder(std::filesystem::path(path).parent_path());
}
