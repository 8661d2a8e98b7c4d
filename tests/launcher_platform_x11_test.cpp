// The launcher's platform operations on POSIX: the start of a setup program, and the window
// search on a real X11 display.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include "install/launcher_platform.h"
#include "install/setup_launch.h"
#include "install/window_search_x11.h"
#include "tests/support/child_process.h"
#include "tests/support/recording_setup.h"
#include "tests/support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using test_support::ScratchFolder;
using test_support::WaitForText;
using test_support::WriteRecordingSetup;

TEST(StartSetupProgram, StartsOnlyAnExecutableProgram) {
    ScratchFolder folder;
    const fs::path record = folder.File("record");
    WriteRecordingSetup(folder.File("setup"), record);
    std::ofstream(folder.File("plain"))
        << "#!/bin/sh\ntouch '" << folder.File("plain-ran") << "'\n";
    fs::create_directories(folder.File("folder"));
    std::ofstream(folder.File("no-interpreter")) << "touch " << folder.File("bare-ran") << "\n";
    fs::permissions(folder.File("no-interpreter"), fs::perms::owner_all);

    for (const char* refused : {"missing", "plain", "folder", "no-interpreter"}) {
        const StartResult result = StartSetupProgram(folder.File(refused), 0);
        EXPECT_FALSE(result.started) << refused;
        EXPECT_FALSE(result.error.empty()) << refused;
    }
    const StartResult result = StartSetupProgram(folder.File("setup"), 0);
    ASSERT_TRUE(result.started) << result.error;
    EXPECT_EQ(WaitForText(record),
              folder.File("setup") + "|0|" + fs::current_path().string() + "\n");
    EXPECT_FALSE(fs::exists(folder.File("plain-ran")));
    EXPECT_FALSE(fs::exists(folder.File("bare-ran")));
}

// --- The window search on a real X11 display --------------------------------------------------

std::string FindInPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const fs::path candidate = fs::path(folder) / program;
        if (!folder.empty() && access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
    }
    return {};
}

// A private X server for the test: Xvfb picks a free display number and reports it.
class XvfbSearch : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string xvfb = FindInPath("Xvfb");
        if (xvfb.empty()) {
            GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb), so no X11 display";
        }
        server_ = std::make_unique<ChildProcess>(
            xvfb, std::vector<std::string>{"-displayfd", "1", "-nolisten", "tcp", "-screen", "0",
                                           "320x240x24"});
        const std::string number = server_->OutputUntil("\n");
        ASSERT_FALSE(number.empty()) << "Xvfb did not start";
        display_ = ":" + number.substr(0, number.find('\n'));
        connection_ = xcb_connect(display_.c_str(), nullptr);
        ASSERT_EQ(xcb_connection_has_error(connection_), 0);
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
    void TearDown() override {
        if (connection_ != nullptr) {
            xcb_disconnect(connection_);
        }
        if (server_) {
            server_->Signal(SIGTERM);
            server_->Wait();
        }
    }

    xcb_atom_t Atom(const char* name) {
        const auto cookie =
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection_, cookie, nullptr);
        const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return atom;
    }

    // A mapped window under `parent`, titled through `property` (none when `title` is empty).
    xcb_window_t Window(xcb_window_t parent, const std::string& title, bool utf8) {
        const xcb_window_t window = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, parent, 0, 0, 50, 50, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        if (!title.empty()) {
            const xcb_atom_t property = utf8 ? Atom("_NET_WM_NAME") : xcb_atom_t{XCB_ATOM_WM_NAME};
            const xcb_atom_t type = utf8 ? Atom("UTF8_STRING") : xcb_atom_t{XCB_ATOM_STRING};
            xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                                static_cast<std::uint32_t>(title.size()), title.data());
        }
        xcb_map_window(connection_, window);
        return window;
    }

    // Waits until the server has handled every request sent so far.
    void Sync() {
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    std::unique_ptr<ChildProcess> server_;
    std::string display_;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
};

TEST_F(XvfbSearch, FindsTheWholeTitleAmongTopLevelWindowsAndFramedClients) {
    const std::string title = kWizardTitle;
    struct Case {
        const char* what;
        std::string title;
        bool utf8;
        bool framed; // inside an untitled frame, as a window manager reparents it
        WindowSearch expected;
    };
    const Case cases[] = {
        {"no window", "", false, false, WindowSearch::NotFound},
        {"top-level, WM_NAME", title, false, false, WindowSearch::Found},
        {"framed client, _NET_WM_NAME", title, true, true, WindowSearch::Found},
        {"framed client, WM_NAME", title, false, true, WindowSearch::Found},
        {"longer title", title + " (2)", false, false, WindowSearch::NotFound},
        {"shorter title", title.substr(0, title.size() - 1), true, true, WindowSearch::NotFound},
    };
    for (const Case& c : cases) {
        std::vector<xcb_window_t> made;
        if (!c.title.empty()) {
            const xcb_window_t parent = c.framed ? Window(root_, "", false) : root_;
            made.push_back(Window(parent, c.title, c.utf8));
            if (c.framed) {
                made.push_back(parent);
            }
        }
        Sync();
        const WindowSearchResult result = FindTopLevelWindowOnDisplay(display_.c_str(), title);
        EXPECT_EQ(result.outcome, c.expected) << c.what << ": " << result.error;
        for (const xcb_window_t window : made) {
            xcb_destroy_window(connection_, window);
        }
        Sync();
    }
}

TEST(WindowSearchX11, UnreachableDisplayIsReportedNotTakenForNoWindow) {
    const WindowSearchResult result = FindTopLevelWindowOnDisplay(":4242", kWizardTitle);
    EXPECT_EQ(result.outcome, WindowSearch::Unavailable);
    EXPECT_NE(result.error.find(":4242"), std::string::npos);
}

} // namespace
