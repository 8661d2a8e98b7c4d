// The set clock page against the simulated instrument: filling from the PC's clock, the spin
// rules, the checks of "Set", the look while the clock is being set, and every outcome's message.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "clock/clock_setting.h"
#include "controls/color_button.h"
#include "controls/exchange_runner.h"
#include "pages/date_page.h"
#include "pages/page_requests.h"
#include "resources/layouts/date_layout.h"
#include "tests/support/app_window.h"
#include "tests/support/controls_qt_app.h"
#include "tests/support/measure_support.h"

namespace {

using instrument_clock::ClockField;
using instrument_clock::ClockSetting;
using measure_test::SentCommands;
using measure_test::SimInstrument;

constexpr ClockField kFields[] = {ClockField::Year, ClockField::Month, ClockField::Day,
                                  ClockField::Hour, ClockField::Minute};
constexpr int kSpins[] = {date_ids::kYearSpin, date_ids::kMonthSpin, date_ids::kDaySpin,
                          date_ids::kHourSpin, date_ids::kMinuteSpin};

QStringList Texts(const CPpgDate& page) {
    QStringList texts;
    for (const ClockField field : kFields) {
        texts << page.Field(field)->text();
    }
    return texts;
}

int DayRange(const CPpgDate& page) {
    return page.Spin(date_ids::kDaySpin)->High();
}

// Everything disabled with the pale faces while setting, else enabled with the full faces.
bool HasLook(const CPpgDate& page, bool setting) {
    bool look = page.BackButton()->FaceColor() ==
                    (setting ? button_colors::kPaleGreen : button_colors::kGreen) &&
                page.SetButton()->FaceColor() ==
                    (setting ? button_colors::kPaleOrange : button_colors::kOrange) &&
                page.BackButton()->isEnabled() != setting &&
                page.SetButton()->isEnabled() != setting;
    for (int i = 0; i < 5; ++i) {
        look = look && page.Field(kFields[i])->isEnabled() != setting &&
               page.Spin(kSpins[i])->isEnabled() != setting;
    }
    return look;
}

// The PC's clock as the page reads it.
struct PcClock {
    PcClock() {
        instrument_clock::SetPcClockForTests([this] { return now; });
    }
    ~PcClock() { instrument_clock::SetPcClockForTests({}); }
    ClockSetting now{2014, 3, 7, 9, 5};
};

class DatePage : public ::testing::Test {
protected:
    void TearDown() override {
        CommSetTrace(nullptr, nullptr);
        g_candidatePorts.clear();
        g_instrumentPort = NO_INSTRUMENT_PORT;
    }

    // The page as the main window shows it, once it has filled its fields from `now`.
    std::unique_ptr<CPpgDate> Shown(const ClockSetting& now) {
        clock_.now = now;
        auto page = std::make_unique<CPpgDate>();
        page->SetHost(&host_);
        page->show();
        SendMessageTo(page.get(), WM_PAGE_ACTIVATE);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !page->Field(ClockField::Day)->text().isEmpty(); }, 2000));
        return page;
    }

    PcClock clock_;
    app_test::RecordingHost host_;
    CScriptedDialogs dialogs_;
    DialogsOverride dialogsOverride_ = SetDialogsForTests(dialogs_);
};

// A refused field gets the focus; the day check also selects the day's text.
TEST_F(DatePage, ARefusedFieldIsNamedAndFocusedAndNothingIsSent) {
    const struct {
        const char* typed; // year month day hour minute
        const char* message;
        ClockField focus;
        const char* selected;
    } cases[] = {
        {"1999 11 31 10 0", "Please enter an integer between 1 and 30.  ", ClockField::Day, "31"},
        {"2038 1 1 0 0", "Please enter an integer between 2006 and 2037.  ", ClockField::Year, ""},
    };
    SentCommands sent;
    auto page = Shown({2014, 3, 7, 9, 5});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        page->BackButton()->setFocus();
        const QStringList typed = QString(c.typed).split(' ');
        for (int i = 0; i < 5; ++i) {
            page->Field(kFields[i])->setText(typed[i]);
        }
        page->SetButton()->click();

        EXPECT_EQ(dialogs_.Messages(),
                  (std::vector<MessageRequest>{{c.message, MessageIcon::Warning}}));
        dialogs_ = CScriptedDialogs();
        EXPECT_EQ(page->focusWidget(), page->Field(c.focus));
        if (*c.selected != '\0') {
            EXPECT_EQ(page->Field(c.focus)->selectedText(), c.selected);
        }
        EXPECT_TRUE(HasLook(*page, false));
    }
    EXPECT_TRUE(sent.Lines().empty());
}

TEST_F(DatePage, SpinsWrapAndKeepTheDayWithinTheMonth) {
    struct Case {
        ClockSetting now;
        std::vector<std::pair<ClockField, int>> steps; // +1 up, -1 down; +2/-2 by the arrows
        const char* after;                             // the five fields
        int dayRange;
    };
    using enum ClockField;
    const Case cases[] = {
        {{2013, 3, 31, 10, 0}, {{Month, -1}}, "2013 2 28 10 0", 28},
        {{2012, 3, 31, 10, 0}, {{Month, -2}}, "2012 2 29 10 0", 29},
        {{2013, 5, 31, 10, 0}, {{Month, -1}}, "2013 4 30 10 0", 30},
        {{2013, 11, 15, 10, 0}, {{Month, 1}, {Month, 2}}, "2013 1 15 10 0", 31},
        {{2037, 5, 10, 10, 0}, {{Year, 2}}, "2006 5 10 10 0", 31},
        {{2006, 5, 10, 10, 0}, {{Year, -1}}, "2037 5 10 10 0", 31},
        {{2012, 2, 29, 10, 0}, {{Year, 1}}, "2013 2 28 10 0", 28},
        {{2012, 2, 15, 10, 0}, {{Year, 1}}, "2013 2 15 10 0", 29}, // the range is left as it was
        {{2011, 2, 28, 10, 0}, {{Year, 1}, {Day, 1}}, "2012 2 29 10 0", 29},
        {{2013, 2, 28, 10, 0}, {{Day, 1}}, "2013 2 1 10 0", 28},
        {{2013, 3, 7, 23, 5}, {{Hour, 2}}, "2013 3 7 0 5", 31},
        {{2013, 3, 7, 9, 59}, {{Minute, 1}}, "2013 3 7 9 0", 31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.after);
        auto page = Shown(c.now);
        for (const auto& [field, step] : c.steps) {
            CSpinButton* spin = page->Spin(kSpins[static_cast<int>(field)]);
            if (step == 2 || step == -2) {
                (step > 0 ? spin->UpArrow() : spin->DownArrow())->click();
            } else {
                QTest::keyClick(page->Field(field), step > 0 ? Qt::Key_Up : Qt::Key_Down);
            }
        }
        EXPECT_EQ(Texts(*page).join(' '), c.after);
        EXPECT_EQ(DayRange(*page), c.dayRange);
    }
}

// Detaches the instrument's port once the scan has closed it: the port does not open again.
void PortGoneAfterScan(CommTraceEvent event, const std::uint8_t*, std::size_t, void* port) {
    if (event == CommTraceEvent::Closed) {
        DetachPortDevice(*static_cast<int*>(port));
    }
}

// Set, pressed with Enter: the setting look at once (the exchange runs off the window's thread)
// and while the message is shown, then the ready look with the fields as they were sent.
TEST_F(DatePage, EveryOutcomeIsReportedAndThePageIsReadyAgain) {
    struct Case {
        const char* message;
        MessageIcon icon;
        sim::Faults faults;
        bool listed = true;
        bool portGone = false;
        std::size_t commands = 3;
    };
    sim::Faults refused, cut, silent, hangUp;
    refused.wrongReplies.push_back({":TIME*", "NG\r\n"});
    cut.wrongReplies.push_back({":TIME*", "OK" + std::string(20, ' ') + "\r\n"});
    silent.silentFromCommand = 3;
    hangUp.hangUpAtCommand = 3;
    const MessageIcon error = MessageIcon::Error;
    const Case cases[] = {
        {"Clock set.  ", MessageIcon::Information, {}},
        {"Communication Error. \nIs the USB cable connected?  ", error, {}, false, false, 0},
        {"Communication Error.  \nUSB disconnected. ", error, {}, true, true, 2},
        {"Clock setting failed.  ", error, refused},
        {"Clock setting failed.  ", error, cut},
        {"Communication Error.  ", error, hangUp},
        {"Communication Error.  \nNo response. ", error, silent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        SimInstrument sim(sim::EmptyInstrument(), c.faults);
        int port = sim.Port();
        if (c.listed) {
            app_test::UseInstrumentPort(port, sim.Server().DevicePath());
        }
        CommSetTrace(c.portGone ? &PortGoneAfterScan : nullptr, &port);
        auto page = Shown({2014, 3, 7, 9, 5});
        bool settingLookAtMessage = false;
        dialogs_.SetObserver(
            [&](const DialogCall&) { settingLookAtMessage = HasLook(*page, true); });

        page->SetButton()->setFocus();
        QTest::keyClick(page->SetButton(), Qt::Key_Enter);
        EXPECT_TRUE(HasLook(*page, true));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs_.Calls().empty(); }, 5000));

        EXPECT_EQ(dialogs_.Messages(), (std::vector<MessageRequest>{{c.message, c.icon}}));
        EXPECT_TRUE(settingLookAtMessage);
        EXPECT_TRUE(HasLook(*page, false));
        EXPECT_EQ(Texts(*page).join(' '), "2014 3 7 9 5");
        const std::vector<std::string> commands = sim.SettledCommands();
        EXPECT_EQ(commands.size(), c.commands);
        if (c.commands == 3) {
            EXPECT_EQ(commands.back(), ":TIME 2014,3,7,9,5");
        }
        EXPECT_EQ(CommClose(), 0) << "the port was left open";
        EXPECT_TRUE(host_.Take().empty());
        dialogs_ = CScriptedDialogs();
        TearDown();
    }
}

class DateInWindow : public app_test::MainWindowTest {
protected:
    // Shows the page through the main window, as the clock/comparator menu does.
    CPpgDate& ShowPage() {
        Request(kRequestCompClockMenu);
        Request(kRequestSetClock);
        auto& page = static_cast<CPpgDate&>(*window_->Page(PageId::Date));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return page.Field(ClockField::Month)->text().toInt() == clock_.now.month; },
            2000));
        return page;
    }
    PcClock clock_;
};

TEST_F(DateInWindow, EveryShowingRefillsFromThePcClock) {
    CMainDlg& window = MakeWindow();
    clock_.now = {2013, 3, 31, 10, 0};
    CPpgDate& page = ShowPage();
    EXPECT_EQ(window.focusWidget(), page.BackButton());
    QTest::keyClick(page.Field(ClockField::Month), Qt::Key_Down);
    page.Field(ClockField::Hour)->setText("7");
    ASSERT_EQ(DayRange(page), 28);
    page.BackButton()->click(); // request 21: the clock/comparator menu again
    QCoreApplication::sendPostedEvents(&window, EventType(WM_PAGE_SWITCH));
    ASSERT_EQ(window.VisiblePage(), PageId::InitCompDate);

    clock_.now = {2013, 5, 31, 11, 30};
    ShowPage();
    EXPECT_EQ(Texts(page), (QStringList{"2013", "5", "31", "11", "30"}));
    EXPECT_EQ(DayRange(page), 31);
}

// The exchange in progress ends within one reply budget, and its outcome is dropped.
TEST_F(DateInWindow, ClosingTheWindowWhileTheClockIsBeingSetSaysNothing) {
    sim::Faults silent;
    silent.silentFromCommand = 3;
    SimInstrument sim(sim::EmptyInstrument(), silent);
    CMainDlg& window = MakeWindow();
    app_test::UseInstrumentPort(sim.Port(), sim.Server().DevicePath());
    window.show();
    SentCommands sent;
    ShowPage().SetButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent.Lines().size() == 3; }, 5000));

    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_TRUE(window.close());
    EXPECT_LE(elapsed.elapsed(), 2500);
    EXPECT_FALSE(InstrumentExchanges().Running());
    QTest::qWait(400);
    EXPECT_TRUE(dialogs_.Calls().empty());
    EXPECT_EQ(CommClose(), 0) << "the port was left open";
}

} // namespace
