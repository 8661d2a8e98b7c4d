// The default store on Linux and other POSIX systems: in the data folder of the XDG base
// directory rules.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "history/store_location.h"

namespace {

TEST(StoreLocation, DefaultFollowsTheDataFolderOfTheUser) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* data = std::getenv("XDG_DATA_HOME");
    const std::string savedData = data ? data : "";
    setenv("HOME", "/home/bench", 1);
    setenv("XDG_DATA_HOME", "/srv/data", 1);
    EXPECT_EQ(history::DefaultStorePath(), "/srv/data/k720/history.sqlite");
    // A relative XDG_DATA_HOME is ignored, as the base directory rules say.
    setenv("XDG_DATA_HOME", "data", 1);
    EXPECT_EQ(history::DefaultStorePath(), "/home/bench/.local/share/k720/history.sqlite");
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    EXPECT_EQ(history::DefaultStorePath(), std::nullopt);
    setenv("HOME", home.c_str(), 1);
    if (data != nullptr) {
        setenv("XDG_DATA_HOME", savedData.c_str(), 1);
    }
}

} // namespace
