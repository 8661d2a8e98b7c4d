// Device changes that the system reports to windows as messages (WM_DEVICECHANGE on Windows),
// once per system (port_watch_win32.cpp, port_watch_posix.cpp). Where there are none, the main
// window watches a PortListMonitor (port_listing.h) instead.
#pragma once

#include <functional>

class QWidget;

// Calls `onChange` on the user-interface thread whenever the system tells the top-level `window`
// that devices came, went or changed, for as long as the window lives. False where the system
// reports device changes otherwise.
bool WatchDeviceChangeMessages(QWidget* window, std::function<void()> onChange);
