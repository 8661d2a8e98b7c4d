// The native system menu: the entry is appended with a command identifier below 0xF000 (the
// system's own commands). The menu posts the entry's WM_SYSCOMMAND, which reaches the filter
// through Qt's event dispatcher.
#include <string>
#include <utility>

#include <QString>

#include "app/system_menu.h"
#include "app/window_message_filter_win32.h"

namespace {

// The classic identifier of an about box's entry; the low four bits of a system command are the
// system's own, so the identifier is a multiple of 16.
constexpr UINT kEntryCommand = 0x0010;

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
    new WindowMessageFilter(window, [onChosen = std::move(onChosen)](const MSG& msg) {
        if (msg.message != WM_SYSCOMMAND || (msg.wParam & 0xFFF0) != kEntryCommand) {
            return false;
        }
        onChosen();
        return true;
    }); // owned by the window
    return true;
}
