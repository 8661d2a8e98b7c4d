// The user's folders from the environment Windows sets for every user.
#include <cstdlib>
#include <string>

#include "app/user_folders.h"

namespace fs = std::filesystem;

namespace {

// Bytes in the system's code page, as the settings file keeps its folders. getenv, since MinGW's
// C runtime has no _dupenv_s.
std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

fs::path HomeFolder() {
    return Environment("USERPROFILE");
}

fs::path UserConfigFolder() {
    return Environment("APPDATA");
}
