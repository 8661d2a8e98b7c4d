// The native system menu: the entry is appended with a command identifier below 0xF000 (the
// system's own commands), and its WM_SYSCOMMAND is taken before Qt's handling. The menu posts
// that message, so it reaches the filter through Qt's event dispatcher
// ("windows_dispatcher_MSG"); Qt's window procedure does not filter it again.
#include <string>
#include <utility>
#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QWidget>

#include "system_menu.h"

namespace {

// The classic identifier of an about box's entry; the low four bits of a system command are the
// system's own, so the identifier is a multiple of 16.
constexpr UINT kEntryCommand = 0x0010;

class SystemMenuFilter final : public QObject, public QAbstractNativeEventFilter {
public:
    SystemMenuFilter(QWidget* window, std::function<void()> onChosen)
        : QObject(window), window_(window), onChosen_(std::move(onChosen)) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~SystemMenuFilter() override {
        if (QCoreApplication* application = QCoreApplication::instance()) {
            application->removeNativeEventFilter(this);
        }
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override {
        if (eventType != "windows_dispatcher_MSG" && eventType != "windows_generic_MSG") {
            return false;
        }
        const auto* msg = static_cast<const MSG*>(message);
        if (msg->message != WM_SYSCOMMAND || (msg->wParam & 0xFFF0) != kEntryCommand ||
            msg->hwnd != reinterpret_cast<HWND>(window_->internalWinId())) {
            return false;
        }
        onChosen_();
        if (result != nullptr) {
            *result = 0; // the dispatcher passes none
        }
        return true;
    }

private:
    QWidget* window_;
    std::function<void()> onChosen_;
};

} // namespace

bool AppendSystemMenuEntry(QWidget* window, const QString& text, std::function<void()> onChosen) {
    // The native window exists from here on; the menu belongs to it.
    const auto handle = reinterpret_cast<HWND>(window->winId());
    HMENU menu = GetSystemMenu(handle, FALSE);
    if (menu == nullptr) {
        return false;
    }
    const std::wstring entry = text.toStdWString();
    if (!AppendMenuW(menu, MF_SEPARATOR, 0, nullptr) ||
        !AppendMenuW(menu, MF_STRING, kEntryCommand, entry.c_str())) {
        return false;
    }
    new SystemMenuFilter(window, std::move(onChosen)); // owned by the window
    return true;
}
