// The default store on Linux and other POSIX systems: in the data folder of the XDG base
// directory rules.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "history/store_location.h"
#include "tests/support/scratch_folder.h"

namespace {

TEST(StoreLocation, DefaultFollowsTheDataFolderOfTheUser) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* data = std::getenv("XDG_DATA_HOME");
    const std::string savedData = data ? data : "";
    // Folders that need not exist: the store's path is only worked out.
    test_support::ScratchFolder folder;
    const std::string userHome = folder.File("home"), userData = folder.File("data");
    setenv("HOME", userHome.c_str(), 1);
    setenv("XDG_DATA_HOME", userData.c_str(), 1);
    EXPECT_EQ(history::DefaultStorePath(), userData + "/k720/history.sqlite");
    // A relative XDG_DATA_HOME is ignored, as the base directory rules say.
    setenv("XDG_DATA_HOME", "data", 1);
    EXPECT_EQ(history::DefaultStorePath(), userHome + "/.local/share/k720/history.sqlite");
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    EXPECT_EQ(history::DefaultStorePath(), std::nullopt);
    setenv("HOME", home.c_str(), 1);
    if (data != nullptr) {
        setenv("XDG_DATA_HOME", savedData.c_str(), 1);
    }
}

} // namespace
