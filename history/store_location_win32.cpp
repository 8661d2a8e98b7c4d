// The default store on Windows: in the user's local application data folder, which stays on this
// PC (a roaming profile would carry a database in use from PC to PC). The path is UTF-8, as
// SQLite opens it and as messages show it, so that a user name in any script survives.
#include <memory>
#include <shlobj.h>
#include <string>
#include <windows.h>

#include "history/store_location.h"

namespace history {

namespace {

std::string Utf8(const std::wstring& wide) {
    const int length = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, text.data(), size, nullptr, nullptr);
    return text;
}

// A folder named from a drive's root ("C:\") or a share ("\\server\"), never from the current
// folder.
bool IsAbsolute(const std::wstring& folder) {
    const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    return (folder.size() >= 3 && folder[1] == L':' && separator(folder[2])) ||
           (folder.size() >= 3 && separator(folder[0]) && separator(folder[1]));
}

// LOCALAPPDATA, which the system sets for every program from the known folder and a user may
// point elsewhere.
std::wstring EnvironmentFolder() {
    const DWORD size = GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring folder(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", folder.data(), size);
    folder.resize(length < size ? length : 0);
    return folder;
}

std::wstring KnownFolder() {
    wchar_t* path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path);
    // The shell allocates the text even when it fails.
    const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owned(path, &CoTaskMemFree);
    return SUCCEEDED(result) && path != nullptr ? std::wstring(path) : std::wstring();
}

} // namespace

std::optional<std::string> DefaultStorePath() {
    std::wstring folder = EnvironmentFolder();
    if (!IsAbsolute(folder)) {
        folder = KnownFolder();
    }
    if (!IsAbsolute(folder)) {
        return std::nullopt;
    }
    if (folder.back() != L'\\' && folder.back() != L'/') {
        folder += L'\\';
    }
    const std::string path = Utf8(folder + L"k720\\history.sqlite");
    return path.empty() ? std::nullopt : std::optional<std::string>(path);
}

} // namespace history
