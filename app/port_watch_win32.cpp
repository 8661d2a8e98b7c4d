// Device changes on Windows: the system sends WM_DEVICECHANGE to every top-level window when a
// device comes, goes or changes (a USB serial bridge among them). The main window's message is
// taken before Qt's own handling and answered 0.
#include <functional>
#include <utility>

#include "port_watch.h"
#include "window_message_filter_win32.h"

namespace {

class DeviceChangeFilter final : public WindowMessageFilter {
public:
    DeviceChangeFilter(QWidget* window, std::function<void()> onChange)
        : WindowMessageFilter(window), onChange_(std::move(onChange)) {}

private:
    // Every top-level window gets the broadcast (the editor and message boxes too): only the
    // main window's copy counts, so that one change rebuilds the list once.
    bool Take(const MSG& msg) override {
        if (msg.message != WM_DEVICECHANGE) {
            return false;
        }
        onChange_();
        return true;
    }

    std::function<void()> onChange_;
};

} // namespace

bool WatchDeviceChangeMessages(QWidget* window, std::function<void()> onChange) {
    new DeviceChangeFilter(window, std::move(onChange)); // owned by the window
    return true;
}
