#include "controls/program_console.h"

// A POSIX program keeps the streams it was started with.
void AttachStartingConsole() {}
