#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <gtest/gtest.h>

#include "app/settings_file.h"
#include "app/window_placement.h"
#include "pages/comp_choice_page.h"
#include "pages/read_do_page.h"
#include "tests/support/app_window.h"
#include "tests/support/controls_qt_app.h"

namespace {

using app_test::MainWindowTest;

const QSize kWindow(400, 300);
constexpr int kTitleBar = 30;
const QRect kScreen(0, 0, 1280, 994); // without a task bar
const QRect kRightScreen(1280, 0, 1920, 1080);
const QPoint kCentredOnPrimary(440, 347);

struct PlacementCase {
    const char* what;
    QPoint saved;
    QPoint expected;
};

// A saved place is kept while two thirds of the title bar and of the window lie on a screen.
TEST(WindowPlacement, KeepsAPlaceTheUserCanReachElseCentresOnThePrimaryScreen) {
    const PlacementCase cases[] = {
        {"inside", {100, 80}, {100, 80}},
        {"a third off the left edge", {-133, 10}, {-133, 10}},
        {"title bar a third above the top", {100, -10}, {100, -10}},
        {"a third below the bottom", {500, 794}, {500, 794}},
        {"on the second screen", {2000, 500}, {2000, 500}},
        {"across both screens", {1100, 0}, {1100, 0}},
        {"half off the left edge", {-200, 10}, kCentredOnPrimary},
        {"title bar half above the top", {100, -15}, kCentredOnPrimary},
        {"half below the bottom", {500, 844}, kCentredOnPrimary},
        {"130 x 54 pixels in a corner", {-270, 940}, kCentredOnPrimary},
        {"beyond the second screen", {3200, 10}, kCentredOnPrimary},
        {"below the second screen", {1500, 1080}, kCentredOnPrimary},
        {"far away", {-30000, 25000}, kCentredOnPrimary},
    };
    for (const PlacementCase& c : cases) {
        const SettingsRect saved{c.saved.x(), c.saved.y(), c.saved.x() + kWindow.width(),
                                 c.saved.y() + kWindow.height()};
        EXPECT_EQ(RestoredPlace(saved, kWindow, kTitleBar, {kScreen, kRightScreen}, kScreen),
                  QRect(c.expected, kWindow))
            << c.what;
    }
    const SettingsRect second{2000, 500, 2400, 800};
    EXPECT_EQ(RestoredPlace(second, kWindow, kTitleBar, {kScreen}, kScreen).topLeft(),
              kCentredOnPrimary)
        << "the second screen is gone";
}

// The file may hold any 32-bit values: no overflow (UBSan watches), and a place no window can
// have is not kept.
TEST(WindowPlacement, CoordinatesTooLargeToPlaceAWindowAreCentred) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    const SettingsRect cases[] = {
        {kMax, kMax, kMin, kMin},
        {kMin, kMin, kMax, kMax},
        {0, kMax, 400, kMin},
        {kMax - 100, 10, kMax, 310},
        {-20'000'000, 10, -19'999'600, 310},
    };
    for (const SettingsRect& saved : cases) {
        EXPECT_EQ(RestoredPlace(saved, kWindow, kTitleBar, {kScreen}, kScreen).topLeft(),
                  kCentredOnPrimary)
            << saved.left << "," << saved.top;
    }
}

// At any scale the window opens wholly on the screen, and a window larger than the screen
// shows its title bar.
TEST(WindowPlacement, FirstRunAndCentredPlacesLieOnThePrimaryScreen) {
    struct Case {
        const char* what;
        QRect area;
        QPoint firstRun;
        QPoint centred;
    };
    const Case cases[] = {
        {"room for the offset", kScreen, kCentredOnPrimary + QPoint(100, 100), kCentredOnPrimary},
        {"a small screen", {0, 0, 560, 400}, {160, 100}, {80, 50}},
        {"smaller than the window, left of the primary",
         {-600, 30, 350, 250},
         {-600, 30},
         {-600, 30}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FirstRunPlace(kWindow, c.area), QRect(c.firstRun, kWindow)) << c.what;
        EXPECT_EQ(RestoredPlace({-9000, 0, -8600, 300}, kWindow, kTitleBar, {c.area}, c.area),
                  QRect(c.centred, kWindow))
            << c.what;
    }
}

TEST(WindowPlacement, StoredRectangleEndsJustOutsideTheWindow) {
    const QRect window(QPoint(-20, 35), QSize(446, 380));
    const SettingsRect stored = ToSettingsRect(window);
    EXPECT_EQ(stored, (SettingsRect{-20, 35, 426, 415}));
}

class SettingsWindowTest : public MainWindowTest {
protected:
    std::string SettingsFile() const {
        return SettingsFilePath(QDir::toNativeSeparators(programDir_.path()).toStdString());
    }
    void WriteSettings(const Settings& settings) {
        ASSERT_TRUE(WriteSettingsFile(SettingsFile(), settings));
    }
    Settings Sample() const {
        Settings settings;
        settings.rect = {60, 70, 60 + 400, 70 + 300};
        settings.instrumentPort = 7;
        settings.measurementFolder = "/data/k720";
        settings.measurementFileName = "Monday";
        settings.compTablePath = "/data/tables/T1.csv";
        settings.compTableFileName = "T1.csv";
        settings.compTableFolder = "/data/tables/";
        return settings;
    }
    static QRect PrimaryArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    // The window and its frame, once shown, lie wholly on the primary screen; along a side
    // where the screen is too short for them (a large scale) they begin where the screen does.
    static ::testing::AssertionResult OnPrimaryScreen(const CMainDlg& window) {
        const QRect outer(window.pos(), window.size().grownBy(kAssumedWindowFrame));
        const QRect area = PrimaryArea();
        const auto placed = [](int start, int extent, int areaStart, int areaExtent) {
            return extent > areaExtent
                       ? start == areaStart
                       : start >= areaStart && start + extent <= areaStart + areaExtent;
        };
        if (placed(outer.x(), outer.width(), area.x(), area.width()) &&
            placed(outer.y(), outer.height(), area.y(), area.height())) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << "window " << outer.x() << "," << outer.y() << " " << outer.width() << "x"
               << outer.height() << " on a screen of " << area.width() << "x" << area.height();
    }
};

TEST_F(SettingsWindowTest, FirstRunUsesTheDefaults) {
    g_instrumentPort = 42;
    CMainDlg& window = MakeWindow();

    EXPECT_TRUE(OnPrimaryScreen(window));
    EXPECT_EQ(g_instrumentPort, NO_INSTRUMENT_PORT);
    const QString programDir = QDir::toNativeSeparators(programDir_.path());
    EXPECT_EQ(window.ReadDoPage().AcceptedFolder(), programDir);
    EXPECT_EQ(window.ReadDoPage().AcceptedFileName(), QStringLiteral("DataK720"));
    EXPECT_EQ(window.ReadDoPage().FileNameField()->text(), QStringLiteral("DataK720"));
    const CompTableFiles expected{QString(), QString(), programDir};
    EXPECT_EQ(window.CompChoicePage().TableFiles(), expected);
    EXPECT_EQ(editor_->Files(), expected);
}

TEST_F(SettingsWindowTest, RestoresEveryValueAndHandsTheTableFileToTheEditorWithoutItsPath) {
    Settings saved = Sample();
    saved.rect = {-60, 20, -60 + 400, 20 + 300}; // a little off the screen: kept exactly
    WriteSettings(saved);

    CMainDlg& window = MakeWindow();

    EXPECT_EQ(window.pos(), QPoint(-60, 20));
    EXPECT_EQ(g_instrumentPort, 7);
    EXPECT_EQ(window.ReadDoPage().AcceptedFolder(), QStringLiteral("/data/k720"));
    EXPECT_EQ(window.ReadDoPage().AcceptedFileName(), QStringLiteral("Monday"));
    EXPECT_EQ(window.CompChoicePage().TableFiles(),
              (CompTableFiles{QStringLiteral("/data/tables/T1.csv"), QStringLiteral("T1.csv"),
                              QStringLiteral("/data/tables/")}));
    EXPECT_EQ(editor_->Files(), (CompTableFiles{QString(), QStringLiteral("T1.csv"),
                                                QStringLiteral("/data/tables/")}));
}

TEST_F(SettingsWindowTest, AWindowSavedOutOfReachComesBackOntoThePrimaryScreen) {
    const QRect area = PrimaryArea();
    // Off every screen (a monitor removed since), and only 130 x 54 pixels in a corner.
    for (const QPoint saved : {QPoint(20000, 15000), area.bottomRight() - QPoint(129, 53)}) {
        Settings settings = Sample();
        settings.rect = {saved.x(), saved.y(), saved.x() + 400, saved.y() + 300};
        WriteSettings(settings);

        CMainDlg& window = MakeWindow();

        EXPECT_TRUE(OnPrimaryScreen(window)) << saved.x() << "," << saved.y();
        EXPECT_EQ(g_instrumentPort, 7) << "only the position is corrected";
    }
}

TEST_F(SettingsWindowTest, AnotherVersionsFileIsIgnoredAndReplacedAtClose) {
    Settings other = Sample();
    std::vector<std::uint8_t> bytes = EncodeSettings(other);
    bytes[7] = '2'; // "Ver1.02"
    {
        std::FILE* file = std::fopen(SettingsFile().c_str(), "wb");
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        std::fclose(file);
    }
    CMainDlg& window = MakeWindow();
    EXPECT_EQ(g_instrumentPort, NO_INSTRUMENT_PORT);
    EXPECT_EQ(window.ReadDoPage().AcceptedFileName(), QStringLiteral("DataK720"));

    window.close();

    const std::optional<Settings> rewritten = ReadSettingsFile(SettingsFile());
    ASSERT_TRUE(rewritten.has_value());
    EXPECT_EQ(rewritten->measurementFileName, "DataK720");
    EXPECT_EQ(rewritten->instrumentPort, NO_INSTRUMENT_PORT);
}

TEST_F(SettingsWindowTest, UnchangedStringsGoBackByteForByteWhateverTheirEncoding) {
    Settings saved = Sample();
    // A table path in another code page, and a folder long enough for the two-byte length.
    saved.compTablePath = "C:\\\x83\x65\x81\x5B\x83\x75\x83\x8B.csv";
    saved.compTableFileName = "\x83\x65\x81\x5B\x83\x75\x83\x8B.csv";
    saved.measurementFolder = "/data/" + std::string(300, 'x');
    WriteSettings(saved);

    CMainDlg& window = MakeWindow();
    window.move(60, 70);
    window.close();

    const std::optional<Settings> rewritten = ReadSettingsFile(SettingsFile());
    ASSERT_TRUE(rewritten.has_value());
    EXPECT_EQ(rewritten->compTablePath, saved.compTablePath);
    EXPECT_EQ(rewritten->compTableFileName, saved.compTableFileName);
    EXPECT_EQ(rewritten->measurementFolder, saved.measurementFolder);
    EXPECT_EQ(rewritten->compTableFolder, saved.compTableFolder);
    EXPECT_EQ(rewritten->rect.left, 60);
    EXPECT_EQ(rewritten->rect.top, 70);
}

TEST_F(SettingsWindowTest, ValuesChangedDuringTheRunAreSavedAtClose) {
    WriteSettings(Sample());
    CMainDlg& window = MakeWindow();
    window.ReadDoPage().SetAcceptedDestination(QStringLiteral("/mnt/usb"),
                                               QStringLiteral("Dienstag \u00fc"));
    window.CompChoicePage().SetTableFiles(
        {QStringLiteral("/mnt/usb/T2.csv"), QStringLiteral("T2.csv"), QStringLiteral("/mnt/usb/")});
    g_instrumentPort = 161;

    window.close();

    const std::optional<Settings> rewritten = ReadSettingsFile(SettingsFile());
    ASSERT_TRUE(rewritten.has_value());
    EXPECT_EQ(rewritten->instrumentPort, 161);
    EXPECT_EQ(rewritten->measurementFolder, "/mnt/usb");
    EXPECT_EQ(rewritten->measurementFileName,
              QStringLiteral("Dienstag \u00fc").toLocal8Bit().toStdString());
    EXPECT_EQ(rewritten->compTablePath, "/mnt/usb/T2.csv");
    EXPECT_EQ(rewritten->compTableFileName, "T2.csv");
    EXPECT_EQ(rewritten->compTableFolder, "/mnt/usb/");
}

} // namespace
