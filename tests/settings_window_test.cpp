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

#include "comp_choice_page.h"
#include "read_do_page.h"
#include "settings_file.h"
#include "support/app_window.h"
#include "support/controls_qt_app.h"
#include "window_placement.h"

namespace {

using app_test::MainWindowTest;

const QSize kWindow(400, 300);
const QRect kScreen(0, 0, 1280, 1024);
const QRect kRightScreen(1280, 0, 1920, 1080);
const QRect kPrimaryArea(0, 0, 1280, 994); // without a task bar
const QPoint kCentredOnPrimary(440, 347);

struct PlacementCase {
    const char* what;
    QPoint saved;
    QPoint expected;
};

TEST(WindowPlacement, KeepsAnyPositionOnAScreenAndRescuesOnlyAWindowWhollyOffScreen) {
    const PlacementCase cases[] = {
        {"inside", {100, 80}, {100, 80}},
        {"partly off the left edge", {-399, 10}, {-399, 10}},
        {"partly below the bottom", {500, 1023}, {500, 1023}},
        {"on the second screen", {2000, 500}, {2000, 500}},
        {"across both screens", {1100, 0}, {1100, 0}},
        {"just off the left edge", {-400, 10}, kCentredOnPrimary},
        {"just above the top", {100, -300}, kCentredOnPrimary},
        {"beyond the second screen", {3200, 10}, kCentredOnPrimary},
        {"below the second screen", {1500, 1080}, kCentredOnPrimary},
        {"far away", {-30000, 25000}, kCentredOnPrimary},
    };
    for (const PlacementCase& c : cases) {
        const SettingsRect saved{c.saved.x(), c.saved.y(), c.saved.x() + kWindow.width(),
                                 c.saved.y() + kWindow.height()};
        EXPECT_EQ(RestoredPosition(saved, kWindow, {kScreen, kRightScreen}, kPrimaryArea),
                  c.expected)
            << c.what;
    }
}

// The file may hold any 32-bit values: no overflow (UBSan watches), and a place no window can
// have gives the first-run position.
TEST(WindowPlacement, CoordinatesTooLargeToPlaceAWindowGiveTheFirstRunPosition) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    const QPoint firstRun = FirstRunPosition(kWindow, kPrimaryArea);
    const SettingsRect cases[] = {
        {kMax, kMax, kMin, kMin},
        {kMin, kMin, kMax, kMax},
        {0, kMax, 400, kMin},
        {kMax - 100, 10, kMax, 310},
        {-20'000'000, 10, -19'999'600, 310},
    };
    for (const SettingsRect& saved : cases) {
        EXPECT_EQ(RestoredPosition(saved, kWindow, {kScreen}, kPrimaryArea), firstRun)
            << saved.left << "," << saved.top;
    }
}

TEST(WindowPlacement, FirstRunIsTheCentredPlaceMovedByAHundredPixels) {
    EXPECT_EQ(FirstRunPosition(kWindow, kPrimaryArea), kCentredOnPrimary + QPoint(100, 100));
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
};

TEST_F(SettingsWindowTest, FirstRunUsesTheDefaults) {
    g_instrumentPort = 42;
    CMainDlg& window = MakeWindow();

    EXPECT_EQ(window.pos(), FirstRunPosition(window.size(), PrimaryArea()));
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
    saved.rect = {-150, 20, -150 + 400, 20 + 300}; // partly off the screen: kept exactly
    WriteSettings(saved);

    CMainDlg& window = MakeWindow();

    EXPECT_EQ(window.pos(), QPoint(-150, 20));
    EXPECT_EQ(g_instrumentPort, 7);
    EXPECT_EQ(window.ReadDoPage().AcceptedFolder(), QStringLiteral("/data/k720"));
    EXPECT_EQ(window.ReadDoPage().AcceptedFileName(), QStringLiteral("Monday"));
    EXPECT_EQ(window.CompChoicePage().TableFiles(),
              (CompTableFiles{QStringLiteral("/data/tables/T1.csv"), QStringLiteral("T1.csv"),
                              QStringLiteral("/data/tables/")}));
    EXPECT_EQ(editor_->Files(), (CompTableFiles{QString(), QStringLiteral("T1.csv"),
                                                QStringLiteral("/data/tables/")}));
}

TEST_F(SettingsWindowTest, AWindowSavedWhollyOffScreenComesBackOntoThePrimaryScreen) {
    Settings saved = Sample();
    saved.rect = {20000, 15000, 20400, 15300};
    WriteSettings(saved);

    CMainDlg& window = MakeWindow();

    EXPECT_TRUE(PrimaryArea().contains(QRect(window.pos(), window.size())));
    EXPECT_EQ(g_instrumentPort, 7) << "only the position is corrected";
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
