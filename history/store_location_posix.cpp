#include <cstdlib>
#include <string>

#include "history/store_location.h"

namespace history {

std::optional<std::string> DefaultStorePath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return std::string(data) + "/k720/history.sqlite";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.local/share/k720/history.sqlite";
    }
    return std::nullopt;
}

} // namespace history
