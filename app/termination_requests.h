// The system's requests that the program end, taken as calls on the user-interface thread, so that
// the program ends as when the user closes its window: the exchange in progress ends within its
// reply budget, the port is closed with its terminal settings restored, a reception's file is put
// in place and the settings are written. On POSIX these are SIGTERM (a logout, a shutdown, a
// kill), SIGINT (Ctrl-C in the terminal that started it) and SIGHUP (that terminal closing).
// Windows asks a window program to end through window messages, which Qt turns into a close of
// its windows, so there is nothing to take there. One file per system
// (termination_requests_posix.cpp, termination_requests_win32.cpp).
#pragma once

#include <functional>
#include <string>

class QObject;

// Calls `onRequest` on the thread of `context` for each request, for as long as `context` lives;
// afterwards the requests end the program at once again. False, with the reason in `whyNot`,
// when they cannot be taken.
[[nodiscard]] bool TakeTerminationRequests(QObject& context, std::function<void()> onRequest,
                                           std::string* whyNot);
