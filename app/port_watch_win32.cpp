// Device changes on Windows: the system sends WM_DEVICECHANGE to every top-level window when a
// device comes, goes or changes (a USB serial bridge among them). The main window's message is
// taken before Qt's own handling and answered 0.
#include <utility>
#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QObject>
#include <QWidget>

#include "port_watch.h"

namespace {

// Installed on the application for as long as the window lives (a child object of the window).
class DeviceChangeFilter final : public QObject, public QAbstractNativeEventFilter {
public:
    DeviceChangeFilter(QWidget* window, std::function<void()> onChange)
        : QObject(window), window_(window), onChange_(std::move(onChange)) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~DeviceChangeFilter() override {
        if (QCoreApplication* application = QCoreApplication::instance()) {
            application->removeNativeEventFilter(this);
        }
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override {
        if (eventType != "windows_generic_MSG") {
            return false;
        }
        const auto* msg = static_cast<const MSG*>(message);
        // Every top-level window gets the broadcast (the editor and message boxes too): only
        // the main window's copy counts, so that one change rebuilds the list once.
        if (msg->message != WM_DEVICECHANGE ||
            msg->hwnd != reinterpret_cast<HWND>(window_->internalWinId())) {
            return false;
        }
        onChange_();
        *result = 0;
        return true;
    }

private:
    QWidget* window_;
    std::function<void()> onChange_;
};

} // namespace

bool WatchDeviceChangeMessages(QWidget* window, std::function<void()> onChange) {
    new DeviceChangeFilter(window, std::move(onChange)); // owned by the window
    return true;
}
