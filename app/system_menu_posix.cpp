#include "app/system_menu.h"

bool AppendSystemMenuEntry(QWidget*, const QString&, std::function<void()>) {
    return false;
}
