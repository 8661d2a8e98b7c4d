#include "controls/display_check.h"

// Windows and macOS always have their own window system.
std::string MissingDisplayReason() {
    return {};
}
