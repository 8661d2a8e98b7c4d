#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "app/main_app.h"
#include "app/settings_file.h"
#include "controls/bitmap_button.h"
#include "controls/color_button.h"
#include "measure/units.h"
#include "pages/about_dialog.h"
#include "pages/comp_choice_page.h"
#include "pages/date_page.h"
#include "pages/erase_choice_page.h"
#include "pages/menu_pages.h"
#include "pages/page_requests.h"
#include "pages/read_choice_page.h"
#include "pages/read_do_page.h"
#include "pages/read_receive_page.h"
#include "pages/usb_check_dialog.h"
#include "resources/layouts/comp_layouts.h"
#include "resources/layouts/date_layout.h"
#include "resources/layouts/erase_do_layout.h"
#include "resources/layouts/menu_layouts.h"
#include "resources/layouts/read_do_layout.h"
#include "resources/layouts/read_receive_layout.h"
#include "resources/layouts/unit_choice_layouts.h"
#include "tests/support/app_window.h"
#include "tests/support/controls_qt_app.h"

namespace {

using app_test::MainWindowTest;

constexpr WindowMessage kNotices[] = {WM_PAGE_ACTIVATE, WM_COMP_SEND_START, WM_COMP_RECEIVE_START,
                                      WM_COMP_CHOICE_REOPEN};

// Records every page-activation notice the pages of the main window receive.
class NoticeRecorder : public QObject {
public:
    struct Notice {
        PageId page;
        WindowMessage message;
        bool pageVisible; // whether the page was already shown when the notice came
    };
    std::vector<Notice> notices;

    explicit NoticeRecorder(const CMainDlg& window) {
        for (int i = 0; i < kPageCount; ++i) {
            pages_.push_back(window.Page(static_cast<PageId>(i)));
            pages_.back()->installEventFilter(this);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        for (const WindowMessage message : kNotices) {
            const auto page = std::find(pages_.begin(), pages_.end(), watched);
            if (event->type() == EventType(message) && page != pages_.end()) {
                notices.push_back(
                    {static_cast<PageId>(page - pages_.begin()), message, !(*page)->isHidden()});
            }
        }
        return false;
    }

private:
    std::vector<QWidget*> pages_;
};

struct Step {
    int code;
    int argument = 0;
};

// The requests that lead from the top menu to the page that posts the request under test.
using Path = std::vector<Step>;
const Path kOnTop{};
const Path kOnReadDeleteMenu{{kRequestReadDeleteMenu}};
const Path kOnEraseChoice{{kRequestReadDeleteMenu}, {kRequestEraseChoice}};
const Path kOnEraseDo{{kRequestReadDeleteMenu}, {kRequestEraseChoice}, {7, 0x1}};
const Path kOnReadChoice{{kRequestReadDeleteMenu}, {kRequestReadChoice}};
const Path kOnReadDo{{kRequestReadDeleteMenu}, {kRequestReadChoice}, {12, 0x4}};
const Path kOnReception{{kRequestReadDeleteMenu}, {kRequestReadChoice}, {12, 0x4}, {14}};
const Path kOnCompClockMenu{{kRequestCompClockMenu}};
const Path kOnClock{{kRequestCompClockMenu}, {20}};
const Path kOnCompChoice{{kRequestCompClockMenu}, {kRequestCompChoice}};
const Path kOnTransmit{{kRequestCompClockMenu}, {kRequestCompChoice}, {30}};
const Path kOnTableReception{{kRequestCompClockMenu}, {kRequestCompChoice}, {25}};

using P = PageId;
namespace ids_dre = data_read_erase_ids;
namespace ids_icd = init_comp_date_ids;
using Mode = CompEditorMode;
constexpr WindowMessage kActivate = WM_PAGE_ACTIVATE;
constexpr int kAll = measure::kAllUnitsCode;

struct SwitchCase {
    const char* name;
    Path path;
    Step request;
    PageId shown;
    int focus = 0;                            // control of the shown page; 0: not checked
    std::optional<WindowMessage> notice = {}; // sent to the shown page
    std::optional<CompEditorMode> editorRun = {};
};

std::ostream& operator<<(std::ostream& out, const SwitchCase& testCase) {
    return out << testCase.name;
}

const SwitchCase kSwitchCases[] = {
    {"ReadDeleteMenu", kOnTop, {0}, P::DataReadErase, ids_dre::kBack},
    {"CompClockMenu", kOnTop, {1}, P::InitCompDate, ids_icd::kBack},
    {"BackFromReadDeleteMenu", kOnReadDeleteMenu, {3}, P::Main, main_menu_ids::kReadDelete},
    {"ReadData", kOnReadDeleteMenu, {4}, P::ReadChoice, 0, kActivate},
    {"DeleteData", kOnReadDeleteMenu, {5}, P::EraseChoice, 0, kActivate},
    {"BackFromEraseChoice", kOnEraseChoice, {6}, P::DataReadErase, ids_dre::kDelete},
    {"EraseUnitChosen", kOnEraseChoice, {7, 0x8}, P::EraseDo, erase_do_ids::kCancel, kActivate},
    {"BackFromEraseDo", kOnEraseDo, {8}, P::EraseChoice, kEraseChoiceIds.cancel},
    {"Erased", kOnEraseDo, {9}, P::EraseChoice, 0, kActivate},
    {"EraseFailed", kOnEraseDo, {10}, P::DataReadErase},
    {"BackFromReadChoice", kOnReadChoice, {11}, P::DataReadErase, ids_dre::kRead},
    {"ReadAllUnits", kOnReadChoice, {12, kAll}, P::ReadDo, read_do_ids::kCancel, kActivate},
    {"BackFromReadDo", kOnReadDo, {13}, P::ReadChoice, kReadChoiceIds.cancel},
    {"StartReception", kOnReadDo, {14}, P::ReadReceive, read_receive_ids::kCancel, kActivate},
    {"ReceptionEnded", kOnReception, {17}, P::ReadChoice, kReadChoiceIds.cancel},
    {"BackFromCompClockMenu", kOnCompClockMenu, {18}, P::Main, main_menu_ids::kCompClock},
    {"CompTable", kOnCompClockMenu, {19}, P::CompChoice, comp_choice_ids::kCancel},
    {"SetClock", kOnCompClockMenu, {20}, P::Date, date_ids::kBack, kActivate},
    {"BackFromSetClock", kOnClock, {21}, P::InitCompDate, ids_icd::kSetClock},
    {"BackFromCompChoice", kOnCompChoice, {22}, P::InitCompDate, ids_icd::kCompTable},
    {"NewTable", kOnCompChoice, {23}, P::CompChoice, 0, {}, Mode::NewTable},
    {"EditTableFile", kOnCompChoice, {24}, P::CompChoice, 0, {}, Mode::TableFile},
    {"ReceiveTable", kOnCompChoice, {25}, P::CompTransmitDo, 0, WM_COMP_RECEIVE_START},
    {"TransmitOpenFailed", kOnTransmit, {28}, P::CompChoice, 0, {}, Mode::AfterTransfer},
    {"TransmitEnded", kOnTransmit, {29}, P::CompChoice, 0, {}, Mode::AfterTransfer},
    {"TransmitTable", kOnCompChoice, {30}, P::CompTransmitSend, 0, WM_COMP_SEND_START},
    {"TableReceiveFailed", kOnTableReception, {31}, P::CompChoice},
    {"TableReceived", kOnTableReception, {32}, P::CompChoice, 0, {}, Mode::FromInstrument},
    {"TableLoadFailed", kOnCompChoice, {33}, P::CompChoice, 0, WM_COMP_CHOICE_REOPEN},
    {"TableSaved", kOnCompChoice, {34}, P::CompChoice},
};

class PageSwitch : public MainWindowTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(PageSwitch, ShowsTheNextPageWithItsNoticeAndFocus) {
    const SwitchCase& testCase = GetParam();
    CMainDlg& window = MakeWindow();
    // The unit selection pages as after a successful memory check: Cancel can take the focus.
    window.ReadChoicePage().CancelButton()->setEnabled(true);
    window.EraseChoicePage().CancelButton()->setEnabled(true);
    for (const Step& step : testCase.path) {
        Request(step.code, step.argument);
    }
    NoticeRecorder recorder(window);

    Request(testCase.request.code, testCase.request.argument);

    EXPECT_EQ(window.VisiblePage(), testCase.shown);
    EXPECT_EQ(VisiblePageCount(), 1);
    if (testCase.notice) {
        ASSERT_EQ(recorder.notices.size(), 1u);
        EXPECT_EQ(recorder.notices[0].page, testCase.shown);
        EXPECT_EQ(recorder.notices[0].message, *testCase.notice);
        EXPECT_TRUE(recorder.notices[0].pageVisible) << "the notice came before the page showed";
    } else {
        EXPECT_TRUE(recorder.notices.empty());
    }
    if (testCase.focus != 0) {
        EXPECT_EQ(window.focusWidget(), window.PageControl(testCase.shown, testCase.focus));
    }
    if (testCase.editorRun) {
        ASSERT_EQ(editor_->Runs().size(), 1u);
        EXPECT_EQ(editor_->Runs()[0].mode, *testCase.editorRun);
        EXPECT_EQ(editor_->Runs()[0].visiblePage, PageId::CompChoice);
    } else {
        EXPECT_TRUE(editor_->Runs().empty());
    }
    if (testCase.notice == WM_COMP_CHOICE_REOPEN) {
        // The menu page offers its open dialog again, without the name that failed.
        ASSERT_EQ(dialogs_.Calls().size(), 1u);
        EXPECT_EQ(dialogs_.Calls()[0].kind, DialogCall::Kind::OpenFile);
        EXPECT_EQ(dialogs_.Calls()[0].file.fileName, QStringLiteral("*.csv"));
    } else {
        EXPECT_TRUE(dialogs_.Calls().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(AllRequests, PageSwitch, ::testing::ValuesIn(kSwitchCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(MainWindowTest, StartsOnTheTopMenuWithTheFocusOnTheReadDeleteButton) {
    CMainDlg& window = MakeWindow();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("K720 Application   Ver1.03"));
    EXPECT_EQ(window.VisiblePage(), PageId::Main);
    EXPECT_EQ(VisiblePageCount(), 1);
    EXPECT_EQ(window.focusWidget(), window.MainPage().ReadDeleteButton());
    EXPECT_EQ(editor_->Host(), &window);
    EXPECT_EQ(editor_->SavedMarks(), 1);
    // Every page sits on the page frame and has the main window as its host.
    const QRect frame = window.Layout().Find(1001)->geometry();
    for (int i = 0; i < kPageCount; ++i) {
        const CPage* page = window.Page(static_cast<PageId>(i));
        EXPECT_EQ(page->geometry(), frame) << "page " << i;
        EXPECT_EQ(page->Host(), &window) << "page " << i;
    }
}

// Back and Cancel of the pages whose buttons no other test presses lead back where they came
// from. (Menu, unit selection and read confirmation buttons are tested with their pages.)
TEST_F(MainWindowTest, BackAndCancelButtonsLeadBack) {
    struct Case {
        Path path;
        PageId page;
        int button;
        PageId shown;
    };
    const Case cases[] = {
        {kOnEraseDo, P::EraseDo, erase_do_ids::kCancel, P::EraseChoice},
        {kOnClock, P::Date, date_ids::kBack, P::InitCompDate},
        {kOnCompChoice, P::CompChoice, comp_choice_ids::kCancel, P::InitCompDate},
    };
    for (const Case& c : cases) {
        CMainDlg& window = MakeWindow();
        for (const Step& step : c.path) {
            Request(step.code, step.argument);
        }
        ASSERT_EQ(window.VisiblePage(), c.page);
        auto* button = qobject_cast<QAbstractButton*>(window.PageControl(c.page, c.button));
        ASSERT_NE(button, nullptr) << c.button;
        button->click();
        QCoreApplication::sendPostedEvents(&window, EventType(WM_PAGE_SWITCH));
        EXPECT_EQ(window.VisiblePage(), c.shown) << "after " << c.button;
    }
    EXPECT_TRUE(dialogs_.Calls().empty());
}

TEST_F(MainWindowTest, UnusedRequestCodesChangeNothing) {
    CMainDlg& window = MakeWindow();
    Request(kRequestReadDeleteMenu);
    QWidget* focused = window.focusWidget();
    NoticeRecorder recorder(window);
    for (const int code : {15, 16, 26, 27, 35, 36, 110, -1}) {
        Request(code, 0x4);
        EXPECT_EQ(window.VisiblePage(), PageId::DataReadErase) << "code " << code;
        EXPECT_EQ(window.focusWidget(), focused) << "code " << code;
    }
    EXPECT_EQ(VisiblePageCount(), 1);
    EXPECT_TRUE(recorder.notices.empty());
    EXPECT_TRUE(editor_->Runs().empty());
    EXPECT_TRUE(dialogs_.Calls().empty());
    EXPECT_EQ(g_selectedUnitForDeletion, 0);
    EXPECT_EQ(g_selectedUnitForReading, 0);
}

TEST_F(MainWindowTest, KeepsTheChosenUnitCodesForDeletionAndReadingApart) {
    MakeWindow();
    Request(kRequestReadDeleteMenu);
    Request(kRequestEraseChoice);
    Request(kRequestEraseUnitChosen, 0x400);
    EXPECT_EQ(g_selectedUnitForDeletion, 0x400);
    EXPECT_EQ(g_selectedUnitForReading, 0);

    Request(kRequestEraseFailed);
    Request(kRequestReadChoice);
    Request(kRequestReadUnitChosen, measure::kAllUnitsCode);
    EXPECT_EQ(g_selectedUnitForReading, measure::kAllUnitsCode);
    EXPECT_EQ(g_selectedUnitForDeletion, 0x400);
}

TEST_F(MainWindowTest, StartingTheReceptionHandsOverTheAcceptedDestination) {
    CMainDlg& window = MakeWindow();
    window.ReadDoPage().SetAcceptedDestination(QStringLiteral("/data/batteries"),
                                               QStringLiteral("Run 5"));
    Request(kRequestReadDeleteMenu);
    Request(kRequestReadChoice);
    Request(kRequestReadUnitChosen, 0x4);
    // Typed but not accepted with OK: not what the reception writes to.
    window.ReadDoPage().FileNameField()->setText(QStringLiteral("typed"));

    Request(kRequestStartReception);

    EXPECT_EQ(window.ReadReceivePage().DestinationFolder(), QStringLiteral("/data/batteries"));
    EXPECT_EQ(window.ReadReceivePage().DestinationFileName(), QStringLiteral("Run 5"));
}

TEST_F(MainWindowTest, AFailedDeletionResetsTheUnitSelectionWithoutShowingIt) {
    CMainDlg& window = MakeWindow();
    CPpgEraseChoice& choice = window.EraseChoicePage();
    Request(kRequestReadDeleteMenu);
    Request(kRequestEraseChoice);
    // The look after a check that found data.
    choice.CancelButton()->SetFaceColor(button_colors::kGreen);
    choice.CancelButton()->setEnabled(true);
    choice.UnitButton(0)->SetFaceColor(button_colors::kRed);
    choice.UnitButton(0)->setEnabled(true);
    choice.StatusLine()->setText(QStringLiteral("Select UNIT to delete."));
    Request(kRequestEraseUnitChosen, 0x1);

    Request(kRequestEraseFailed);

    EXPECT_TRUE(choice.isHidden());
    EXPECT_FALSE(choice.CancelButton()->isEnabled());
    EXPECT_EQ(choice.CancelButton()->FaceColor(), button_colors::kPaleGreen);
    EXPECT_FALSE(choice.UnitButton(0)->isEnabled());
    EXPECT_EQ(choice.UnitButton(0)->FaceColor(), button_colors::kPaleRed);
    EXPECT_EQ(choice.StatusLine()->text(), QStringLiteral("Checking data ......."));
}

TEST_F(MainWindowTest, TableFileStringsTravelBetweenTheMenuPageAndTheEditor) {
    CMainDlg& window = MakeWindow();
    NoticeRecorder recorder(window);
    const CompTableFiles opened{QStringLiteral("/tables/old.csv"), QStringLiteral("old.csv"),
                                QStringLiteral("/tables/")};
    window.CompChoicePage().SetTableFiles(opened);
    Request(kRequestCompClockMenu);
    Request(kRequestCompChoice);

    Request(kRequestEditTableFile);
    EXPECT_EQ(editor_->Files(), opened);

    const CompTableFiles saved{QStringLiteral("/elsewhere/new.csv"), QStringLiteral("new.csv"),
                               QStringLiteral("/elsewhere/")};
    editor_->SetFiles(saved);
    Request(kRequestTableSaved);
    EXPECT_EQ(window.CompChoicePage().TableFiles(), saved);
    EXPECT_TRUE(recorder.notices.empty());

    Request(kRequestTableLoadFailed);
    const CompTableFiles withoutName{saved.path, QString(), saved.folder};
    EXPECT_EQ(window.CompChoicePage().TableFiles(), withoutName);
    EXPECT_EQ(editor_->Files(), withoutName);
    ASSERT_EQ(recorder.notices.size(), 1u);
    EXPECT_EQ(recorder.notices[0].page, PageId::CompChoice);
    EXPECT_EQ(recorder.notices[0].message, WM_COMP_CHOICE_REOPEN);
}

TEST_F(MainWindowTest, ExitAnsweredNoLeavesTheTopMenuAsItWas) {
    CMainDlg& window = MakeWindow();
    window.show();
    dialogs_.QueueAnswer(MessageAnswer::No);

    Request(kRequestExit);
    QCoreApplication::processEvents();

    const MessageRequest question{
        QStringLiteral("This will exit the application.  \nDo you want to proceed?"),
        MessageIcon::Information, MessageButtons::YesNo, MessageAnswer::No};
    EXPECT_EQ(dialogs_.Messages(), std::vector<MessageRequest>{question});
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.VisiblePage(), PageId::Main);
    EXPECT_EQ(window.focusWidget(), window.MainPage().ReadDeleteButton());
    EXPECT_FALSE(QFile::exists(window.SettingsPath()));
}

TEST_F(MainWindowTest, ExitAnsweredYesClosesAndSavesTheSettings) {
    CMainDlg& window = MakeWindow();
    window.show();
    dialogs_.QueueAnswer(MessageAnswer::Yes);
    g_instrumentPort = 9;

    Request(kRequestExit);
    EXPECT_TRUE(window.isVisible()) << "the close request is posted, not handled at once";
    QCoreApplication::processEvents();

    EXPECT_FALSE(window.isVisible());
    const std::optional<Settings> saved = ReadSettingsFile(window.SettingsPath().toStdString());
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->instrumentPort, 9);
}

TEST_F(MainWindowTest, ClosingByTheTitleBarSavesTheSettingsWithoutAQuestion) {
    CMainDlg& window = MakeWindow();
    window.show();
    window.move(40, 30);
    window.ReadDoPage().SetAcceptedDestination(QStringLiteral("/data"), QStringLiteral("Today"));
    window.CompChoicePage().SetTableFiles(
        {QStringLiteral("/t/a.csv"), QStringLiteral("a.csv"), QStringLiteral("/t/")});
    g_instrumentPort = 163;

    EXPECT_TRUE(window.close());

    EXPECT_TRUE(dialogs_.Calls().empty());
    const std::optional<Settings> saved = ReadSettingsFile(window.SettingsPath().toStdString());
    ASSERT_TRUE(saved.has_value());
    const QRect frame = window.frameGeometry();
    EXPECT_EQ(saved->rect, (SettingsRect{frame.left(), frame.top(), frame.left() + frame.width(),
                                         frame.top() + frame.height()}));
    EXPECT_EQ(saved->instrumentPort, 163);
    EXPECT_EQ(saved->measurementFolder, "/data");
    EXPECT_EQ(saved->measurementFileName, "Today");
    EXPECT_EQ(saved->compTablePath, "/t/a.csv");
    EXPECT_EQ(saved->compTableFileName, "a.csv");
    EXPECT_EQ(saved->compTableFolder, "/t/");
}

// How a page handles Enter is tested with the page alone; here only that it works in the window.
TEST_F(MainWindowTest, EnterActsOnlyOnAFocusedPageButton) {
    CMainDlg& window = MakeWindow();
    Request(kRequestReadDeleteMenu);
    QWidget* readData = window.PageControl(PageId::DataReadErase, ids_dre::kRead);
    readData->setFocus();
    QTest::keyClick(readData, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.VisiblePage(), PageId::ReadChoice);

    // On an edit field of a page, Enter is swallowed before the field sees it.
    Request(kRequestReadUnitChosen, 0x1);
    QLineEdit* fileName = window.ReadDoPage().FileNameField();
    QSignalSpy returnPressed(fileName, &QLineEdit::returnPressed);
    QTest::keyClick(fileName, Qt::Key_Return);
    QTest::keyClick(&window, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(returnPressed.count(), 0);
    EXPECT_EQ(window.VisiblePage(), PageId::ReadDo);
    EXPECT_TRUE(dialogs_.Calls().empty());
}

TEST_F(MainWindowTest, APortChangeRebuildsTheCandidateListAndStopsAScan) {
    CMainDlg& window = MakeWindow();
    EXPECT_TRUE(g_candidatePorts.empty());
    SetPortLister([] {
        return std::vector<ListedPort>{
            {"Prolific USB-to-Serial Comm Port (ttyUSB0)", 1, "/dev/ttyUSB0", true},
            {"Other bridge (ttyUSB1)", 2, "/dev/ttyUSB1", true}};
    });
    g_portListChanged.store(0);

    window.OnPortListChanged();

    EXPECT_EQ(g_portListChanged.load(), 1);
    ASSERT_EQ(g_candidatePorts.size(), 1u);
    EXPECT_EQ(g_candidatePorts[0].portNumber, 1);
}

TEST_F(MainWindowTest, TheAboutBoxIsOnF1AndOnTheLogo) {
    CMainDlg& window = MakeWindow();
    QAction* about = nullptr;
    for (QAction* action : window.actions()) {
        if (action->shortcut() == QKeySequence(Qt::Key_F1)) {
            about = action;
        }
    }
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text(), QStringLiteral("About K720Application (&A)..."));
    EXPECT_TRUE(window.Layout().Find(1000)->actions().contains(about));
    // The logo says where the box is: no desktop menu carries it on Linux.
    EXPECT_TRUE(window.Layout().Find(1000)->toolTip().contains(QStringLiteral("F1")));

    QString title;
    QString version;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        version = box->Layout().Find<QLabel>(1136)->text();
        box->accept();
    });
    about->trigger();
    EXPECT_EQ(title, QStringLiteral("About K720Application"));
    EXPECT_EQ(version, QStringLiteral("Version 1.03"));
}

TEST_F(MainWindowTest, TheStartupCheckRunsShortlyAfterTheWindowIsBuilt) {
    MainWindowOptions options = Options();
    options.startupCheck = true;
    bool checkWindowShown = false;
    dialogs_.SetObserver([&](const DialogCall& /*call*/) {
        checkWindowShown =
            qobject_cast<CUsbCheckDlg*>(QApplication::activeModalWidget()) != nullptr;
    });
    QElapsedTimer clock;
    clock.start();
    CMainDlg& window = MakeWindow(std::move(options));
    window.show();

    // No candidate ports: the scan fails at once and the check window says so.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs_.Messages().empty(); }, 3000));
    EXPECT_GE(clock.elapsed(), 100);
    EXPECT_LT(clock.elapsed(), 2500);
    EXPECT_FALSE(checkWindowShown) << "the check window must close before its message";
    EXPECT_EQ(dialogs_.Messages()[0].text,
              QStringLiteral("Check USB cable connection, \nor power supply of K720.  "));
    EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }, 2000));
    EXPECT_EQ(window.VisiblePage(), PageId::Main);
}

#ifdef K720_APP_PROGRAM
struct ProgramRun {
    int exitCode;
    QString errorOutput;
};

ProgramRun RunProgram(const QStringList& arguments, const QProcessEnvironment& environment) {
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(K720_APP_PROGRAM), arguments);
    EXPECT_TRUE(program.waitForFinished(10000));
    return {program.exitCode(), QString::fromLocal8Bit(program.readAllStandardError())};
}

QProcessEnvironment WithoutDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    return environment;
}

// With the program's palette a disabled spin arrow is drawn greyed, as the rest of a disabled
// page, not as an arrow that still takes clicks.
TEST(DialogLook, DisabledSpinArrowsAreGreyed) {
    const QPalette before = QApplication::palette();
    ApplyDialogLook(*qApp);
    QWidget page;
    QLineEdit buddy(&page);
    CSpinButton spin(buddy, &page);
    spin.setGeometry(0, 0, 20, 30);
    page.show();
    // The darkest pixel of the button: the arrow's colour.
    const auto arrowLightness = [&spin] {
        const QImage image = spin.UpArrow()->grab().toImage();
        int darkest = 255;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                darkest = std::min(darkest, image.pixelColor(x, y).lightness());
            }
        }
        return darkest;
    };
    const int enabled = arrowLightness();
    spin.setEnabled(false);
    const int disabled = arrowLightness();
    QApplication::setPalette(before);
    EXPECT_GT(disabled, enabled + 40);
}

TEST(MainProgram, TakesHelpPortAndSimulateOnly) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QString usage = QStringLiteral("usage: k720app [--port DEVICE]... [--simulate]");
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("-platform")},
          QStringList{QStringLiteral("--simulate"), QStringLiteral("--simulate")},
          QStringList{QStringLiteral("--port")}, QStringList{QStringLiteral("simulate")}}) {
        const ProgramRun run = RunProgram(arguments, environment);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.errorOutput.contains(usage));
    }
    QProcess help;
    help.start(QStringLiteral(K720_APP_PROGRAM), {QStringLiteral("--help")});
    ASSERT_TRUE(help.waitForFinished(10000));
    EXPECT_EQ(help.exitCode(), 0);
    const QString text = QString::fromLocal8Bit(help.readAllStandardOutput());
    EXPECT_TRUE(text.contains(usage));
    EXPECT_TRUE(text.contains(QStringLiteral("--simulate")));
}

// SIGTERM ends the program as a close of its window does: exit status 0, settings written. The
// program runs from a folder of its own, where it writes its settings.
TEST(MainProgram, EndsLikeAClosedWindowOnSigterm) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath(QStringLiteral("k720app"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(K720_APP_PROGRAM), program));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess run;
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(program, {QStringLiteral("--simulate")});
    ASSERT_TRUE(run.waitForStarted(10000));
    // The window is up once the simulated instrument has been announced and the check begun.
    ASSERT_TRUE(run.waitForReadyRead(10000));
    QTest::qWait(500);
    run.terminate();
    ASSERT_TRUE(run.waitForFinished(10000));
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("K720.ini"))));
}

TEST(MainProgram, SaysSoWhenThereIsNoDisplay) {
    for (const QStringList& arguments :
         {QStringList{}, QStringList{QStringLiteral("--simulate")}}) {
        const ProgramRun run = RunProgram(arguments, WithoutDisplay());
        EXPECT_NE(run.exitCode, 0);
        EXPECT_TRUE(run.errorOutput.contains(QStringLiteral("no display")))
            << run.errorOutput.toStdString();
    }
}
#endif

} // namespace
