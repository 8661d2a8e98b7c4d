// The reception page in the main window against the simulated instrument: from request 14 to
// request 17 for every way a reception ends, the window closing while one runs, and the whole
// path from the top menu by keyboard.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "app/settings_file.h"
#include "controls/bitmap_button.h"
#include "controls/color_button.h"
#include "measure/measurement_csv.h"
#include "measure/memory_check.h"
#include "pages/menu_pages.h"
#include "pages/page_requests.h"
#include "pages/read_choice_page.h"
#include "pages/read_do_page.h"
#include "pages/read_receive_page.h"
#include "resources/layouts/menu_layouts.h"
#include "resources/layouts/read_do_layout.h"
#include "sim/reading_encoder.h"
#include "tests/support/app_window.h"
#include "tests/support/controls_qt_app.h"
#include "tests/support/measure_support.h"

namespace {

using app_test::MainWindowTest;
using measure_test::SentCommands;
using measure_test::SimInstrument;

constexpr int kEndTimeoutMs = 20000;

sim::InstrumentState Instrument(std::initializer_list<std::pair<int, std::vector<int>>> units) {
    sim::InstrumentState state = sim::EmptyInstrument();
    for (const auto& [unit, stored] : units) {
        for (const int slot : stored) {
            ReadingCodes codes;
            codes.minute = slot % 60;
            codes.resistance = slot;
            state.units[static_cast<std::size_t>(unit)].Store(slot, EncodeReading(codes));
        }
    }
    return state;
}

std::vector<int> Slots(int first, int last) {
    std::vector<int> numbers;
    for (int slot = first; slot <= last; ++slot) {
        numbers.push_back(slot);
    }
    return numbers;
}

// Bytes at the pace of the real serial line, so that a reception lasts long enough to act on.
sim::ServerOptions Paced() {
    sim::ServerOptions options;
    options.pace = true;
    return options;
}

// Lines of the measurement file that hold a slot: they begin with its number.
int SlotLines(const std::string& text) {
    int count = 0;
    for (const std::string& line : measure_test::CrLfLines(text)) {
        count += !line.empty() && line[0] >= '0' && line[0] <= '9' ? 1 : 0;
    }
    return count;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

int DataRequests(const std::vector<std::string>& lines) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.starts_with(":MEM:DATA? ");
    }));
}

// The page as it was while the end message was shown.
struct PageAtMessage {
    QString count;
    QString remaining;
    QString status;
    QString unitLine;
    int barValue = -1;
    int barMaximum = -1;
    bool fileExisted = false;
    std::string fileBytes;
};

class ReceptionPage : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(folder_.isValid());
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        g_unitDataMask = 0;
    }

    std::string FilePath(const QString& name = QStringLiteral("data")) const {
        return QDir(folder_.path()).filePath(name + QStringLiteral(".csv")).toStdString();
    }

    // A window whose unit selection for reading has checked `sim`, the destination accepted.
    CMainDlg& WindowOnReadChoice(SimInstrument& sim) {
        CMainDlg& window = MakeWindow();
        app_test::UseInstrumentPort(sim.Port(), sim.Server().DevicePath());
        window.ReadDoPage().SetAcceptedDestination(folder_.path(), QStringLiteral("data"));
        Request(kRequestReadDeleteMenu);
        Request(kRequestReadChoice);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return window.ReadChoicePage().CancelButton()->isEnabled(); }, 5000));
        return window;
    }

    // Requests 12 and 14 as the confirmation page posts them.
    void StartReading(int unitCode) {
        Request(kRequestReadUnitChosen, unitCode);
        Request(kRequestStartReception);
    }

    // Records the page as it is while the end message is shown.
    void WatchTheEndMessage(CPpgReadReceive& page, const std::string& file) {
        dialogs_.SetObserver([this, &page, file](const DialogCall& /*call*/) {
            PageAtMessage seen;
            seen.count = page.CountLine()->text();
            seen.remaining = page.TimeRemainingLine()->text();
            seen.status = page.StatusLine()->text();
            seen.unitLine = page.UnitLine()->text();
            seen.barValue = page.ProgressBar()->value();
            seen.barMaximum = page.ProgressBar()->maximum();
            seen.fileExisted = measure_test::FileExists(file);
            seen.fileBytes = measure_test::ReadFileBytes(file);
            atMessage_ = seen;
        });
    }

    bool WaitUntilBackOnReadChoice() {
        return QTest::qWaitFor([this] { return window_->VisiblePage() == PageId::ReadChoice; },
                               kEndTimeoutMs);
    }

    void ExpectOneMessage(const char* text, MessageIcon icon) {
        const MessageRequest message{QString::fromLatin1(text), icon};
        EXPECT_EQ(dialogs_.Messages(), std::vector<MessageRequest>{message});
    }

    // The lines after the end, and the unit selection shown again as it was.
    void ExpectBackOnReadChoice() {
        const CPpgReadReceive& page = window_->ReadReceivePage();
        EXPECT_EQ(page.CountLine()->text(), QString());
        EXPECT_EQ(page.TimeRemainingLine()->text(), QString());
        EXPECT_EQ(page.ProgressBar()->value(), 0);
        EXPECT_FALSE(page.ReceptionRunning());
        EXPECT_EQ(window_->VisiblePage(), PageId::ReadChoice);
        EXPECT_EQ(window_->focusWidget(), window_->ReadChoicePage().CancelButton());
        EXPECT_EQ(CommClose(), 0) << "the port was left open";
    }

    QTemporaryDir folder_;
    std::optional<PageAtMessage> atMessage_;
};

TEST_F(ReceptionPage, ReceivedReadingsEndWithTheirMessageAndTheFileClosed) {
    struct Case {
        const char* name;
        sim::InstrumentState instrument;
        int unitCode;
        int total;
        int unitsInFile; // one bit per unit with a heading in the file
        int slotLines;
        const char* unitLine;
        const char* lastStatus;
    };
    const sim::InstrumentState twoInC = Instrument({{0, {1}}, {2, {3, 7}}});
    const sim::InstrumentState threeInAAndP = Instrument({{0, {1, 2}}, {4, {}}, {11, {400}}});
    const int all = measure::kAllUnitsCode;
    const Case cases[] = {
        {"unit C", twoInC, 0x4, 2, 0x4, 7, "Unit [ C ]", "Reading unit [ C ] ......."},
        {"all units", threeInAAndP, all, 3, 0x801, 402, "ALL UNITs", "Reading unit [ P ] ......."},
        {"all units of an empty instrument", sim::EmptyInstrument(), all, 0, 0, 0, "ALL UNITs",
         "Checking data .............."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimInstrument sim(c.instrument);
        SentCommands sent;
        CMainDlg& window = WindowOnReadChoice(sim);
        dialogs_ = CScriptedDialogs();
        atMessage_.reset();
        WatchTheEndMessage(window.ReadReceivePage(), FilePath());

        StartReading(c.unitCode);
        ASSERT_TRUE(WaitUntilBackOnReadChoice());

        ExpectOneMessage("Data received.  ", MessageIcon::Information);
        ASSERT_TRUE(atMessage_.has_value());
        EXPECT_EQ(atMessage_->count, QString::fromStdString(std::to_string(c.total) + " / " +
                                                            std::to_string(c.total)));
        EXPECT_EQ(atMessage_->barValue, c.total);
        EXPECT_EQ(atMessage_->barMaximum, std::max(c.total, 1));
        EXPECT_EQ(atMessage_->unitLine, QString::fromLatin1(c.unitLine));
        EXPECT_EQ(atMessage_->status, QString::fromLatin1(c.lastStatus));
        // The file is complete and closed before the message.
        EXPECT_TRUE(atMessage_->fileExisted);
        EXPECT_EQ(atMessage_->fileBytes, measure_test::ReadFileBytes(FilePath()));
        EXPECT_EQ(SlotLines(atMessage_->fileBytes), c.slotLines);
        int unitsInFile = 0;
        for (int unit = 0; unit < 12; ++unit) {
            const std::string heading =
                measure::CsvUnitHeadingText(unit, measure::TemperatureUnit::Celsius);
            unitsInFile |= atMessage_->fileBytes.find(heading) != std::string::npos ? 1 << unit : 0;
        }
        EXPECT_EQ(unitsInFile, c.unitsInFile);
        EXPECT_EQ(sent.Lines().back(), ":MEM:DATA:END");
        EXPECT_EQ(window.ReadReceivePage().StatusLine()->text(), atMessage_->status);
        EXPECT_EQ(window.ReadReceivePage().UnitLine()->text(), atMessage_->unitLine);
        ExpectBackOnReadChoice();
        window_.reset();
        std::filesystem::remove(FilePath());
    }
}

TEST_F(ReceptionPage, CancelStopsTheReceptionAndKeepsWhatWasWritten) {
    SimInstrument sim(Instrument({{11, Slots(1, 400)}}), {}, Paced());
    SentCommands sent;
    CMainDlg& window = WindowOnReadChoice(sim);
    CPpgReadReceive& page = window.ReadReceivePage();
    WatchTheEndMessage(page, FilePath());
    StartReading(0x800);

    // Running: the count, the bar and, after the first second, the time remaining move.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.TimeRemainingLine()->text().isEmpty(); },
                                kEndTimeoutMs));
    EXPECT_TRUE(page.ReceptionRunning());
    EXPECT_TRUE(page.TimeRemainingLine()->text().endsWith(QStringLiteral(" sec")));
    EXPECT_GT(page.ProgressBar()->value(), 0);
    EXPECT_EQ(page.ProgressBar()->maximum(), 400);
    EXPECT_TRUE(page.CountLine()->text().endsWith(QStringLiteral(" / 400")));
    EXPECT_EQ(page.StatusLine()->text(), QStringLiteral("Reading unit [ P ] ......."));
    EXPECT_TRUE(page.CancelButton()->isEnabled());

    page.CancelButton()->setFocus();
    QTest::keyClick(page.CancelButton(), Qt::Key_Return);
    ASSERT_TRUE(WaitUntilBackOnReadChoice());

    const std::vector<std::string> lines = sent.Lines();
    EXPECT_EQ(lines.back(), ":MEM:DATA:END");
    const int requested = DataRequests(lines);
    EXPECT_LT(requested, 400);
    // Below the message: what the file kept.
    ExpectOneMessage(("Data receipt cancelled.  \n" + std::to_string(requested) +
                      " readings of unit P were kept in data.csv.")
                         .c_str(),
                     MessageIcon::Warning);
    ASSERT_TRUE(atMessage_.has_value());
    EXPECT_TRUE(atMessage_->fileExisted);
    EXPECT_EQ(SlotLines(atMessage_->fileBytes), requested);
    ExpectBackOnReadChoice();
}

TEST_F(ReceptionPage, AnInstrumentFallingSilentEndsInAnError) {
    sim::Faults faults;
    faults.readingsBeforeSilence = 5;
    SimInstrument sim(Instrument({{0, Slots(1, 20)}}), faults);
    SentCommands sent;
    WindowOnReadChoice(sim);
    WatchTheEndMessage(window_->ReadReceivePage(), FilePath());

    StartReading(0x1);
    ASSERT_TRUE(WaitUntilBackOnReadChoice());

    ExpectOneMessage("Data reception error.  \n5 readings of unit A were kept in data.csv.",
                     MessageIcon::Error);
    EXPECT_FALSE(Contains(sent.Lines(), ":MEM:DATA:END"));
    ASSERT_TRUE(atMessage_.has_value());
    EXPECT_EQ(atMessage_->count, QStringLiteral("5 / 20"));
    EXPECT_EQ(SlotLines(measure_test::ReadFileBytes(FilePath())), 5);
    ExpectBackOnReadChoice();
}

TEST_F(ReceptionPage, AStartThatFailsIsReportedAndCreatesNothing) {
    struct Case {
        const char* name;
        sim::Faults faults;
        std::function<void()> before; // after the unit selection, before request 14
        const char* message;
        bool instrumentAskedForReadings;
    };
    sim::Faults silentWhileCounting;
    silentWhileCounting.silentFromCommand = 4; // after two identity probes and the memory check
    sim::Faults lowerCaseUnit;
    lowerCaseUnit.wrongReplies.push_back({":FACT:SYS:UNIT?", "c\r\n"});
    const Case cases[] = {
        {"the port does not open",
         {},
         [] { g_instrumentPort = 250; },
         "Communication Error.  \nUSB disconnected. ",
         false},
        {"no reply while counting", silentWhileCounting, [] {}, "Communication Error.  ", true},
        {"a temperature unit in lower case", lowerCaseUnit, [] {}, "Communication Error.  ", true},
        {"a path of 300 characters",
         {},
         [this] {
             const QString deep = folder_.path() + QLatin1Char('/') +
                                  QString(300 - 7 - folder_.path().size(), QLatin1Char('d'));
             window_->ReadDoPage().SetAcceptedDestination(deep, QStringLiteral("x"));
         },
         "The destination path is too long.  \nA path may have at most 299 characters. ",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimInstrument sim(Instrument({{2, {1, 2}}}), c.faults);
        SentCommands sent;
        WindowOnReadChoice(sim);
        dialogs_ = CScriptedDialogs();
        c.before();
        const QString previousStatus = QStringLiteral("Reading unit [ A ] .......");
        window_->ReadReceivePage().StatusLine()->setText(previousStatus);

        StartReading(0x4);
        ASSERT_TRUE(WaitUntilBackOnReadChoice());

        ExpectOneMessage(c.message, MessageIcon::Error);
        // The status line changes once the port has opened.
        EXPECT_EQ(window_->ReadReceivePage().StatusLine()->text(),
                  c.instrumentAskedForReadings ? QStringLiteral("Checking data ..............")
                                               : previousStatus);
        EXPECT_EQ(Contains(sent.Lines(), ":MEM:UNIT? C"), c.instrumentAskedForReadings);
        EXPECT_FALSE(Contains(sent.Lines(), ":MEM:DATA:START"));
        EXPECT_TRUE(QDir(folder_.path()).isEmpty()) << "a file was created";
        ExpectBackOnReadChoice();
        window_.reset();
    }
}

std::string FirstLine(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The threads of this program that carry its name, as plain threads (the engine's among them) do;
// Qt's pooled helper threads have names of their own.
int ProgramThreads() {
    const std::string name = FirstLine("/proc/self/comm");
    std::error_code error;
    int count = 0;
    for (auto it = std::filesystem::directory_iterator("/proc/self/task", error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        count += FirstLine(it->path() / "comm") == name ? 1 : 0;
    }
    return count;
}

TEST_F(ReceptionPage, ClosingTheWindowStopsTheReceptionFirst) {
    SimInstrument sim(Instrument({{11, Slots(1, 400)}}), {}, Paced());
    SentCommands sent;
    CMainDlg& window = WindowOnReadChoice(sim);
    window.show();
    const int threadsBefore = ProgramThreads();
    CPpgReadReceive& page = window.ReadReceivePage();
    StartReading(0x800);
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.ProgressBar()->value() >= 20; }, kEndTimeoutMs));
    ASSERT_TRUE(page.ReceptionRunning());

    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(window.close());
    EXPECT_LT(clock.elapsed(), 2500);

    // Stopped and joined before the window went: the instrument was told, the file is closed.
    EXPECT_FALSE(page.ReceptionRunning());
    EXPECT_EQ(ProgramThreads(), threadsBefore);
    const std::vector<std::string> lines = sent.Lines();
    EXPECT_EQ(lines.back(), ":MEM:DATA:END");
    EXPECT_EQ(CommClose(), 0);
    const std::string written = measure_test::ReadFileBytes(FilePath());
    EXPECT_EQ(SlotLines(written), DataRequests(lines));
    EXPECT_TRUE(written.ends_with("\r\n"));
    EXPECT_TRUE(ReadSettingsFile(window.SettingsPath().toStdString()).has_value());

    // Nothing of the stopped reception follows.
    QTest::qWait(400);
    EXPECT_TRUE(dialogs_.Calls().empty());
    EXPECT_EQ(window.VisiblePage(), PageId::ReadReceive);
    EXPECT_EQ(sent.Lines().size(), lines.size());
}

// The user's whole way with the keyboard alone: Tab moves the focus, Enter presses.
TEST_F(ReceptionPage, TheWholePathFromTheTopMenuByKeyboard) {
    SimInstrument sim(Instrument({{1, {1, 2, 3}}}));
    CMainDlg& window = MakeWindow();
    app_test::UseInstrumentPort(sim.Port(), sim.Server().DevicePath());
    window.ReadDoPage().SetAcceptedDestination(folder_.path(), QStringLiteral("by keyboard"));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    const auto press = [&](Qt::Key key) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClick(focused, key);
    };
    // Tabs until `target` has the focus (at most once round the page).
    const auto tabTo = [&](QWidget* target) {
        for (int i = 0; i < 20 && QApplication::focusWidget() != target; ++i) {
            press(Qt::Key_Tab);
        }
        ASSERT_EQ(QApplication::focusWidget(), target);
    };

    ASSERT_EQ(QApplication::focusWidget(),
              static_cast<QWidget*>(window.MainPage().ReadDeleteButton()));
    press(Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.VisiblePage() == PageId::DataReadErase; }));
    tabTo(window.PageControl(PageId::DataReadErase, data_read_erase_ids::kRead));
    press(Qt::Key_Return);
    CPpgReadChoice& choice = window.ReadChoicePage();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QApplication::focusWidget() == choice.CancelButton(); }, 5000));
    tabTo(choice.UnitButton(1));
    press(Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.VisiblePage() == PageId::ReadDo; }));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return window.ReadDoPage().UnitLine()->text() ==
               QStringLiteral("This will read unit [ b ].");
    }));
    tabTo(window.ReadDoPage().OkButton());
    press(Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.VisiblePage() == PageId::ReadReceive; }));
    ASSERT_TRUE(WaitUntilBackOnReadChoice());

    ExpectOneMessage("Data received.  ", MessageIcon::Information);
    EXPECT_EQ(SlotLines(measure_test::ReadFileBytes(FilePath(QStringLiteral("by keyboard")))), 3);
    EXPECT_EQ(QApplication::focusWidget(), choice.CancelButton());
    EXPECT_EQ(g_selectedUnitForReading, 0x2);
}

} // namespace
