// The launcher's few platform operations, one file per platform behind these functions
// (launcher_platform_posix.cpp with window_search_x11.cpp, launcher_platform_win32.cpp): the
// launcher's own program path, the search for a top-level window by its whole title, and the
// detached start of a setup program. None of them needs Qt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct SetupLayout;

// The running program's full path, or the system's reason why it is not known.
struct ProgramPath {
    bool ok = false;
    std::string path;
    std::string error;
};

enum class WindowSearch {
    Found,
    NotFound,
    // The windows cannot be looked at (no window system the search can reach); `error` says why.
    Unavailable,
};

struct WindowSearchResult {
    WindowSearch outcome = WindowSearch::NotFound;
    std::string error;
};

// Whether a program was started; when not, the system's reason.
struct StartResult {
    bool started = false;
    std::string error;
};

[[nodiscard]] ProgramPath OwnProgramPath();

// Looks for a top-level window of any class whose whole title is `title`.
[[nodiscard]] WindowSearchResult FindTopLevelWindow(std::string_view title);

// Starts the program at `path` without arguments, in the launcher's working folder, as a process
// of its own that outlives the launcher. `ownerWindow` is the launcher window's native handle
// (used where the platform shows start errors above an owner; 0 for none).
[[nodiscard]] StartResult StartSetupProgram(const std::string& path, std::uintptr_t ownerWindow);

// The launcher's name on this platform: "install", or "k720-install" where "install" is a
// system command.
[[nodiscard]] const char* LauncherProgramName();

// Where this platform's setup programs lie relative to the launcher's folder.
[[nodiscard]] const SetupLayout& NativeSetupLayout();
