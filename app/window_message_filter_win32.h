// Native messages of one top-level window on Windows, taken before Qt's handling for as long as
// the window lives (the filter is a child object of the window). Qt hands native filters a posted
// message from its event dispatcher, without a result to set, and a sent one from its window
// procedure, which leaves input and command messages (WM_SYSCOMMAND among them) to the
// dispatcher.
#pragma once

#include <functional>
#include <utility>
#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QObject>
#include <QWidget>

// Calls `take` with each native message of `window`; a message it takes (returns true for) is
// answered 0 and goes no further.
class WindowMessageFilter final : public QObject, public QAbstractNativeEventFilter {
public:
    WindowMessageFilter(QWidget* window, std::function<bool(const MSG&)> take)
        : QObject(window), window_(window), take_(std::move(take)) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~WindowMessageFilter() override {
        if (QCoreApplication* application = QCoreApplication::instance()) {
            application->removeNativeEventFilter(this);
        }
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override {
        const auto* msg = static_cast<const MSG*>(message);
        if (eventType != "windows_generic_MSG" ||
            msg->hwnd != reinterpret_cast<HWND>(window_->internalWinId()) || !take_(*msg)) {
            return false;
        }
        if (result != nullptr) {
            *result = 0; // the dispatcher passes none
        }
        return true;
    }

private:
    QWidget* window_;
    std::function<bool(const MSG&)> take_;
};
