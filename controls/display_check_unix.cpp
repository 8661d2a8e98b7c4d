#include <cstdlib>

#include "controls/display_check.h"

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

} // namespace

std::string MissingDisplayReason() {
    if (IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY")) {
        return {};
    }
    return "no display: neither DISPLAY nor WAYLAND_DISPLAY is set";
}
