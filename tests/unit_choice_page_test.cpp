// The two unit selection pages against the simulated instrument: the memory check after each
// activation, its looks and messages, and the requests of their buttons.
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include "controls/color_button.h"
#include "controls/exchange_runner.h"
#include "measure/memory_check.h"
#include "measure/units.h"
#include "pages/erase_choice_page.h"
#include "pages/page_requests.h"
#include "pages/read_choice_page.h"
#include "tests/support/app_window.h"
#include "tests/support/controls_qt_app.h"
#include "tests/support/measure_support.h"

namespace {

using app_test::MainWindowTest;
using app_test::RecordingHost;
using measure_test::SentCommands;
using measure_test::SimInstrument;
using Request = RecordingHost::Request;

constexpr char kCheckingText[] = "Checking data .......";

// What tells the twins apart, as the user sees it.
struct Twin {
    const char* name;
    std::function<std::unique_ptr<CUnitChoicePage>()> make;
    QColor active;
    QColor pale;
    const char* readyText;
    int backRequest;
    int unitRequest;
};

const Twin kTwins[] = {
    {"read", [] { return std::make_unique<CPpgReadChoice>(); }, button_colors::kBlue,
     button_colors::kPaleBlue, "Select UNIT to read.", 11, 12},
    {"erase", [] { return std::make_unique<CPpgEraseChoice>(); }, button_colors::kRed,
     button_colors::kPaleRed, "Select UNIT to delete.", 6, 7},
};

// An instrument that answers the memory check with `reply` (raw, CR LF added).
sim::Faults CheckReply(const std::string& reply) {
    sim::Faults faults;
    faults.wrongReplies.push_back({":MEM:CHECK?", reply + "\r\n"});
    return faults;
}

int CheckCount(const std::vector<std::string>& lines) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), ":MEM:CHECK?"));
}

class UnitChoicePage : public ::testing::Test {
protected:
    void SetUp() override { g_unitDataMask = 0; }
    void TearDown() override {
        g_candidatePorts.clear();
        g_instrumentPort = NO_INSTRUMENT_PORT;
        g_unitDataMask = 0;
    }

    std::unique_ptr<CUnitChoicePage> Make(const Twin& twin) {
        auto page = twin.make();
        page->SetHost(&host_);
        page->show();
        return page;
    }

    // Activates the page as the main window does and waits until its check has had an outcome:
    // the ready look, or a request back.
    std::vector<Request> ActivateAndWait(CUnitChoicePage& page) {
        SendMessageTo(&page, WM_PAGE_ACTIVATE);
        std::vector<Request> requests;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                std::vector<Request> more = host_.Take();
                requests.insert(requests.end(), more.begin(), more.end());
                return page.CancelButton()->isEnabled() || !requests.empty();
            },
            5000));
        return requests;
    }

    static void Attach(SimInstrument& sim) {
        app_test::UseInstrumentPort(sim.Port(), sim.Server().DevicePath());
    }

    RecordingHost host_;
    CScriptedDialogs dialogs_;
    DialogsOverride dialogsOverride_ = SetDialogsForTests(dialogs_);
};

TEST_F(UnitChoicePage, TheReplyDecidesWhichUnitsCanBeChosen) {
    struct Case {
        const char* reply;
        int mask;
    };
    const Case cases[] = {
        {"000000000000", 0},
        {"111111111111", 0xFFF},
        {"100100000001", 0x809},
        {"1a1 11x0?1B1", 0x1 | 0x4 | 0x10 | 0x20 | 0x200 | 0x800},
        {"0000", 0},
        {"101", 0x5},
        {"0000000000011111111", 0x800}, // flags beyond the twelfth are cut off
    };
    for (const Twin& twin : kTwins) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(twin.name) + " reply \"" + c.reply + "\"");
            SimInstrument sim(sim::EmptyInstrument(), CheckReply(c.reply));
            Attach(sim);
            g_unitDataMask = 0x0F0; // replaced by the check
            auto page = Make(twin);

            EXPECT_TRUE(ActivateAndWait(*page).empty());

            EXPECT_EQ(g_unitDataMask, c.mask);
            for (int i = 0; i < CUnitChoicePage::kUnitButtons; ++i) {
                const bool data = ((c.mask >> i) & 1) != 0;
                EXPECT_EQ(page->UnitButton(i)->isEnabled(), data) << "unit " << i;
                EXPECT_EQ(page->UnitButton(i)->FaceColor(), data ? twin.active : twin.pale)
                    << "unit " << i;
                EXPECT_EQ(page->UnitButton(i)->TextColor(), button_colors::kCaptionWhite);
            }
            EXPECT_EQ(page->AllUnitsButton()->isEnabled(), c.mask != 0);
            EXPECT_EQ(page->AllUnitsButton()->FaceColor(), c.mask != 0 ? twin.active : twin.pale);
            EXPECT_EQ(page->StatusLine()->text(),
                      QString::fromLatin1(c.mask != 0 ? twin.readyText : "No Data."));
            EXPECT_TRUE(page->CancelButton()->isEnabled());
            EXPECT_EQ(page->CancelButton()->FaceColor(), button_colors::kGreen);
            EXPECT_EQ(page->focusWidget(), page->CancelButton());
            EXPECT_TRUE(dialogs_.Calls().empty());
            dialogs_ = CScriptedDialogs();
        }
    }
}

// A check that fails after an earlier one had succeeded (the deletion page checks again after a
// deletion): the buttons keep their look until a check ends with a reply.
TEST_F(UnitChoicePage, AFailedCheckShowsWhyGoesBackAndKeepsTheMask) {
    struct Case {
        const char* name;
        bool instrumentListed;
        sim::Faults faults;
        MessageRequest message;
        bool statusBackToChecking;
    };
    sim::Faults silentAtCheck;
    silentAtCheck.silentFromCommand = 3; // the two identity probes are answered
    sim::Faults hangUpAtCheck;
    hangUpAtCheck.hangUpAtCommand = 3;
    const MessageRequest noCable{
        QStringLiteral("Communication Error. \nIs the USB cable connected?  "), MessageIcon::Error};
    const MessageRequest noResponse{QStringLiteral("Communication Error.  \nNo response. "),
                                    MessageIcon::Warning};
    const Case cases[] = {
        {"no instrument", false, {}, noCable, false},
        {"no reply", true, silentAtCheck, noResponse, true},
        {"reply cannot be read", true, hangUpAtCheck, noResponse, true},
    };
    for (const Twin& twin : kTwins) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(twin.name) + ": " + c.name);
            SimInstrument sim(sim::EmptyInstrument(), c.faults);
            if (c.instrumentListed) {
                Attach(sim);
            }
            g_unitDataMask = 0x3A5;
            auto page = Make(twin);
            page->ShowCheckedUnits(0x5);

            SendMessageTo(page.get(), WM_PAGE_ACTIVATE);
            std::vector<Request> requests;
            ASSERT_TRUE(QTest::qWaitFor([&] { return !(requests = host_.Take()).empty(); }, 5000));

            EXPECT_EQ(requests, (std::vector<Request>{{twin.backRequest, 0}}));
            EXPECT_EQ(dialogs_.Messages(), std::vector<MessageRequest>{c.message});
            EXPECT_EQ(g_unitDataMask, 0x3A5);
            EXPECT_EQ(page->StatusLine()->text(),
                      QString::fromLatin1(c.statusBackToChecking ? kCheckingText : twin.readyText));
            EXPECT_TRUE(page->UnitButton(2)->isEnabled());
            EXPECT_FALSE(page->UnitButton(1)->isEnabled());
            dialogs_ = CScriptedDialogs();
            g_candidatePorts.clear();
        }
    }
}

// Enter on a focused page button is a click (tested with the page alone); it is used here on
// Cancel only.
TEST_F(UnitChoicePage, EveryButtonPostsItsRequest) {
    for (const Twin& twin : kTwins) {
        SCOPED_TRACE(twin.name);
        SimInstrument sim(sim::EmptyInstrument(), CheckReply("111111111111"));
        Attach(sim);
        auto page = Make(twin);
        ASSERT_TRUE(ActivateAndWait(*page).empty());

        for (int i = 0; i <= CUnitChoicePage::kUnitButtons; ++i) {
            CColorButton* button =
                i < CUnitChoicePage::kUnitButtons ? page->UnitButton(i) : page->AllUnitsButton();
            const Request expected{twin.unitRequest, i < CUnitChoicePage::kUnitButtons
                                                         ? 1 << i
                                                         : measure::kAllUnitsCode};
            button->click();
            EXPECT_EQ(host_.Take(), std::vector<Request>{expected}) << "click on " << i;
            // The page itself changes nothing.
            EXPECT_TRUE(button->isEnabled());
        }

        // Enter on Cancel: the checking look, then the request back.
        page->CancelButton()->setFocus();
        QTest::keyClick(page->CancelButton(), Qt::Key_Enter);
        EXPECT_EQ(host_.Take(), (std::vector<Request>{{twin.backRequest, 0}}));
        EXPECT_FALSE(page->CancelButton()->isEnabled());
        EXPECT_EQ(page->CancelButton()->FaceColor(), button_colors::kPaleGreen);
        for (int i = 0; i < CUnitChoicePage::kUnitButtons; ++i) {
            EXPECT_FALSE(page->UnitButton(i)->isEnabled());
            EXPECT_EQ(page->UnitButton(i)->FaceColor(), twin.pale);
        }
        EXPECT_FALSE(page->AllUnitsButton()->isEnabled());
        EXPECT_EQ(page->StatusLine()->text(), QString::fromLatin1(kCheckingText));
        EXPECT_TRUE(dialogs_.Calls().empty());
    }
}

TEST_F(UnitChoicePage, ChecksOnceShortlyAfterTheLastActivation) {
    SimInstrument sim(sim::EmptyInstrument(), CheckReply("010000000000"));
    Attach(sim);
    SentCommands sent;
    auto page = Make(kTwins[0]);

    SendMessageTo(page.get(), WM_PAGE_ACTIVATE);
    SendMessageTo(page.get(), WM_PAGE_ACTIVATE);
    EXPECT_EQ(CheckCount(sent.Lines()), 0) << "the check waits for its timer";
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->CancelButton()->isEnabled(); }, 5000));
    QTest::qWait(300);

    EXPECT_EQ(CheckCount(sent.Lines()), 1);
    EXPECT_EQ(g_unitDataMask, 0x2);
}

// Through the main window: which requests bring the page back with or without a new check.
class UnitChoiceInWindow : public MainWindowTest {};

TEST_F(UnitChoiceInWindow, ComingBackWithoutANoticeKeepsTheLookAndAsksNothing) {
    struct Case {
        const char* name;
        int open;   // from the read/delete menu
        int choose; // a unit
        int back;   // from the next page
        bool checksAgain;
    };
    const Case cases[] = {
        {"read, back by Cancel", kRequestReadChoice, kRequestReadUnitChosen, kRequestBackFromReadDo,
         false},
        {"read, back after a reception", kRequestReadChoice, kRequestReadUnitChosen,
         kRequestReceptionEnded, false},
        {"erase, back by Cancel", kRequestEraseChoice, kRequestEraseUnitChosen,
         kRequestBackFromEraseDo, false},
        {"erase, back after a deletion", kRequestEraseChoice, kRequestEraseUnitChosen,
         kRequestErased, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimInstrument sim(sim::EmptyInstrument(), CheckReply("001000000000"));
        CMainDlg& window = MakeWindow();
        app_test::UseInstrumentPort(sim.Port(), sim.Server().DevicePath());
        SentCommands sent;
        CUnitChoicePage& page = c.open == kRequestReadChoice
                                    ? static_cast<CUnitChoicePage&>(window.ReadChoicePage())
                                    : window.EraseChoicePage();
        Request(kRequestReadDeleteMenu);
        Request(c.open);
        ASSERT_TRUE(QTest::qWaitFor([&] { return page.CancelButton()->isEnabled(); }, 5000));
        Request(c.choose, 0x4);

        Request(c.back);
        QTest::qWait(400);

        EXPECT_FALSE(page.isHidden());
        EXPECT_EQ(CheckCount(sent.Lines()), c.checksAgain ? 2 : 1);
        EXPECT_TRUE(page.CancelButton()->isEnabled());
        EXPECT_TRUE(page.UnitButton(2)->isEnabled());
        EXPECT_FALSE(page.UnitButton(0)->isEnabled());
        EXPECT_EQ(window.focusWidget(), page.CancelButton());
        EXPECT_TRUE(dialogs_.Calls().empty());
        window_.reset();
    }
}

// Closing the window before the check drops it; closing it mid-check (the check runs off the
// window's thread) waits for the reply in progress, one budget at most. Either way nothing more is
// sent, no port stays open and nothing is said.
TEST_F(UnitChoiceInWindow, ClosingTheWindowBeforeOrDuringTheCheckEndsItQuietly) {
    sim::Faults silentAtCheck;
    silentAtCheck.silentFromCommand = 3; // the two identity probes are answered
    for (const bool midCheck : {false, true}) {
        SCOPED_TRACE(midCheck ? "mid-check" : "before the check");
        SimInstrument sim(sim::EmptyInstrument(), silentAtCheck);
        CMainDlg& window = MakeWindow();
        app_test::UseInstrumentPort(sim.Port(), sim.Server().DevicePath());
        window.show();
        SentCommands sent;
        Request(kRequestReadDeleteMenu);
        Request(kRequestReadChoice);
        if (midCheck) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return CheckCount(sent.Lines()) == 1; }, 5000));
        }

        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(window.close());
        EXPECT_LE(clock.elapsed(), 2500);
        EXPECT_FALSE(InstrumentExchanges().Running());
        QTest::qWait(400);

        EXPECT_EQ(CheckCount(sent.Lines()), midCheck ? 1 : 0);
        EXPECT_EQ(sent.Lines().size(), midCheck ? 3u : 0u);
        EXPECT_TRUE(dialogs_.Calls().empty());
        EXPECT_EQ(CommClose(), 0) << "the port was left open";
        window_.reset();
    }
}

} // namespace
