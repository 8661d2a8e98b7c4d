// The default store on Windows: in the user's local application data folder, named in UTF-8
// whatever script the folder's path is written in.
#include <optional>
#include <string>
#include <windows.h>

#include <gtest/gtest.h>

#include "history/store_location.h"

namespace {

TEST(StoreLocation, DefaultFollowsTheLocalApplicationDataFolder) {
    std::wstring saved(32768, L'\0');
    const DWORD savedLength =
        GetEnvironmentVariableW(L"LOCALAPPDATA", saved.data(), static_cast<DWORD>(saved.size()));
    saved.resize(savedLength);

    SetEnvironmentVariableW(L"LOCALAPPDATA", L"C:\\Users\\\u6280\u8853\u8005\\AppData\\Local");
    EXPECT_EQ(history::DefaultStorePath(),
              "C:\\Users\\技術者\\AppData\\Local\\k720\\history.sqlite");
    SetEnvironmentVariableW(L"LOCALAPPDATA", L"\\\\lab\\bench 2\\");
    EXPECT_EQ(history::DefaultStorePath(), "\\\\lab\\bench 2\\k720\\history.sqlite");

    // Without it, or with a folder relative to the current one, the user's known folder.
    SetEnvironmentVariableW(L"LOCALAPPDATA", nullptr);
    const std::optional<std::string> known = history::DefaultStorePath();
    ASSERT_TRUE(known.has_value());
    EXPECT_EQ(known->substr(1, 2), ":\\") << *known;
    EXPECT_TRUE(known->ends_with("\\AppData\\Local\\k720\\history.sqlite")) << *known;
    SetEnvironmentVariableW(L"LOCALAPPDATA", L"AppData\\Local");
    EXPECT_EQ(history::DefaultStorePath(), known);

    SetEnvironmentVariableW(L"LOCALAPPDATA", savedLength > 0 ? saved.c_str() : nullptr);
}

} // namespace
