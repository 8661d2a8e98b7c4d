// What a language button of the install launcher does, without the window: build the chosen
// setup program's path from the launcher's own location, refuse while a setup wizard's window is
// open, and start the setup program. The platform is reached through LauncherSystem, so tests
// can stand in for the launcher's location, the window search and the start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "install/launcher_platform.h"

enum class SetupLanguage { Japanese, English };

// Where the two setup programs lie relative to the launcher's folder, and the character that
// ends a folder name on the platform.
struct SetupLayout {
    char separator = '/';
    std::string_view japanese;
    std::string_view english;
};

inline constexpr SetupLayout kWindowsSetupLayout{'\\',
                                                 "\\Japanese\\ApplicationK720v1.03J_setup.exe",
                                                 "\\English\\ApplicationK720v1.03E_setup.exe"};
// The same folders on Linux; the setup programs are executables without an extension.
inline constexpr SetupLayout kPosixSetupLayout{'/', "/Japanese/ApplicationK720v1.03J_setup",
                                               "/English/ApplicationK720v1.03E_setup"};

// A setup program's path, with its terminating zero, must fit this many bytes; a longer one is
// refused rather than cut.
inline constexpr std::size_t kSetupPathBytes = 300;

// The whole title of the window a running setup shows.
inline constexpr char kWizardTitle[] = "Application Software for K720 - InstallShield Wizard";

// The launcher's two messages (the trailing blanks belong to them).
inline constexpr char kAlreadyOpened[] = "already opened  ";
inline constexpr char kShellError[] = "shell error  ";

// The language's setup program beside the launcher at `launcherPath`: the path cut at its last
// separator, followed by the language's relative path. Empty when the path has no separator or
// the result does not fit kSetupPathBytes.
[[nodiscard]] std::optional<std::string>
SetupProgramPath(std::string_view launcherPath, SetupLanguage language, const SetupLayout& layout);

// The platform as the launcher sees it.
class LauncherSystem {
public:
    virtual ~LauncherSystem() = default;
    virtual ProgramPath OwnProgramPath() = 0;
    virtual WindowSearchResult FindTopLevelWindow(std::string_view title) = 0;
    virtual StartResult StartSetupProgram(const std::string& path, std::uintptr_t ownerWindow) = 0;
    virtual const SetupLayout& Layout() const = 0;
};

// The real platform (launcher_platform.h).
class NativeLauncherSystem final : public LauncherSystem {
public:
    ProgramPath OwnProgramPath() override { return ::OwnProgramPath(); }
    WindowSearchResult FindTopLevelWindow(std::string_view title) override {
        return ::FindTopLevelWindow(title);
    }
    StartResult StartSetupProgram(const std::string& path, std::uintptr_t ownerWindow) override {
        return ::StartSetupProgram(path, ownerWindow);
    }
    const SetupLayout& Layout() const override { return NativeSetupLayout(); }
};

enum class LaunchOutcome {
    Started,       // the setup program runs; the launcher closes
    AlreadyOpened, // a wizard's window exists; nothing started; the launcher closes
    ShellError,    // the setup program could not be started; the launcher stays open
};

struct LaunchReport {
    LaunchOutcome outcome = LaunchOutcome::ShellError;
    // The setup program's path, when it could be built.
    std::string setupPath;
    // Why the setup program could not be started; empty otherwise.
    std::string failure;
    // Why the window search could not be made, when it could not; the launch then goes on as if
    // no wizard's window were open.
    std::string searchProblem;
};

[[nodiscard]] LaunchReport LaunchSetup(LauncherSystem& system, SetupLanguage language,
                                       std::uintptr_t ownerWindow);
