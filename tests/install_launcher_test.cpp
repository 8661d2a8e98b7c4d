#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "controls/dialogs.h"
#include "install/install_dialog.h"
#include "install/setup_launch.h"
#include "tests/support/controls_qt_app.h"
#include "tests/support/recording_setup.h"
#include "tests/support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using test_support::ScratchFolder;
using test_support::WaitForText;
using test_support::WriteRecordingSetup;

// The setup programs' places on this system, relative to the launcher's folder.
const std::string kJapaneseSetup(NativeSetupLayout().japanese.substr(1));
const std::string kEnglishSetup(NativeSetupLayout().english.substr(1));

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
    EXPECT_EQ(fs::path(own.path).stem(), "install_launcher_test");
    EXPECT_TRUE(fs::is_regular_file(own.path));
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
    const SetupLayout& Layout() const override { return NativeSetupLayout(); }

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
        system_.ownPath = (launcherFolder_ / LauncherProgramName()).string();
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
    std::string Setup(const std::string& relative) const {
        return (launcherFolder_ / relative).string();
    }
    // What the fake setup records when the launcher started it.
    std::string RanLine(const std::string& relative) const {
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
    system_.ownPath = (fs::path(std::string(300, 'd')) / LauncherProgramName()).string();
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

} // namespace
