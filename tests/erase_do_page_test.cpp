// The deletion page against the simulated instrument: its confirmation lines, its look while a
// deletion runs, every outcome's message, status line and request, and the way back to a unit
// selection that checks the memory again.
#include <algorithm>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include "controls/color_button.h"
#include "controls/exchange_runner.h"
#include "measure/deletion.h"
#include "measure/memory_check.h"
#include "measure/units.h"
#include "pages/erase_choice_page.h"
#include "pages/erase_do_page.h"
#include "pages/page_requests.h"
#include "sim/reading_encoder.h"
#include "tests/support/app_window.h"
#include "tests/support/controls_qt_app.h"
#include "tests/support/measure_support.h"
#include "translations/text_language.h"

namespace {

using app_test::MainWindowTest;
using app_test::RecordingHost;
using measure_test::SentCommands;
using measure_test::SimInstrument;
using Request = RecordingHost::Request;
using namespace std::chrono_literals;

constexpr char kProceed[] = "Do you want to proceed?";
constexpr int kOutcomeTimeoutMs = 5000;

sim::InstrumentState WithData(std::initializer_list<int> units) {
    sim::InstrumentState state = sim::EmptyInstrument();
    for (const int unit : units) {
        state.units[static_cast<std::size_t>(unit)].Store(9, EncodeReading(ReadingCodes{}));
    }
    return state;
}

sim::Faults ClearReply(const std::string& reply) {
    sim::Faults faults;
    faults.wrongReplies.push_back({":MEM:CLEAR*", reply});
    return faults;
}

// Both buttons pale and disabled while `busy`, else in their ready colours and enabled.
bool ButtonsLook(const CPpgEraseDo& page, bool busy) {
    using namespace button_colors;
    return page.CancelButton()->isEnabled() != busy && page.OkButton()->isEnabled() != busy &&
           page.CancelButton()->FaceColor() == (busy ? kPaleGreen : kGreen) &&
           page.OkButton()->FaceColor() == (busy ? kPaleRed : kRed);
}

class EraseDoPage : public ::testing::Test {
protected:
    void TearDown() override {
        g_instrumentPort = NO_INSTRUMENT_PORT;
        g_selectedUnitForDeletion = 0;
        g_unitDataMask = 0;
    }

    // A page shown and confirmed for `unitCode`, deleting on the instrument at `port`.
    std::unique_ptr<CPpgEraseDo> Confirmed(int unitCode, int port) {
        g_selectedUnitForDeletion = unitCode;
        g_instrumentPort = port;
        auto page = std::make_unique<CPpgEraseDo>();
        page->SetHost(&host_);
        page->show();
        page->StatusLine()->setText(QStringLiteral("Ready?"));
        SendMessageTo(page.get(), WM_PAGE_ACTIVATE);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return page->StatusLine()->text() == QLatin1String(kProceed); }, 1000));
        return page;
    }

    RecordingHost host_;
    CScriptedDialogs dialogs_;
    DialogsOverride dialogsOverride_ = SetDialogsForTests(dialogs_);
};

TEST_F(EraseDoPage, ConfirmationNamesTheUnitAsTheDisplayShowsIt) {
    auto page = Confirmed(0x1, NO_INSTRUMENT_PORT);
    struct Case {
        int code;
        const char* line;
    };
    const Case cases[] = {
        {0x2, "This will delete unit [ b ]."},   {0x8, "This will delete unit [ d ]."},
        {0x400, "This will delete unit [ n ]."}, {4096, "This will delete ALL UNITs."},
        {0x3, "This will delete ALL UNITs."}, // names no unit: the line stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        g_selectedUnitForDeletion = c.code;
        page->StatusLine()->setText(QStringLiteral("Ready?"));
        SendMessageTo(page.get(), WM_PAGE_ACTIVATE);
        EXPECT_EQ(page->StatusLine()->text(), QStringLiteral("Ready?")) << "10 ms later";
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return page->StatusLine()->text() == QLatin1String(kProceed); }, 1000));
        EXPECT_EQ(page->UnitLine()->text(), QString::fromLatin1(c.line));
    }
    EXPECT_TRUE(dialogs_.Calls().empty());
    EXPECT_TRUE(host_.Take().empty());
}

// In Japanese the page shows the cores' translated lines as UTF-8, not as Latin-1 bytes.
TEST_F(EraseDoPage, ConfirmationInJapanese) {
    auto page = Confirmed(0x1, NO_INSTRUMENT_PORT);
    g_selectedUnitForDeletion = 0x2;
    UseTextLanguage(Language::Japanese);
    SendMessageTo(page.get(), WM_PAGE_ACTIVATE);
    const bool asked = QTest::qWaitFor(
        [&] { return page->StatusLine()->text() == QStringLiteral("実行しますか？"); }, 1000);
    const QString unitLine = page->UnitLine()->text();
    UseTextLanguage(Language::English);
    EXPECT_TRUE(asked) << page->StatusLine()->text().toStdString();
    EXPECT_EQ(unitLine, QStringLiteral("ユニット [ b ] を削除します。"));
}

// Every outcome: the box (shown while the buttons are still pale and disabled, before any
// request), then the status line, the ready buttons and the request.
TEST_F(EraseDoPage, EachOutcomeShowsItsMessageThenPostsItsRequest) {
    struct Case {
        const char* name;
        sim::Faults faults;
        bool instrumentGone;
        int unitCode;
        const char* message; // nullptr: no box
        MessageIcon icon;
        const char* statusAfter; // nullptr: still a "Deleting" text
        int request;             // -1: the page stays
    };
    sim::Faults hangUp;
    hangUp.hangUpAtCommand = 1;
    sim::Faults silent;
    silent.silentFromCommand = 1;
    const MessageIcon warning = MessageIcon::Warning;
    const MessageIcon error = MessageIcon::Error;
    const char* invalid = "Communication Error.  \nInvalid response. ";
    const char* noResponse = "Communication Error.  \nNo response. ";
    const char* disconnected = "Communication Error.  \nUSB disconnected. ";
    const Case cases[] = {
        {"deleted", {}, false, 0x4, nullptr, {}, nullptr, kRequestErased},
        {"invalid response", ClearReply("ok\r\n"), false, 0x4, invalid, warning, "Ready?", -1},
        {"no response", silent, false, 0x4, noResponse, warning, kProceed, -1},
        {"port not opened", {}, true, 0x4, disconnected, error, kProceed, -1},
        {"communication failure", hangUp, false, 0x4, "Communication Error.  ", error, nullptr,
         kRequestEraseFailed},
        {"all units, none holds data", {}, false, 4096, nullptr, {}, nullptr, kRequestErased},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimInstrument sim(WithData({2}), c.faults);
        if (c.instrumentGone) {
            sim.Server().Stop();
        }
        auto page = Confirmed(c.unitCode, sim.Port());
        bool busyAtMessage = false;
        std::size_t requestsAtMessage = 0;
        dialogs_.SetObserver([&](const DialogCall&) {
            busyAtMessage = ButtonsLook(*page, true);
            requestsAtMessage = host_.Take().size(); // delivers what was posted
        });

        page->OkButton()->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !page->Deleting(); }, kOutcomeTimeoutMs));

        if (c.message != nullptr) {
            const MessageRequest box{QString::fromLatin1(c.message), c.icon};
            EXPECT_EQ(dialogs_.Messages(), std::vector<MessageRequest>{box});
            EXPECT_TRUE(busyAtMessage);
            EXPECT_EQ(requestsAtMessage, 0u) << "a request before the box was closed";
        } else {
            EXPECT_TRUE(dialogs_.Calls().empty());
        }
        const QString status = page->StatusLine()->text();
        EXPECT_TRUE(c.statusAfter != nullptr ? status == QLatin1String(c.statusAfter)
                                             : status.startsWith(QStringLiteral("Deleting .")))
            << status.toStdString();
        EXPECT_TRUE(ButtonsLook(*page, false));
        const std::vector<Request> none;
        EXPECT_EQ(host_.Take(), (c.request < 0 ? none : std::vector<Request>{{c.request, 0}}));
        EXPECT_EQ(CommClose(), 0) << "the port was left open";
        dialogs_ = CScriptedDialogs();
    }
}

// Against a slow instrument: Enter on OK starts the deletion, the buttons are pale and
// disabled, and the status line adds a dot every other tick, from the start at each deletion.
TEST_F(EraseDoPage, WhileDeletingTheButtonsArePaleAndTheStatusLineCountsDots) {
    sim::ServerOptions slow;
    slow.latency = 900ms;
    SimInstrument sim(WithData({11}), {}, slow);
    auto page = Confirmed(0x800, sim.Port());
    // "Deleting ..." as it starts, then "Deleting ." to "Deleting .........." (ten dots).
    std::vector<QString> animation = {QStringLiteral("Deleting ...")};
    for (int dots = 1; dots <= 10; ++dots) {
        animation.push_back(QStringLiteral("Deleting ") + QString(dots, QLatin1Char('.')));
    }
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "first deletion" : "second deletion");
        page->OkButton()->setFocus();
        QTest::keyClick(page->OkButton(), Qt::Key_Enter);
        ASSERT_TRUE(page->Deleting());
        std::vector<QString> seen = {page->StatusLine()->text()};
        bool alwaysBusy = true;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                if (page->StatusLine()->text() != seen.back()) {
                    seen.push_back(page->StatusLine()->text());
                }
                alwaysBusy = alwaysBusy && (ButtonsLook(*page, true) || !page->Deleting());
                return !page->Deleting();
            },
            kOutcomeTimeoutMs));

        ASSERT_GE(seen.size(), 4u);
        ASSERT_LE(seen.size(), animation.size());
        EXPECT_TRUE(std::equal(seen.begin(), seen.end(), animation.begin()));
        EXPECT_TRUE(alwaysBusy);
        EXPECT_TRUE(ButtonsLook(*page, false));
        EXPECT_EQ(host_.Take(), (std::vector<Request>{{kRequestErased, 0}}));
        QTest::qWait(250);
        EXPECT_EQ(page->StatusLine()->text(), seen.back()) << "the animation went on";
    }
    EXPECT_TRUE(dialogs_.Calls().empty());
}

// Through the main window, from the unit selection and back to it.
class EraseDoInWindow : public MainWindowTest {
protected:
    void TearDown() override {
        MainWindowTest::TearDown();
        g_unitDataMask = 0;
    }

    // The deletion page for unit C, reached as the user reaches it.
    CPpgEraseDo& OnEraseDo(SimInstrument& sim) {
        CMainDlg& window = MakeWindow();
        app_test::UseInstrumentPort(sim.Port(), sim.Server().DevicePath());
        window.show();
        Request(kRequestReadDeleteMenu);
        Request(kRequestEraseChoice);
        CPpgEraseChoice& choice = window.EraseChoicePage();
        EXPECT_TRUE(QTest::qWaitFor([&] { return choice.UnitButton(2)->isEnabled(); }, 5000));
        choice.UnitButton(2)->click();
        auto& page = *static_cast<CPpgEraseDo*>(window.Page(PageId::EraseDo));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return page.isVisible() &&
                       page.UnitLine()->text() == QStringLiteral("This will delete unit [ C ].");
            },
            1000));
        return page;
    }

    static int CheckCount(const std::vector<std::string>& lines) {
        return static_cast<int>(std::count(lines.begin(), lines.end(), ":MEM:CHECK?"));
    }
};

TEST_F(EraseDoInWindow, DeletedUnitLeadsBackToAUnitSelectionThatCheckedAgain) {
    SimInstrument sim(WithData({2, 11}));
    SentCommands sent;
    CPpgEraseDo& page = OnEraseDo(sim);
    CPpgEraseChoice& choice = window_->EraseChoicePage();

    page.OkButton()->click();
    // Not for a moment the units of before: C is gone.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->VisiblePage() == PageId::EraseChoice; },
                                kOutcomeTimeoutMs));
    EXPECT_FALSE(choice.UnitButton(2)->isEnabled()) << "C offered before the check";
    ASSERT_TRUE(QTest::qWaitFor([&] { return CheckCount(sent.Lines()) == 2; }, kOutcomeTimeoutMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return choice.CancelButton()->isEnabled(); }, 5000));

    EXPECT_FALSE(choice.UnitButton(2)->isEnabled()) << "C still offered after its deletion";
    EXPECT_TRUE(choice.UnitButton(11)->isEnabled());
    EXPECT_EQ(g_unitDataMask, 0x800);
    const std::vector<std::string> lines = sent.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), ":MEM:CLEAR C"), 1);
    EXPECT_TRUE(dialogs_.Calls().empty());
}

TEST_F(EraseDoInWindow, ClosingTheWindowMidDeletionEndsItQuietly) {
    SimInstrument sim(WithData({2}), ClearReply("")); // the clear is never answered
    SentCommands sent;
    CPpgEraseDo& page = OnEraseDo(sim);
    page.OkButton()->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !sent.Lines().empty() && sent.Lines().back() == ":MEM:CLEAR C"; }, 5000));

    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(window_->close());
    EXPECT_LE(clock.elapsed(), 2500);
    EXPECT_FALSE(InstrumentExchanges().Running());
    QTest::qWait(300);

    EXPECT_TRUE(dialogs_.Calls().empty());
    EXPECT_EQ(sent.Lines().back(), ":MEM:CLEAR C");
    EXPECT_EQ(CommClose(), 0) << "the port was left open";
}

} // namespace
