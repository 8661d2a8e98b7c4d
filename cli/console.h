// What k720ctl asks of the console and the system's error codes, once per system
// (console_posix.cpp, console_win32.cpp).
#pragma once

#include <cstdio>
#include <string>

// While it lives, the console shows what k720ctl writes as UTF-8, the encoding of every message
// (paths included, see files::PathInMessage): on Windows the console's output code page is
// switched to UTF-8 and given back at the end; a terminal elsewhere follows the locale.
class Utf8Console {
public:
    Utf8Console();
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    unsigned int previousCodePage_ = 0; // 0: nothing to give back
};

// Whether standard input is a terminal (a console on Windows) that a question can be asked on.
bool InputIsTerminal();

// Whether `stream` is a terminal that shows a live progress line (redrawn after a carriage return,
// the rest of the line cleared with "ESC [ K"). On Windows the console is switched to that
// control sequence here; a console that cannot take it shows no progress.
bool ShowsProgress(std::FILE* stream);

// The reason a serial device could not be opened, from the system's error code of the open
// (CommLastOpenError()), in the user's terms.
std::string OpenFailureReason(int error);

// The system's text for its error code (errno on POSIX, GetLastError() on Windows).
std::string SystemErrorText(int error);
