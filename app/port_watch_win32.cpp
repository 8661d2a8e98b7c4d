// Device changes on Windows: the system sends WM_DEVICECHANGE to every top-level window when a
// device comes, goes or changes (a USB serial bridge among them). The main window's message is
// taken before Qt's own handling and answered 0.
#include <functional>
#include <utility>

#include "app/port_watch.h"
#include "app/window_message_filter_win32.h"

bool WatchDeviceChangeMessages(QWidget* window, std::function<void()> onChange) {
    // Every top-level window gets the broadcast (the editor and message boxes too): only the
    // main window's copy counts, so that one change rebuilds the list once.
    new WindowMessageFilter(window, [onChange = std::move(onChange)](const MSG& msg) {
        if (msg.message != WM_DEVICECHANGE) {
            return false;
        }
        onChange();
        return true;
    }); // owned by the window
    return true;
}
