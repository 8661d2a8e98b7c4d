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
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "about_dialog.h"
#include "bitmap_button.h"
#include "color_button.h"
#include "comp_choice_page.h"
#include "erase_choice_page.h"
#include "layouts/comp_layouts.h"
#include "layouts/date_layout.h"
#include "layouts/erase_do_layout.h"
#include "layouts/menu_layouts.h"
#include "layouts/read_do_layout.h"
#include "layouts/read_receive_layout.h"
#include "layouts/unit_choice_layouts.h"
#include "menu_pages.h"
#include "page_requests.h"
#include "read_choice_page.h"
#include "read_do_page.h"
#include "read_receive_page.h"
#include "settings_file.h"
#include "support/app_window.h"
#include "support/controls_qt_app.h"
#include "units.h"
#include "usb_check_dialog.h"

namespace {

using app_test::MainWindowTest;

constexpr WindowMessage kNotices[] = {WM_PAGE_ACTIVATE, WM_COMP_SEND_START, WM_COMP_RECEIVE_START,
                                      WM_COMP_CHOICE_REOPEN};

// Records every page-activation notice a page of the main window receives.
class NoticeRecorder : public QObject {
public:
    struct Notice {
        PageId page;
        WindowMessage message;
        bool pageVisible; // whether the page was already shown when the notice came
    };

    explicit NoticeRecorder(const CMainDlg& window) : window_(window) {
        for (int i = 0; i < kPageCount; ++i) {
            window.Page(static_cast<PageId>(i))->installEventFilter(this);
        }
    }
    std::vector<Notice> notices;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        for (const WindowMessage message : kNotices) {
            if (event->type() == EventType(message)) {
                for (int i = 0; i < kPageCount; ++i) {
                    const auto id = static_cast<PageId>(i);
                    if (window_.Page(id) == watched) {
                        notices.push_back({id, message, !window_.Page(id)->isHidden()});
                    }
                }
            }
        }
        return false;
    }

private:
    const CMainDlg& window_;
};

struct Step {
    int code;
    int argument = 0;
};

struct SwitchCase {
    const char* name;
    std::vector<Step> path; // from the top menu to the page that posts the request
    Step request;
    PageId shown;
    std::optional<WindowMessage> notice; // sent to the shown page
    int focus;                           // control of the shown page; 0: not checked
    std::optional<CompEditorMode> editorRun;
};

std::ostream& operator<<(std::ostream& out, const SwitchCase& testCase) {
    return out << testCase.name;
}

const Step kToReadDeleteMenu{kRequestReadDeleteMenu};
const Step kToCompClockMenu{kRequestCompClockMenu};
const Step kToReadChoice{kRequestReadChoice};
const Step kToEraseChoice{kRequestEraseChoice};
const Step kToCompChoice{kRequestCompChoice};

const SwitchCase kSwitchCases[] = {
    {"ReadDeleteMenu", {}, {0}, PageId::DataReadErase, {}, data_read_erase_ids::kBack, {}},
    {"CompClockMenu", {}, {1}, PageId::InitCompDate, {}, init_comp_date_ids::kBack, {}},
    {"BackFromReadDeleteMenu",
     {kToReadDeleteMenu},
     {3},
     PageId::Main,
     {},
     main_menu_ids::kReadDelete,
     {}},
    {"ReadData", {kToReadDeleteMenu}, {4}, PageId::ReadChoice, WM_PAGE_ACTIVATE, 0, {}},
    {"DeleteData", {kToReadDeleteMenu}, {5}, PageId::EraseChoice, WM_PAGE_ACTIVATE, 0, {}},
    {"BackFromEraseChoice",
     {kToReadDeleteMenu, kToEraseChoice},
     {6},
     PageId::DataReadErase,
     {},
     data_read_erase_ids::kDelete,
     {}},
    {"EraseUnitChosen",
     {kToReadDeleteMenu, kToEraseChoice},
     {7, 0x8},
     PageId::EraseDo,
     WM_PAGE_ACTIVATE,
     erase_do_ids::kCancel,
     {}},
    {"BackFromEraseDo",
     {kToReadDeleteMenu, kToEraseChoice, {7, 0x1}},
     {8},
     PageId::EraseChoice,
     {},
     kEraseChoiceIds.cancel,
     {}},
    {"Erased",
     {kToReadDeleteMenu, kToEraseChoice, {7, 0x1}},
     {9},
     PageId::EraseChoice,
     WM_PAGE_ACTIVATE,
     0,
     {}},
    {"EraseFailed",
     {kToReadDeleteMenu, kToEraseChoice, {7, 0x1}},
     {10},
     PageId::DataReadErase,
     {},
     0,
     {}},
    {"BackFromReadChoice",
     {kToReadDeleteMenu, kToReadChoice},
     {11},
     PageId::DataReadErase,
     {},
     data_read_erase_ids::kRead,
     {}},
    {"ReadUnitChosen",
     {kToReadDeleteMenu, kToReadChoice},
     {12, measure::kAllUnitsCode},
     PageId::ReadDo,
     WM_PAGE_ACTIVATE,
     read_do_ids::kCancel,
     {}},
    {"BackFromReadDo",
     {kToReadDeleteMenu, kToReadChoice, {12, 0x4}},
     {13},
     PageId::ReadChoice,
     {},
     kReadChoiceIds.cancel,
     {}},
    {"StartReception",
     {kToReadDeleteMenu, kToReadChoice, {12, 0x4}},
     {14},
     PageId::ReadReceive,
     WM_PAGE_ACTIVATE,
     read_receive_ids::kCancel,
     {}},
    {"ReceptionEnded",
     {kToReadDeleteMenu, kToReadChoice, {12, 0x4}, {14}},
     {17},
     PageId::ReadChoice,
     {},
     kReadChoiceIds.cancel,
     {}},
    {"BackFromCompClockMenu",
     {kToCompClockMenu},
     {18},
     PageId::Main,
     {},
     main_menu_ids::kCompClock,
     {}},
    {"CompTable", {kToCompClockMenu}, {19}, PageId::CompChoice, {}, comp_choice_ids::kCancel, {}},
    {"SetClock", {kToCompClockMenu}, {20}, PageId::Date, WM_PAGE_ACTIVATE, date_ids::kBack, {}},
    {"BackFromSetClock",
     {kToCompClockMenu, {20}},
     {21},
     PageId::InitCompDate,
     {},
     init_comp_date_ids::kSetClock,
     {}},
    {"BackFromCompChoice",
     {kToCompClockMenu, kToCompChoice},
     {22},
     PageId::InitCompDate,
     {},
     init_comp_date_ids::kCompTable,
     {}},
    {"NewTable",
     {kToCompClockMenu, kToCompChoice},
     {23},
     PageId::CompChoice,
     {},
     0,
     CompEditorMode::NewTable},
    {"EditTableFile",
     {kToCompClockMenu, kToCompChoice},
     {24},
     PageId::CompChoice,
     {},
     0,
     CompEditorMode::TableFile},
    {"ReceiveTable",
     {kToCompClockMenu, kToCompChoice},
     {25},
     PageId::CompTransmitDo,
     WM_COMP_RECEIVE_START,
     0,
     {}},
    {"TransmitOpenFailed",
     {kToCompClockMenu, kToCompChoice, {30}},
     {28},
     PageId::CompChoice,
     {},
     0,
     CompEditorMode::AfterTransfer},
    {"TransmitEnded",
     {kToCompClockMenu, kToCompChoice, {30}},
     {29},
     PageId::CompChoice,
     {},
     0,
     CompEditorMode::AfterTransfer},
    {"TransmitTable",
     {kToCompClockMenu, kToCompChoice},
     {30},
     PageId::CompTransmitSend,
     WM_COMP_SEND_START,
     0,
     {}},
    {"TableReceiveFailed",
     {kToCompClockMenu, kToCompChoice, {25}},
     {31},
     PageId::CompChoice,
     {},
     0,
     {}},
    {"TableReceived",
     {kToCompClockMenu, kToCompChoice, {25}},
     {32},
     PageId::CompChoice,
     {},
     0,
     CompEditorMode::FromInstrument},
    {"TableLoadFailed",
     {kToCompClockMenu, kToCompChoice},
     {33},
     PageId::CompChoice,
     WM_COMP_CHOICE_REOPEN,
     0,
     {}},
    {"TableSaved", {kToCompClockMenu, kToCompChoice}, {34}, PageId::CompChoice, {}, 0, {}},
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
    EXPECT_TRUE(dialogs_.Calls().empty());
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

// A walk through the pages by their own buttons, as the user goes: after each click the page
// shown and the focused control.
struct Click {
    PageId page;
    int button;
    PageId shown;
    int focus; // 0: not checked
};

struct Walk {
    const char* name;
    std::vector<Click> clicks;
};

TEST_F(MainWindowTest, EveryBackAndCancelButtonLeadsWhereItShould) {
    const Walk walks[] = {
        {"read, unit, Cancel, Cancel",
         {{PageId::Main, main_menu_ids::kReadDelete, PageId::DataReadErase,
           data_read_erase_ids::kBack},
          {PageId::DataReadErase, data_read_erase_ids::kRead, PageId::ReadChoice, 0},
          {PageId::ReadChoice, kReadChoiceIds.allUnits, PageId::ReadDo, read_do_ids::kCancel},
          {PageId::ReadDo, read_do_ids::kCancel, PageId::ReadChoice, kReadChoiceIds.cancel},
          {PageId::ReadChoice, kReadChoiceIds.cancel, PageId::DataReadErase,
           data_read_erase_ids::kRead},
          {PageId::DataReadErase, data_read_erase_ids::kBack, PageId::Main,
           main_menu_ids::kReadDelete}}},
        {"delete, unit, Cancel, Cancel",
         {{PageId::Main, main_menu_ids::kReadDelete, PageId::DataReadErase,
           data_read_erase_ids::kBack},
          {PageId::DataReadErase, data_read_erase_ids::kDelete, PageId::EraseChoice, 0},
          {PageId::EraseChoice, kEraseChoiceIds.units[1], PageId::EraseDo, erase_do_ids::kCancel},
          {PageId::EraseDo, erase_do_ids::kCancel, PageId::EraseChoice, kEraseChoiceIds.cancel},
          {PageId::EraseChoice, kEraseChoiceIds.cancel, PageId::DataReadErase,
           data_read_erase_ids::kDelete}}},
        {"clock and comparator tables",
         {{PageId::Main, main_menu_ids::kCompClock, PageId::InitCompDate,
           init_comp_date_ids::kBack},
          {PageId::InitCompDate, init_comp_date_ids::kSetClock, PageId::Date, date_ids::kBack},
          {PageId::Date, date_ids::kBack, PageId::InitCompDate, init_comp_date_ids::kSetClock},
          {PageId::InitCompDate, init_comp_date_ids::kCompTable, PageId::CompChoice,
           comp_choice_ids::kCancel},
          {PageId::CompChoice, comp_choice_ids::kCancel, PageId::InitCompDate,
           init_comp_date_ids::kCompTable},
          {PageId::InitCompDate, init_comp_date_ids::kBack, PageId::Main,
           main_menu_ids::kCompClock}}},
    };
    for (const Walk& walk : walks) {
        SCOPED_TRACE(walk.name);
        CMainDlg& window = MakeWindow();
        // The unit selection pages as after a memory check that found data.
        window.ReadChoicePage().CancelButton()->setEnabled(true);
        window.EraseChoicePage().CancelButton()->setEnabled(true);
        for (const Click& click : walk.clicks) {
            auto* button =
                qobject_cast<QAbstractButton*>(window.PageControl(click.page, click.button));
            ASSERT_NE(button, nullptr) << click.button;
            button->setEnabled(true); // a unit button, enabled by that check
            button->click();
            QCoreApplication::sendPostedEvents(&window, EventType(WM_PAGE_SWITCH));
            EXPECT_EQ(window.VisiblePage(), click.shown) << "after " << click.button;
            if (click.focus != 0) {
                EXPECT_EQ(window.focusWidget(), window.PageControl(click.shown, click.focus))
                    << "after " << click.button;
            }
        }
    }
    EXPECT_EQ(g_selectedUnitForReading, measure::kAllUnitsCode);
    EXPECT_EQ(g_selectedUnitForDeletion, 0x2);
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

    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    const MessageRequest question = dialogs_.Messages()[0];
    EXPECT_EQ(question.text,
              QStringLiteral("This will exit the application.  \nDo you want to proceed?"));
    EXPECT_EQ(question.icon, MessageIcon::Information);
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.defaultAnswer, MessageAnswer::No);
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

TEST_F(MainWindowTest, EnterActsOnlyOnAFocusedPageButton) {
    CMainDlg& window = MakeWindow();
    Request(kRequestReadDeleteMenu);
    QWidget* readData = window.PageControl(PageId::DataReadErase, data_read_erase_ids::kRead);
    readData->setFocus();

    QTest::keyClick(readData, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.VisiblePage(), PageId::ReadChoice);

    // On an edit field of a page, Enter is swallowed before the field sees it.
    Request(kRequestReadUnitChosen, 0x1);
    QLineEdit* fileName = window.ReadDoPage().FileNameField();
    QSignalSpy returnPressed(fileName, &QLineEdit::returnPressed);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(fileName, key);
        QTest::keyClick(&window.ReadDoPage(), key);
        QTest::keyClick(&window, key);
    }
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
    EXPECT_TRUE(checkWindowShown);
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

TEST(MainProgram, RefusesEveryOptionButSimulate) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("--help")}, QStringList{QStringLiteral("-platform")},
          QStringList{QStringLiteral("--simulate"), QStringLiteral("--simulate")},
          QStringList{QStringLiteral("simulate")}}) {
        const ProgramRun run = RunProgram(arguments, environment);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.errorOutput.contains(QStringLiteral("usage: k720app [--simulate]")));
    }
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
