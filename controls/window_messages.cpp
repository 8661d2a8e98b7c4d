#include "controls/window_messages.h"

bool PostMessageTo(QObject* receiver, WindowMessage message, qintptr wParam, qintptr lParam) {
    if (receiver == nullptr) {
        return false;
    }
    // The event queue takes ownership of the posted event.
    QCoreApplication::postEvent(receiver, new MessageEvent(message, wParam, lParam));
    return true;
}

bool SendMessageTo(QObject* receiver, WindowMessage message, qintptr wParam, qintptr lParam) {
    if (receiver == nullptr) {
        return false;
    }
    MessageEvent event(message, wParam, lParam);
    return QCoreApplication::sendEvent(receiver, &event);
}

bool PostPageSwitch(QObject* host, int code, int argument) {
    if (host == nullptr) {
        return false;
    }
    QCoreApplication::postEvent(host, new PageSwitchEvent(code, argument));
    return true;
}
