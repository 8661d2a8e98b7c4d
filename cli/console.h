// What k720ctl asks of the console and the system's error codes, once per system
// (console_posix.cpp, console_win32.cpp).
#pragma once

#include <cstdio>
#include <string>

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
