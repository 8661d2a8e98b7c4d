// Native messages of one top-level window on Windows, taken before Qt's handling for as long as
// the window lives (the filter is a child object of the window). Qt hands native filters a posted
// message from its event dispatcher, without a result to set, and a sent one from its window
// procedure, which leaves input and command messages (WM_SYSCOMMAND among them) to the
// dispatcher.
#pragma once

#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QObject>
#include <QWidget>

class WindowMessageFilter : public QObject, public QAbstractNativeEventFilter {
public:
    explicit WindowMessageFilter(QWidget* window) : QObject(window), window_(window) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~WindowMessageFilter() override {
        if (QCoreApplication* application = QCoreApplication::instance()) {
            application->removeNativeEventFilter(this);
        }
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) final {
        const auto* msg = static_cast<const MSG*>(message);
        if (eventType != "windows_generic_MSG" ||
            msg->hwnd != reinterpret_cast<HWND>(window_->internalWinId()) || !Take(*msg)) {
            return false;
        }
        if (result != nullptr) {
            *result = 0; // the dispatcher passes none
        }
        return true;
    }

protected:
    // True when the window's message `msg` was handled here; it is then answered 0.
    virtual bool Take(const MSG& msg) = 0;

private:
    QWidget* window_;
};
