// The comparator table transfer pages in the main window against the simulated instrument: the
// reception from request 25 to request 31 or 32, the transmission from request 30 to request 28 or
// 29, the scan failing on each page, and the window closing while a transfer runs.
#include <optional>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <gtest/gtest.h>

#include "comm.h"
#include "comp_transmit_do_page.h"
#include "comp_transmit_send_page.h"
#include "page_requests.h"
#include "support/app_window.h"
#include "support/controls_qt_app.h"
#include "support/measure_support.h"
#include "table_file.h"
#include "table_reception.h"
#include "table_transmission.h"

namespace {

using app_test::MainWindowTest;
using measure_test::SimInstrument;

constexpr int kEndTimeoutMs = 20000;

// Bytes at the pace of the real serial line, so that a transfer lasts long enough to act on.
sim::ServerOptions Paced() {
    sim::ServerOptions options;
    options.pace = true;
    return options;
}

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

// The page's lines while the end message was shown.
struct PageAtMessage {
    QString status;
    QString counter;
    int bar = -1;
};

class CompTransferPages : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        g_compTableText.clear();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        g_compTableText.clear();
    }

    CPpgCompTransmitDo& ReceptionPage() {
        return *static_cast<CPpgCompTransmitDo*>(window_->Page(PageId::CompTransmitDo));
    }
    CPpgCompTransmitSend& TransmissionPage() {
        return *static_cast<CPpgCompTransmitSend*>(window_->Page(PageId::CompTransmitSend));
    }

    // The window on the comparator table menu, the instrument (if any) found by the last scan.
    CMainDlg& WindowOnCompChoice(SimInstrument* instrument) {
        CMainDlg& window = MakeWindow();
        if (instrument != nullptr) {
            app_test::UseInstrumentPort(instrument->Port(), instrument->Server().DevicePath());
        }
        Request(kRequestCompClockMenu);
        Request(kRequestCompChoice);
        return window;
    }

    void WatchTheEndMessage(CCompTransferPage& page) {
        dialogs_.SetObserver([this, &page](const DialogCall& /*call*/) {
            atMessage_ = PageAtMessage{page.StatusLine()->text(), page.Counter()->text(),
                                       page.ProgressBar()->value()};
        });
    }

    bool WaitUntilBackOnCompChoice() {
        return QTest::qWaitFor([this] { return window_->VisiblePage() == PageId::CompChoice; },
                               kEndTimeoutMs);
    }

    void ExpectOneMessage(const char* text, MessageIcon icon) {
        const MessageRequest message{QString::fromLatin1(text), icon};
        EXPECT_EQ(dialogs_.Messages(), std::vector<MessageRequest>{message});
    }

    // The page back at rest after its end, the port closed.
    void ExpectAtRest(CCompTransferPage& page, const char* status) {
        EXPECT_EQ(page.StatusLine()->text(), QString::fromLatin1(status));
        EXPECT_EQ(page.Counter()->text(), QString());
        EXPECT_EQ(page.ProgressBar()->value(), 0);
        EXPECT_FALSE(page.TransferRunning());
        EXPECT_EQ(CommClose(), 0) << "the port was left open";
    }

    std::vector<CompEditorMode> EditorModes() const {
        std::vector<CompEditorMode> modes;
        for (const auto& run : editor_->Runs()) {
            modes.push_back(run.mode);
        }
        return modes;
    }

    std::optional<PageAtMessage> atMessage_;
};

TEST_F(CompTransferPages, ReceivingTheTableOpensTheEditorOnIt) {
    sim::InstrumentState state = sim::EmptyInstrument();
    state.comparatorTable[6] = sim::PackEntryCodes(1, 1234, 3100, 1, 1200);
    SimInstrument instrument(std::move(state));
    WindowOnCompChoice(&instrument);
    CPpgCompTransmitDo& page = ReceptionPage();
    WatchTheEndMessage(page);

    Request(kRequestReceiveTable);
    EXPECT_EQ(window_->VisiblePage(), PageId::CompTransmitDo);
    EXPECT_EQ(page.StatusLine()->text(), QString::fromLatin1(comp::kPreparingToReceiveText));
    ASSERT_TRUE(WaitUntilBackOnCompChoice());

    ExpectOneMessage(comp::kTableReceivedMessage, MessageIcon::Information);
    ASSERT_TRUE(atMessage_);
    EXPECT_EQ(atMessage_->status, QString::fromLatin1(comp::kReceivingText));
    EXPECT_EQ(atMessage_->counter, QStringLiteral("200 / 200"));
    EXPECT_EQ(atMessage_->bar, 200);
    ExpectAtRest(page, comp::kPreparingToReceiveText);
    // Request 32: the editor runs on the received text, which holds all 200 entries.
    EXPECT_EQ(EditorModes(), std::vector<CompEditorMode>{CompEditorMode::FromInstrument});
    const comp::ParsedTable parsed = comp::ParseTableText();
    EXPECT_EQ(parsed.message, "");
    EXPECT_EQ(comp::EntryLine(7, parsed.rows[6]), "7,No Name,30m,12.34,31.00,60V,12.00");
    EXPECT_EQ(comp::EntryLine(200, parsed.rows[199]), "200,No Name,3m,0.000,0.000,6V,0.000");
}

TEST_F(CompTransferPages, AnInstrumentFallingSilentEndsTheReceptionInAnError) {
    sim::Faults faults;
    faults.tableEntriesBeforeSilence = 57;
    SimInstrument instrument(sim::EmptyInstrument(), faults);
    WindowOnCompChoice(&instrument);
    CPpgCompTransmitDo& page = ReceptionPage();
    WatchTheEndMessage(page);
    g_compTableText = "the table before";

    Request(kRequestReceiveTable);
    ASSERT_TRUE(WaitUntilBackOnCompChoice());

    ExpectOneMessage(comp::kTableReceptionErrorMessage, MessageIcon::Error);
    ASSERT_TRUE(atMessage_);
    EXPECT_EQ(atMessage_->counter, QStringLiteral("57 / 200"));
    EXPECT_EQ(atMessage_->bar, 57);
    ExpectAtRest(page, comp::kPreparingToReceiveText);
    // Request 31: no editor, and the partial table is not handed on.
    EXPECT_TRUE(editor_->Runs().empty());
    EXPECT_EQ(g_compTableText, "the table before");
}

TEST_F(CompTransferPages, TransmittingTheTableReopensTheEditor) {
    sim::InstrumentState state = sim::DemoInstrument();
    state.comparatorTable.fill(sim::PackEntryCodes(1, 7, 7, 1, 7)); // replaced by the transfer
    SimInstrument instrument(std::move(state));
    WindowOnCompChoice(&instrument);
    CPpgCompTransmitSend& page = TransmissionPage();
    WatchTheEndMessage(page);
    g_compTableText = DefaultTableText();

    Request(kRequestTransmitTable);
    EXPECT_EQ(window_->VisiblePage(), PageId::CompTransmitSend);
    EXPECT_EQ(page.StatusLine()->text(), QString::fromLatin1(comp::kCheckingTableText));
    ASSERT_TRUE(WaitUntilBackOnCompChoice());

    ExpectOneMessage(comp::kTableTransferredMessage, MessageIcon::Information);
    ASSERT_TRUE(atMessage_);
    EXPECT_EQ(atMessage_->status, QString::fromLatin1(comp::kTransferringText));
    EXPECT_EQ(atMessage_->counter, QStringLiteral("200 / 200"));
    EXPECT_EQ(atMessage_->bar, 200);
    ExpectAtRest(page, comp::kCheckingTableText);
    EXPECT_EQ(EditorModes(), std::vector<CompEditorMode>{CompEditorMode::AfterTransfer});
    EXPECT_EQ(TableRecords(instrument), 200);
    for (const sim::EntryRecord& record : instrument.Server().State().comparatorTable) {
        EXPECT_EQ(record, sim::EntryRecord{});
    }
    EXPECT_EQ(g_compTableText, DefaultTableText()) << "the editor reads the same table back";
}

// A start that fails tells why with the page's own text, then goes back at once: request 31 on
// the reception page, 28 (the editor reopened) on the transmission page.
TEST_F(CompTransferPages, AStartThatFailsIsReportedWithThePagesMessage) {
    struct Case {
        const char* name;
        bool instrumentFound;
        std::string table;
        int request;
        const char* message;
        std::vector<CompEditorMode> editorRuns;
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
         nullptr,
         {CompEditorMode::AfterTransfer}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimInstrument instrument(sim::EmptyInstrument());
        dialogs_ = CScriptedDialogs();
        WindowOnCompChoice(c.instrumentFound ? &instrument : nullptr);
        g_compTableText = c.table;

        Request(c.request);
        ASSERT_TRUE(WaitUntilBackOnCompChoice());

        ASSERT_EQ(dialogs_.Messages().size(), 1U);
        EXPECT_EQ(dialogs_.Messages()[0].icon, MessageIcon::Error);
        if (c.message != nullptr) {
            EXPECT_EQ(dialogs_.Messages()[0].text, QString::fromLatin1(c.message));
        } else {
            EXPECT_EQ(dialogs_.Messages()[0].text,
                      QString::fromStdString(comp::PackTableText(c.table).message));
        }
        EXPECT_EQ(EditorModes(), c.editorRuns);
        EXPECT_EQ(TableRecords(instrument), 0);
        EXPECT_TRUE(instrument.Server().Commands().empty()) << "nothing was sent";
        EXPECT_EQ(CommClose(), 0);
        window_.reset();
        g_candidatePorts.clear();
        g_instrumentPort = NO_INSTRUMENT_PORT;
    }
}

// Closing the window mid-transfer stops the transfer and joins its threads before the window goes:
// the port is closed and no message follows.
TEST_F(CompTransferPages, ClosingTheWindowStopsATransferInProgress) {
    for (const int request : {kRequestReceiveTable, kRequestTransmitTable}) {
        SCOPED_TRACE(request);
        SimInstrument instrument(sim::EmptyInstrument(), {}, Paced());
        dialogs_ = CScriptedDialogs();
        CMainDlg& window = WindowOnCompChoice(&instrument);
        window.show();
        g_compTableText = DefaultTableText();
        CCompTransferPage& page = request == kRequestReceiveTable
                                      ? static_cast<CCompTransferPage&>(ReceptionPage())
                                      : TransmissionPage();
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
        EXPECT_LT(page.ProgressBar()->value(), 200);
        EXPECT_EQ(TableRecords(instrument), records) << "nothing more was sent";
        window_.reset();
    }
}

} // namespace
