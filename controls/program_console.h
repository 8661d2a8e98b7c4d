// The standard streams of the main program, once per system (program_console_posix.cpp,
// program_console_win32.cpp). On Windows k720app is a GUI program, started without a console: its
// usage text and start-up errors would go nowhere.
#pragma once

// Sends standard output and error to the console of the program that started this one (a command
// prompt), when there is one and they lead nowhere yet; elsewhere they are left as they are. Call
// it first in main().
void AttachStartingConsole();
