// The program's own window messages, carried as Qt events. Each value is QEvent::User plus the
// message's offset from the platform's first user message, so the numbers line up with the
// classic window messages they stand for. "Post" queues the event (it runs after the current
// handler returns); "send" delivers it at once.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QtGlobal>

enum WindowMessage : int {
    WM_PAGE_SWITCH = QEvent::User + 110,
    WM_PAGE_ACTIVATE = QEvent::User + 120,
    WM_TRANSFER_PROGRESS = QEvent::User + 121,
    WM_READ_RECEIVER_END = QEvent::User + 122,
    WM_READ_WRITER_END = QEvent::User + 124,
    WM_COMP_SEND_START = QEvent::User + 125,
    WM_COMP_SEND_DONE = QEvent::User + 126,
    WM_COMP_RECEIVE_START = QEvent::User + 127,
    WM_COMP_READ_DONE = QEvent::User + 128,
    WM_COMP_RECEIVE_DONE = QEvent::User + 129,
    WM_COMP_LOAD_FAILED = QEvent::User + 130,
    WM_COMP_CHOICE_REOPEN = QEvent::User + 131,
};

constexpr QEvent::Type EventType(WindowMessage message) {
    return static_cast<QEvent::Type>(message);
}

// One program message with its two parameters. Receivers test event->type() against
// EventType(WM_...) and cast to this class.
class MessageEvent : public QEvent {
public:
    MessageEvent(WindowMessage message, qintptr wParam = 0, qintptr lParam = 0)
        : QEvent(EventType(message)), wParam_(wParam), lParam_(lParam) {}

    WindowMessage Message() const { return static_cast<WindowMessage>(type()); }
    qintptr WParam() const { return wParam_; }
    qintptr LParam() const { return lParam_; }

    // The message carried by `event`, or nullptr when it is not one of the program's messages.
    static const MessageEvent* From(const QEvent* event) {
        return dynamic_cast<const MessageEvent*>(event);
    }

private:
    qintptr wParam_;
    qintptr lParam_;
};

// The page-switch request: a request code and its argument (the selected unit code for the
// requests that carry one, 0 for the others).
class PageSwitchEvent : public MessageEvent {
public:
    PageSwitchEvent(int code, int argument) : MessageEvent(WM_PAGE_SWITCH, code, argument) {}

    int Code() const { return static_cast<int>(WParam()); }
    int Argument() const { return static_cast<int>(LParam()); }
};

// Queues `message` for `receiver`; it is handled after the current handler has returned.
// Safe from any thread. False when there is no receiver.
[[nodiscard]] bool PostMessageTo(QObject* receiver, WindowMessage message, qintptr wParam = 0,
                                 qintptr lParam = 0);

// Delivers `message` to `receiver` now, on the calling thread, which must be the receiver's.
// Returns whether the receiver accepted it; false when there is no receiver.
bool SendMessageTo(QObject* receiver, WindowMessage message, qintptr wParam = 0,
                   qintptr lParam = 0);

// Posts the page-switch request (code, argument) to the main window `host`.
[[nodiscard]] bool PostPageSwitch(QObject* host, int code, int argument = 0);
