// The window's own menu of the system (the one behind its title bar's icon), once per system:
// on Windows an entry is appended to the native system menu (system_menu_win32.cpp); other
// systems have no such menu to extend (system_menu_posix.cpp).
#pragma once

#include <functional>

class QString;
class QWidget;

// Appends an entry `text` (with its '&' mnemonic) under a separator to the system menu of the
// top-level `window`, calling `onChosen` on the user-interface thread each time it is chosen, for
// as long as the window lives. False where the system has no such menu.
bool AppendSystemMenuEntry(QWidget* window, const QString& text, std::function<void()> onChosen);
