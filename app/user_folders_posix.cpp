// The user's folders from the environment, after the XDG base directory rules.
#include <cstdlib>
#include <string>

#include "app/user_folders.h"

namespace fs = std::filesystem;

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

fs::path HomeFolder() {
    return Environment("HOME");
}

fs::path UserConfigFolder() {
    // Only an absolute XDG_CONFIG_HOME counts; a relative one is to be ignored.
    const fs::path configHome = Environment("XDG_CONFIG_HOME");
    if (configHome.is_absolute()) {
        return configHome;
    }
    const fs::path home = HomeFolder();
    return home.empty() ? fs::path() : home / ".config";
}
