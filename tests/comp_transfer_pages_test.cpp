// The comparator table transfer pages in the main window against the simulated instrument: the
// reception from request 25 to request 31 or 32, the transmission from request 30 to request 28 or
// 29, the scan failing on each page, and the window closing while a transfer runs.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <gtest/gtest.h>

#include "comp/table_file.h"
#include "comp/table_reception.h"
#include "comp/table_transmission.h"
#include "link/comm.h"
#include "pages/comp_transmit_do_page.h"
#include "pages/comp_transmit_send_page.h"
#include "pages/page_requests.h"
#include "tests/support/app_window.h"
#include "tests/support/controls_qt_app.h"
#include "tests/support/measure_support.h"

namespace {

using app_test::MainWindowTest;
using measure_test::SimInstrument;
using Modes = std::vector<CompEditorMode>;

constexpr int kEndTimeoutMs = 20000;

std::string DefaultTableText() {
    std::string text;
    EXPECT_TRUE(comp::BuildTableText(comp::CompTable{}, text).Ok());
    return text;
}

int TableRecords(SimInstrument& instrument) {
    int count = 0;
    for (const sim::ProtocolEvent& event : instrument.Server().Events()) {
        count += event.kind == sim::ProtocolEvent::Kind::TableRecord ? 1 : 0;
    }
    return count;
}

class CompTransferPages : public MainWindowTest {
protected:
    // The page that request 25 or 30 shows.
    CCompTransferPage& PageOf(int request) const {
        return *static_cast<CCompTransferPage*>(window_->Page(
            request == kRequestReceiveTable ? PageId::CompTransmitDo : PageId::CompTransmitSend));
    }

    // A new window on the comparator table menu, the instrument (if any) found by the last scan.
    CMainDlg& WindowOnCompChoice(SimInstrument* instrument) {
        dialogs_ = CScriptedDialogs();
        g_candidatePorts.clear();
        g_instrumentPort = NO_INSTRUMENT_PORT;
        CMainDlg& window = MakeWindow();
        if (instrument != nullptr) {
            app_test::UseInstrumentPort(instrument->Port(), instrument->Server().DevicePath());
        }
        Request(kRequestCompClockMenu);
        Request(kRequestCompChoice);
        return window;
    }

    bool WaitUntilBackOnCompChoice() {
        return QTest::qWaitFor([this] { return window_->VisiblePage() == PageId::CompChoice; },
                               kEndTimeoutMs);
    }

    Modes EditorModes() const {
        Modes modes;
        for (const auto& run : editor_->Runs()) {
            modes.push_back(run.mode);
        }
        return modes;
    }
};

// Every end of a started transfer: the message 100 ms later with the counter and the bar as they
// were, then the page at rest, the port closed, and the request that runs the editor or not.
TEST_F(CompTransferPages, AnEndedTransferShowsItsMessageThenGoesBack) {
    struct Case {
        const char* name;
        int request;
        sim::Faults faults;
        MessageRequest message;
        const char* counter;
        Modes editorRuns;
        // What the instrument and g_compTableText hold afterwards.
        std::function<void(SimInstrument&)> check;
    };
    const auto info = MessageIcon::Information;
    const auto error = MessageIcon::Error;
    sim::Faults silentAfter57;
    silentAfter57.tableEntriesBeforeSilence = 57;
    sim::Faults refusing58;
    refusing58.badAckEntry = 58;
    const std::vector<Case> cases = {
        {"received",
         kRequestReceiveTable,
         {},
         {"Data received.  ", info},
         "200 / 200",
         Modes{CompEditorMode::FromInstrument},
         [](SimInstrument&) {
             const comp::ParsedTable parsed = comp::ParseTableText();
             EXPECT_EQ(parsed.message, "");
             EXPECT_EQ(comp::EntryLine(7, parsed.rows[6]), "7,No Name,30m,12.34,31.00,60V,12.00");
             EXPECT_EQ(comp::EntryLine(200, parsed.rows[199]),
                       "200,No Name,3m,0.000,0.000,6V,0.000");
         }},
        {"reception falling silent",
         kRequestReceiveTable,
         silentAfter57,
         {"Data reception error.  ", error},
         "57 / 200",
         Modes{},
         [](SimInstrument&) { EXPECT_EQ(g_compTableText, DefaultTableText()) << "kept"; }},
        {"transferred",
         kRequestTransmitTable,
         {},
         {"Data transferred.  ", info},
         "200 / 200",
         Modes{CompEditorMode::AfterTransfer},
         [](SimInstrument& instrument) {
             EXPECT_EQ(TableRecords(instrument), 200);
             EXPECT_EQ(instrument.Server().State().comparatorTable[0], sim::EntryRecord{});
         }},
        {"transfer refused",
         kRequestTransmitTable,
         refusing58,
         {"Data transfer error.  ", error},
         "57 / 200",
         Modes{CompEditorMode::AfterTransfer},
         [](SimInstrument& instrument) { EXPECT_EQ(TableRecords(instrument), 58); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::InstrumentState state = sim::EmptyInstrument();
        state.comparatorTable.fill(sim::PackEntryCodes(1, 1234, 3100, 1, 1200));
        state.comparatorTable[199] = {};
        SimInstrument instrument(std::move(state), c.faults);
        WindowOnCompChoice(&instrument);
        CCompTransferPage& page = PageOf(c.request);
        const char* restText = c.request == kRequestReceiveTable ? comp::kPreparingToReceiveText
                                                                 : comp::kCheckingTableText;
        const char* runningText =
            c.request == kRequestReceiveTable ? comp::kReceivingText : comp::kTransferringText;
        std::optional<std::vector<QString>> atMessage;
        dialogs_.SetObserver([&](const DialogCall&) {
            atMessage = {page.StatusLine()->text(), page.Counter()->text(),
                         QString::number(page.ProgressBar()->value())};
        });
        g_compTableText = DefaultTableText();

        Request(c.request);
        EXPECT_EQ(page.StatusLine()->text(), QString::fromLatin1(restText));
        EXPECT_FALSE(page.isHidden());
        ASSERT_TRUE(WaitUntilBackOnCompChoice());

        EXPECT_EQ(dialogs_.Messages(), std::vector<MessageRequest>{c.message});
        const QString counter = QString::fromLatin1(c.counter);
        EXPECT_EQ(atMessage, (std::vector<QString>{QString::fromLatin1(runningText), counter,
                                                   counter.section(QLatin1Char(' '), 0, 0)}));
        EXPECT_EQ(page.StatusLine()->text(), QString::fromLatin1(restText));
        EXPECT_EQ(page.Counter()->text(), QString());
        EXPECT_EQ(page.ProgressBar()->value(), 0);
        EXPECT_FALSE(page.TransferRunning());
        EXPECT_EQ(EditorModes(), c.editorRuns);
        EXPECT_EQ(CommClose(), 0) << "the port was left open";
        c.check(instrument);
        window_.reset();
    }
}

// A start that fails tells why with the page's own text, sends nothing and goes back at once:
// request 31 on the reception page, 28 (the editor reopened) on the transmission page.
TEST_F(CompTransferPages, AStartThatFailsIsReportedWithThePagesMessage) {
    struct Case {
        const char* name;
        bool instrumentFound;
        std::string table;
        int request;
        std::string message;
        Modes editorRuns;
    };
    const std::vector<Case> cases = {
        {"reception, no instrument",
         false,
         "",
         kRequestReceiveTable,
         "Communication Error.\nIs the USB cable connected?  ",
         {}},
        {"transmission, no instrument",
         false,
         DefaultTableText(),
         kRequestTransmitTable,
         "Communication Error. \nIs the USB cable connected?  ",
         {CompEditorMode::AfterTransfer}},
        {"transmission, a table that fails the parse",
         true,
         "not a table",
         kRequestTransmitTable,
         comp::PackTableText("not a table").message,
         {CompEditorMode::AfterTransfer}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimInstrument instrument(sim::EmptyInstrument());
        WindowOnCompChoice(c.instrumentFound ? &instrument : nullptr);
        g_compTableText = c.table;

        Request(c.request);
        ASSERT_TRUE(WaitUntilBackOnCompChoice());

        const MessageRequest message{QString::fromStdString(c.message), MessageIcon::Error};
        EXPECT_EQ(dialogs_.Messages(), std::vector<MessageRequest>{message});
        EXPECT_FALSE(c.message.empty());
        EXPECT_EQ(EditorModes(), c.editorRuns);
        EXPECT_TRUE(instrument.Server().Commands().empty()) << "nothing was sent";
        EXPECT_EQ(CommClose(), 0);
        window_.reset();
    }
}

// Closing the window mid-transfer stops the transfer and joins its threads before the window goes:
// the port is closed and no message follows.
TEST_F(CompTransferPages, ClosingTheWindowStopsATransferInProgress) {
    for (const int request : {kRequestReceiveTable, kRequestTransmitTable}) {
        SCOPED_TRACE(request);
        sim::ServerOptions paced;
        paced.pace = true; // a transfer lasts long enough to close the window during it
        SimInstrument instrument(sim::EmptyInstrument(), {}, paced);
        CMainDlg& window = WindowOnCompChoice(&instrument);
        window.show();
        g_compTableText = DefaultTableText();
        CCompTransferPage& page = PageOf(request);
        Request(request);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return page.ProgressBar()->value() >= 10; }, kEndTimeoutMs));
        ASSERT_TRUE(page.TransferRunning());

        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(window.close());
        EXPECT_LT(clock.elapsed(), 2500);

        EXPECT_FALSE(page.TransferRunning());
        EXPECT_EQ(CommClose(), 0) << "the port was left open";
        const int records = TableRecords(instrument);
        QTest::qWait(400);
        EXPECT_TRUE(dialogs_.Calls().empty());
        EXPECT_TRUE(editor_->Runs().empty());
        EXPECT_EQ(TableRecords(instrument), records) << "nothing more was sent";
        window_.reset();
    }
}

} // namespace
