// The folder of the running program, once per system (program_folder_posix.cpp,
// program_folder_win32.cpp): where the settings file lives and the default data folder, as the
// system writes paths (backslashes on Windows), without a trailing separator.
#pragma once

#include <QString>

// Call it once the application object exists.
QString ProgramFolder();
