// The window search on an X11 display, by the display's name (the DISPLAY variable's form, or
// nullptr for DISPLAY itself). FindTopLevelWindow() searches the display named by DISPLAY.
#pragma once

#include <string_view>

#include "install/launcher_platform.h"

[[nodiscard]] WindowSearchResult FindTopLevelWindowOnDisplay(const char* displayName,
                                                             std::string_view title);
