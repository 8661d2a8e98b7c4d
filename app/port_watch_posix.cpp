// Without device-change messages: the udev monitor of ports_udev.cpp reports the changes.
#include "app/port_watch.h"

bool WatchDeviceChangeMessages(QWidget* /*window*/, std::function<void()> /*onChange*/) {
    return false;
}
