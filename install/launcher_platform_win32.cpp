// The launcher's platform operations on Windows: the module file name, FindWindowA and
// ShellExecuteA with the verb "open".
// clang-format off
// <windows.h> first: <shellapi.h> needs its types.
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstdint>
#include <string>

#include "install/launcher_platform.h"
#include "install/setup_launch.h"

namespace {

std::string SystemError(const char* what, DWORD error) {
    return std::string(what) + " failed with system error " + std::to_string(error);
}

} // namespace

ProgramPath OwnProgramPath() {
    char buffer[kSetupPathBytes];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(sizeof buffer));
    if (length == 0) {
        return {false, {}, SystemError("GetModuleFileNameA", GetLastError())};
    }
    // A name that fills the buffer was cut: its folder is not the launcher's.
    if (length >= sizeof buffer) {
        return {false,
                {},
                "the launcher's path does not fit " + std::to_string(kSetupPathBytes - 1) +
                    " bytes"};
    }
    return {true, std::string(buffer, length), {}};
}

WindowSearchResult FindTopLevelWindow(std::string_view title) {
    const std::string wanted(title);
    if (FindWindowA(nullptr, wanted.c_str()) != nullptr) {
        return {WindowSearch::Found, {}};
    }
    return {WindowSearch::NotFound, {}};
}

StartResult StartSetupProgram(const std::string& path, std::uintptr_t ownerWindow) {
    const HINSTANCE result = ShellExecuteA(reinterpret_cast<HWND>(ownerWindow), "open",
                                           path.c_str(), nullptr, nullptr, SW_SHOW);
    // The shell reports success with a value above 32.
    const auto code = reinterpret_cast<INT_PTR>(result);
    if (code <= 32) {
        return {false, "ShellExecuteA returned " + std::to_string(code)};
    }
    return {true, {}};
}

const SetupLayout& NativeSetupLayout() {
    return kWindowsSetupLayout;
}

const char* LauncherProgramName() {
    return "install";
}
