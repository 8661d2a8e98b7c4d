// The main window as a Windows program, on Qt's Windows platform (real windows: under Wine on a
// virtual display): what only the system shows, its system menu, its device-change messages, the
// dialog font it has, and the program's folder as it writes paths.
#include <string>
#include <vector>
// clang-format off
// <windows.h> first: <dbt.h> needs its types.
#include <windows.h>
#include <dbt.h>
// clang-format on

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/program_folder.h"
#include "controls/font_family.h"
#include "controls/fonts.h"
#include "tests/support/app_window.h"
#include "tests/support/controls_qt_app.h"

namespace {

using app_test::MainWindowTest;

HWND HandleOf(QWidget& window) {
    return reinterpret_cast<HWND>(window.winId());
}

TEST_F(MainWindowTest, SystemMenuEndsWithTheAboutEntryThatOpensTheAboutBox) {
    CMainDlg& window = MakeWindow();
    window.show();
    HMENU menu = GetSystemMenu(HandleOf(window), FALSE);
    ASSERT_NE(menu, nullptr);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 3);
    EXPECT_NE(GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    wchar_t text[64] = {};
    GetMenuStringW(menu, count - 1, text, 64, MF_BYPOSITION);
    EXPECT_EQ(QString::fromWCharArray(text), QStringLiteral("About K720Application (&A)..."));

    // Choosing it (the menu posts the command) runs the about box modally; it is closed as soon
    // as it shows.
    QString shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&shown] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            shown = box->windowTitle();
            box->close();
        }
    });
    closer.start(20);
    PostMessageW(HandleOf(window), WM_SYSCOMMAND, GetMenuItemID(menu, count - 1), 0);
    EXPECT_TRUE(QTest::qWaitFor([&shown] { return !shown.isEmpty(); }, 5000));
    EXPECT_EQ(shown, QStringLiteral("About K720Application"));
}

TEST_F(MainWindowTest, DeviceChangeMessageRebuildsTheCandidateList) {
    std::vector<ListedPort> ports;
    int listings = 0;
    SetPortLister([&] {
        ++listings;
        return ports;
    });
    MainWindowOptions options = Options();
    options.watchPortChanges = true;
    CMainDlg& window = MakeWindow(options);
    window.show();
    EXPECT_TRUE(g_candidatePorts.empty());

    // The bridge is plugged in: the system tells every top-level window.
    ports = {{"Prolific USB-to-Serial Comm Port (COM7)", 7, "COM7", true, false}};
    const int before = listings;
    SendMessageW(HandleOf(window), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    EXPECT_EQ(listings, before + 1);
    ASSERT_EQ(g_candidatePorts.size(), 1u);
    EXPECT_EQ(g_candidatePorts[0].portNumber, 7);

    // Another window's copy of the broadcast rebuilds nothing more.
    QWidget other;
    other.show();
    SendMessageW(HandleOf(other), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    EXPECT_EQ(listings, before + 1);
}

TEST(WindowsFonts, DialogFontsAreTheClassicFamilyOrTheSystemsNeverAFallback) {
    const QString classic = QStringLiteral("MS Sans Serif");
    const QString expected = QFontDatabase::hasFamily(classic)
                                 ? classic
                                 : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    EXPECT_EQ(DialogFontFamily(), expected);
    CreateSharedFonts();
    for (const QFont& font : {DialogFont(), g_font15, g_font16, g_font20}) {
        EXPECT_EQ(QFontInfo(font).family(), expected) << font.pixelSize();
    }
}

TEST(WindowsProgramFolder, IsWrittenWithBackslashesWithoutATrailingOne) {
    const QString folder = ProgramFolder();
    EXPECT_FALSE(folder.contains(QLatin1Char('/'))) << folder.toStdString();
    EXPECT_FALSE(folder.endsWith(QLatin1Char('\\'))) << folder.toStdString();
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("\\windows_app_test.exe")));
}

} // namespace

int main(int argc, char** argv) {
    // The system's own platform, not the offscreen one of the other window tests.
    qputenv("QT_QPA_PLATFORM", "windows");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
