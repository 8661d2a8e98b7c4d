#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "dialogs.h"
#include "install_dialog.h"
#include "setup_launch.h"
#include "support/child_process.h"
#include "support/controls_qt_app.h"
#include "support/scratch_folder.h"
#include "window_search_x11.h"

namespace {

namespace fs = std::filesystem;
using test_support::ScratchFolder;

constexpr char kJapaneseSetup[] = "Japanese/ApplicationK720v1.03J_setup";
constexpr char kEnglishSetup[] = "English/ApplicationK720v1.03E_setup";

// --- The setup program's path ---------------------------------------------------------------

struct PathCase {
    const char* launcher;
    SetupLanguage language;
    const SetupLayout* layout;
    const char* expected; // nullptr: refused
};

TEST(SetupProgramPath, IsBuiltFromTheLauncherFolder) {
    const PathCase cases[] = {
        {"/k720-install", SetupLanguage::Japanese, &kPosixSetupLayout,
         "/Japanese/ApplicationK720v1.03J_setup"},
        {"/media/cd/K720/k720-install", SetupLanguage::English, &kPosixSetupLayout,
         "/media/cd/K720/English/ApplicationK720v1.03E_setup"},
        {"D:\\install.exe", SetupLanguage::Japanese, &kWindowsSetupLayout,
         "D:\\Japanese\\ApplicationK720v1.03J_setup.exe"},
        {"C:\\K720\\CD\\install.exe", SetupLanguage::English, &kWindowsSetupLayout,
         "C:\\K720\\CD\\English\\ApplicationK720v1.03E_setup.exe"},
        {"install.exe", SetupLanguage::English, &kWindowsSetupLayout, nullptr},
    };
    for (const PathCase& c : cases) {
        const std::optional<std::string> path = SetupProgramPath(c.launcher, c.language, *c.layout);
        if (c.expected == nullptr) {
            EXPECT_FALSE(path) << c.launcher;
        } else {
            EXPECT_EQ(path.value_or("(refused)"), c.expected) << c.launcher;
        }
    }
}

TEST(SetupProgramPath, MustFitThePathBufferWithItsTerminatingZero) {
    const std::size_t relative = kPosixSetupLayout.english.size();
    const std::string fits = "/" + std::string(kSetupPathBytes - 1 - relative - 1, 'a');
    const std::optional<std::string> longest =
        SetupProgramPath(fits + "/k720-install", SetupLanguage::English, kPosixSetupLayout);
    ASSERT_TRUE(longest);
    EXPECT_EQ(longest->size(), kSetupPathBytes - 1);
    EXPECT_FALSE(
        SetupProgramPath(fits + "a/k720-install", SetupLanguage::English, kPosixSetupLayout));
}

TEST(OwnProgramPath, NamesThisProgramWhateverTheWorkingFolder) {
    ScratchFolder elsewhere;
    const fs::path before = fs::current_path();
    fs::current_path(elsewhere.Path());
    const ProgramPath own = OwnProgramPath();
    fs::current_path(before);
    ASSERT_TRUE(own.ok) << own.error;
    EXPECT_TRUE(fs::path(own.path).is_absolute());
    EXPECT_EQ(fs::path(own.path).filename(), "install_launcher_test");
    EXPECT_TRUE(fs::is_regular_file(own.path));
}

// --- Fake setup programs and the start --------------------------------------------------------

// A setup program that appends its own path, its argument count and its working folder to
// `record` when it runs.
void WriteRecordingSetup(const fs::path& program, const fs::path& record) {
    fs::create_directories(program.parent_path());
    std::ofstream(program) << "#!/bin/sh\nprintf '%s|%s|%s\\n' \"$0\" \"$#\" \"$(pwd)\" >> '"
                           << record.string() << "'\n";
    fs::permissions(program, fs::perms::owner_all);
}

// The file's text once it has some, waiting at most five seconds (the setup runs detached).
std::string WaitForText(const fs::path& file) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        if (!text.str().empty()) {
            return text.str();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
}

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

// --- The launcher window ----------------------------------------------------------------------

// The platform with the launcher's location and the window search under the test's control; the
// start is the real one, and every path it is asked to start is kept.
class TestSystem : public LauncherSystem {
public:
    ProgramPath OwnProgramPath() override { return {true, ownPath, {}}; }
    WindowSearchResult FindTopLevelWindow(std::string_view title) override {
        searchedTitles.emplace_back(title);
        return search;
    }
    StartResult StartSetupProgram(const std::string& path, std::uintptr_t owner) override {
        started.push_back(path);
        return ::StartSetupProgram(path, owner);
    }
    const SetupLayout& Layout() const override { return kPosixSetupLayout; }

    std::string ownPath;
    WindowSearchResult search;
    std::vector<std::string> searchedTitles;
    std::vector<std::string> started;
};

class LauncherWindow : public ::testing::Test {
protected:
    void SetUp() override {
        // The launcher lies deep in a folder tree; the working folder is somewhere else.
        launcherFolder_ = fs::path(scratch_.Path()) / "media" / "cd" / "K720 v1.03";
        WriteRecordingSetup(launcherFolder_ / kJapaneseSetup, JapaneseRecord());
        WriteRecordingSetup(launcherFolder_ / kEnglishSetup, EnglishRecord());
        system_.ownPath = (launcherFolder_ / "k720-install").string();
        fs::create_directories(scratch_.File("elsewhere"));
        previousFolder_ = fs::current_path();
        fs::current_path(scratch_.File("elsewhere"));

        dialogs_.SetObserver(
            [this](const DialogCall&) { visibleDuringMessages_.push_back(window_->isVisible()); });
        window_ = std::make_unique<CInstallDlg>(system_);
        QString error;
        ASSERT_TRUE(window_->Open(&error)) << error.toStdString();
        window_->show();
    }
    void TearDown() override { fs::current_path(previousFolder_); }

    fs::path JapaneseRecord() const { return scratch_.File("japanese-ran"); }
    fs::path EnglishRecord() const { return scratch_.File("english-ran"); }
    std::string Setup(const char* relative) const { return (launcherFolder_ / relative).string(); }
    // What the fake setup records when the launcher started it.
    std::string RanLine(const char* relative) const {
        return Setup(relative) + "|0|" + scratch_.File("elsewhere") + "\n";
    }
    // Lets the window handle what it has posted to itself (its close).
    static void Settle() { QCoreApplication::processEvents(); }
    std::vector<QString> MessageTexts() const {
        std::vector<QString> texts;
        for (const MessageRequest& message : dialogs_.Messages()) {
            EXPECT_EQ(message.icon, MessageIcon::None);
            EXPECT_EQ(message.buttons, MessageButtons::Ok);
            texts.push_back(message.text);
        }
        return texts;
    }

    ScratchFolder scratch_;
    fs::path launcherFolder_;
    fs::path previousFolder_;
    TestSystem system_;
    CScriptedDialogs dialogs_;
    DialogsOverride useDialogs_{dialogs_};
    std::vector<bool> visibleDuringMessages_;
    std::unique_ptr<CInstallDlg> window_;
};

TEST_F(LauncherWindow, IsLaidOutWithCancelFocusedAndFirstInTabOrder) {
    CInstallDlg& w = *window_;
    EXPECT_EQ(w.windowTitle(), "install");
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(QApplication::focusWidget(), w.CancelButton());
    EXPECT_EQ(w.CancelButton()->text(), "CANCEL");
    // The controls the Tab key reaches, in its order.
    std::vector<QWidget*> tabOrder;
    for (QWidget* x = w.CancelButton()->nextInFocusChain(); x != w.CancelButton();
         x = x->nextInFocusChain()) {
        if ((x->focusPolicy() & Qt::TabFocus) != 0) {
            tabOrder.push_back(x);
        }
    }
    EXPECT_EQ(tabOrder, (std::vector<QWidget*>{w.JapaneseButton(), w.EnglishButton()}));
    EXPECT_EQ(w.findChildren<QPushButton*>().size(), 3);
    int lines = 0;
    for (const QFrame* frame : w.findChildren<QFrame*>()) {
        lines += frame->frameShape() == QFrame::HLine && frame->frameShadow() == QFrame::Sunken;
    }
    EXPECT_EQ(lines, 2);

    // Each picture button shows its language's pictures: the face colour, and a focused and a
    // pressed look that differ from the normal one.
    const struct {
        CBitmapButton* button;
        QColor face;
    } buttons[] = {{w.JapaneseButton(), QColor(215, 255, 255)},
                   {w.EnglishButton(), QColor(255, 208, 255)}};
    for (const auto& b : buttons) {
        EXPECT_EQ(b.button->size(), QSize(88, 45));
        const QImage normal = b.button->Picture(CBitmapButton::Look::Normal).toImage();
        const QImage focused = b.button->Picture(CBitmapButton::Look::Focused).toImage();
        const QImage pressed = b.button->Picture(CBitmapButton::Look::Pressed).toImage();
        EXPECT_EQ(normal.pixelColor(3, 3), b.face);
        EXPECT_NE(focused, normal);
        EXPECT_NE(pressed, focused);
    }
    for (const QLabel* note : {w.JapaneseNote(), w.EnglishNote()}) {
        const QImage picture = note->pixmap().toImage();
        EXPECT_EQ(picture.size(), QSize(150, 42));
        EXPECT_EQ(picture.pixelColor(0, 0), QColor(236, 233, 216));
        EXPECT_GE(note->width(), 150);
    }
    // Nothing runs until a language is chosen.
    EXPECT_TRUE(system_.searchedTitles.empty());
}

TEST_F(LauncherWindow, StartsTheChosenSetupBesideItselfAndCloses) {
    QTest::mouseClick(window_->JapaneseButton(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(WaitForText(JapaneseRecord()), RanLine(kJapaneseSetup));
    EXPECT_EQ(system_.searchedTitles,
              std::vector<std::string>{"Application Software for K720 - InstallShield Wizard"});
    EXPECT_TRUE(MessageTexts().empty());
    EXPECT_FALSE(window_->isVisible());
    EXPECT_FALSE(fs::exists(EnglishRecord()));
}

TEST_F(LauncherWindow, EnterOnTheFocusedEnglishButtonStartsItAsAClickDoes) {
    window_->EnglishButton()->setFocus();
    QTest::keyClick(window_->EnglishButton(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(WaitForText(EnglishRecord()), RanLine(kEnglishSetup));
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(LauncherWindow, MissingEnglishSetupIsAShellErrorAndJapaneseStillWorks) {
    fs::remove(Setup(kEnglishSetup));
    QTest::mouseClick(window_->EnglishButton(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(MessageTexts(), std::vector<QString>{"shell error  "});
    EXPECT_TRUE(window_->isVisible());

    QTest::mouseClick(window_->JapaneseButton(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(WaitForText(JapaneseRecord()), RanLine(kJapaneseSetup));
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(visibleDuringMessages_, std::vector<bool>{true});
}

TEST_F(LauncherWindow, OpenWizardWindowRefusesAndClosesWithoutStarting) {
    system_.search = {WindowSearch::Found, {}};
    QTest::mouseClick(window_->EnglishButton(), Qt::LeftButton);
    // A second click before the close is handled starts nothing either.
    QTest::mouseClick(window_->JapaneseButton(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(MessageTexts(), std::vector<QString>{"already opened  "});
    EXPECT_EQ(visibleDuringMessages_, std::vector<bool>{true});
    EXPECT_FALSE(window_->isVisible());
    EXPECT_TRUE(system_.started.empty());
}

TEST_F(LauncherWindow, SetupPathBeyondThePathBufferIsAShellError) {
    // 300 bytes of folder: the setup path would have to be cut.
    system_.ownPath = "/" + std::string(299, 'd') + "/k720-install";
    QTest::mouseClick(window_->JapaneseButton(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(MessageTexts(), std::vector<QString>{"shell error  "});
    EXPECT_TRUE(system_.started.empty());
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(LauncherWindow, UnsearchableWindowsDoNotPreventTheStart) {
    system_.search = {WindowSearch::Unavailable, "no X11 display"};
    QTest::mouseClick(window_->EnglishButton(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(WaitForText(EnglishRecord()), RanLine(kEnglishSetup));
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(LauncherWindow, CancelEscapeAndTheCloseBoxStartNothing) {
    const std::function<void(CInstallDlg&)> ways[] = {
        [](CInstallDlg& w) { QTest::mouseClick(w.CancelButton(), Qt::LeftButton); },
        [](CInstallDlg& w) { QTest::keyClick(&w, Qt::Key_Escape); },
        [](CInstallDlg& w) { w.close(); },
    };
    for (const auto& way : ways) {
        CInstallDlg w(system_);
        QString error;
        ASSERT_TRUE(w.Open(&error));
        w.show();
        way(w);
        Settle();
        EXPECT_FALSE(w.isVisible());
    }
    EXPECT_TRUE(system_.searchedTitles.empty());
    EXPECT_TRUE(MessageTexts().empty());
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
