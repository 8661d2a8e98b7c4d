// The launcher's platform operations on Windows: the shell's start of a setup program, and the
// search for a real top-level window by its whole title.
#include <filesystem>
#include <string>
#include <windows.h>

#include <gtest/gtest.h>

#include "install/launcher_platform.h"
#include "install/setup_launch.h"
#include "tests/support/recording_setup.h"
#include "tests/support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using test_support::ScratchFolder;
using test_support::WaitForText;
using test_support::WriteRecordingSetup;

TEST(StartSetupProgram, StartsAProgramThroughTheShellAndReportsAFailedStart) {
    ScratchFolder folder;
    const StartResult missing = StartSetupProgram(folder.File("missing.exe"), 0);
    EXPECT_FALSE(missing.started);
    EXPECT_NE(missing.error.find("ShellExecuteA returned"), std::string::npos) << missing.error;
    const fs::path record = folder.File("record");
    WriteRecordingSetup(folder.File("setup.exe"), record);
    const StartResult result = StartSetupProgram(folder.File("setup.exe"), 0);
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_EQ(WaitForText(record),
              folder.File("setup.exe") + "|0|" + fs::current_path().string() + "\n");
}

// A top-level window of its own class, titled `title`, for as long as the object lives.
class TitledWindow {
public:
    explicit TitledWindow(const wchar_t* title) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        RegisterClassW(&windowClass); // fails harmlessly when already registered
        handle_ = CreateWindowExW(0, kClassName, title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
        EXPECT_NE(handle_, nullptr);
    }
    ~TitledWindow() { DestroyWindow(handle_); }
    TitledWindow(const TitledWindow&) = delete;
    TitledWindow& operator=(const TitledWindow&) = delete;

private:
    static constexpr wchar_t kClassName[] = L"K720LauncherTestWindow";
    HWND handle_ = nullptr;
};

TEST(FindTopLevelWindow, FindsOnlyTheWholeTitleOfAnyClass) {
    EXPECT_EQ(FindTopLevelWindow(kWizardTitle).outcome, WindowSearch::NotFound);
    {
        // Hidden or shown, of any class: the title alone counts.
        const TitledWindow wizard(L"Application Software for K720 - InstallShield Wizard");
        EXPECT_EQ(FindTopLevelWindow(kWizardTitle).outcome, WindowSearch::Found);
    }
    for (const wchar_t* other : {L"Application Software for K720 - InstallShield Wizard ",
                                 L"Application Software for K720 - InstallShield"}) {
        const TitledWindow lookalike(other);
        EXPECT_EQ(FindTopLevelWindow(kWizardTitle).outcome, WindowSearch::NotFound);
    }
}

} // namespace
