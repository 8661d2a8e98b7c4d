// Whether the program can open windows at all, asked before Qt is started so that a machine
// without a display gets a plain explanation instead of a platform plug-in failure.
#pragma once

#include <string>

// "" when a display is there (or a Qt platform was chosen explicitly); otherwise why not.
std::string MissingDisplayReason();
