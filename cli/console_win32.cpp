#include <io.h>
#include <string>
#include <windows.h>

#include "base/texts.h"
#include "cli/console.h"

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace {

// A console, not just any character device: the C runtime's _isatty() also says yes for NUL.
bool IsConsole(HANDLE handle, DWORD* mode) {
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, mode) != 0;
}

} // namespace

Utf8Console::Utf8Console() {
    DWORD mode = 0;
    const bool console = IsConsole(GetStdHandle(STD_OUTPUT_HANDLE), &mode) ||
                         IsConsole(GetStdHandle(STD_ERROR_HANDLE), &mode);
    const UINT previous = GetConsoleOutputCP();
    if (console && previous != 0 && previous != CP_UTF8 && SetConsoleOutputCP(CP_UTF8) != 0) {
        previousCodePage_ = previous;
    }
}

Utf8Console::~Utf8Console() {
    if (previousCodePage_ != 0) {
        SetConsoleOutputCP(previousCodePage_);
    }
}

bool InputIsTerminal() {
    DWORD mode = 0;
    return IsConsole(GetStdHandle(STD_INPUT_HANDLE), &mode);
}

bool ShowsProgress(std::FILE* stream) {
    const int fd = _fileno(stream);
    if (fd < 0) {
        return false;
    }
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD mode = 0;
    if (!IsConsole(handle, &mode)) {
        return false;
    }
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

std::string OpenFailureReason(int error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return Translate(kMessages, K720_TEXT("Messages", "no such port"));
    // A COM port opens without sharing: a refused open means that another program holds it.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return Translate(kMessages, K720_TEXT("Messages", "busy, another program has it open"));
    default:
        return SystemErrorText(error);
    }
}

std::string SystemErrorText(int error) {
    // In UTF-8, as every message.
    wchar_t wide[512] = {};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(error), 0, wide, sizeof wide / sizeof wide[0], nullptr);
    std::string text;
    if (length > 0) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), nullptr, 0,
                                             nullptr, nullptr);
        text.resize(static_cast<std::size_t>(size > 0 ? size : 0));
        WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), text.data(), size, nullptr,
                            nullptr);
    }
    // The system's texts end with a full stop and a line break; the callers add their own.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                             text.back() == '.')) {
        text.pop_back();
    }
    return text.empty() ? "system error " + std::to_string(error) : text;
}
