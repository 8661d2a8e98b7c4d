#include <cstdio>
#include <windows.h>

#include "controls/program_console.h"

namespace {

// Whether the stream already leads somewhere (a file or pipe the caller redirected it to).
bool LeadsSomewhere(DWORD stream) {
    const HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

} // namespace

void AttachStartingConsole() {
    const bool out = LeadsSomewhere(STD_OUTPUT_HANDLE);
    const bool err = LeadsSomewhere(STD_ERROR_HANDLE);
    if ((out && err) || !AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    // The streams stay usable if the console cannot be opened: they keep leading nowhere.
    FILE* reopened = nullptr;
    if (!out) {
        freopen_s(&reopened, "CONOUT$", "w", stdout);
    }
    if (!err) {
        freopen_s(&reopened, "CONOUT$", "w", stderr);
    }
}
