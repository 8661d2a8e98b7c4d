#include <algorithm>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "controls/dialogs.h"
#include "controls/fonts.h"
#include "instrument/discovery.h"
#include "instrument/port_listing.h"
#include "instrument/simulated_instrument.h"
#include "pages/usb_check_dialog.h"
#include "tests/support/app_window.h"
#include "tests/support/controls_qt_app.h"
#include "tests/support/measure_support.h"

namespace {

const QString kNoInstrument =
    QStringLiteral("Check USB cable connection, \nor power supply of K720.  ");

class UsbCheckDialog : public ::testing::Test {
protected:
    void SetUp() override {
        g_instrumentPort = NO_INSTRUMENT_PORT;
        SetPortLister([] { return std::vector<ListedPort>{}; });
        EnumerateCandidatePorts();
    }
    void TearDown() override {
        SetPortLister({});
        g_candidatePorts.clear();
    }

    // Runs the check window modally; returns how long it stayed open.
    static qint64 RunCheck(CUsbCheckDlg& check) {
        QElapsedTimer clock;
        clock.start();
        check.exec();
        return clock.elapsed();
    }

    CScriptedDialogs dialogs_;
    DialogsOverride dialogsOverride_ = SetDialogsForTests(dialogs_);
};

TEST_F(UsbCheckDialog, IsASmallModalWindowWithoutTitleBar) {
    CUsbCheckDlg check;
    EXPECT_TRUE(check.isModal());
    EXPECT_TRUE(check.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(check.size(), DialogToPixels(QRect(0, 0, 130, 52), BaseUnitsOf(DialogFont())).size());
    auto* text = check.Layout().Find<QLabel>(1137);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), QStringLiteral("Checking USB connection ...."));
    EXPECT_TRUE(text->alignment().testFlag(Qt::AlignHCenter));
}

TEST_F(UsbCheckDialog, FindsTheInstrumentQuietlyAndCloses) {
    SimulatedInstrument instrument;
    std::string error;
    ASSERT_TRUE(instrument.Start(&error)) << error;
    EnumerateCandidatePorts();
    ASSERT_TRUE(std::any_of(g_candidatePorts.begin(), g_candidatePorts.end(),
                            [&](const PortCandidate& candidate) {
                                return candidate.portNumber == instrument.PortNumber() &&
                                       candidate.friendlyName == SimulatedInstrument::kProductName;
                            }));

    CUsbCheckDlg check;
    const qint64 open = RunCheck(check);

    EXPECT_TRUE(dialogs_.Calls().empty());
    EXPECT_FALSE(check.ScanFailed());
    EXPECT_EQ(g_instrumentPort, instrument.PortNumber());
    // Real serial ports of the machine may be probed first; no upper bound here.
    EXPECT_GE(open, CUsbCheckDlg::kScanDelayMs);
}

TEST_F(UsbCheckDialog, WithoutAnInstrumentClosesAndLeavesTheMessageToTheMainWindow) {
    g_instrumentPort = 5; // remembered from an earlier run

    CUsbCheckDlg check;
    const qint64 open = RunCheck(check);

    EXPECT_TRUE(dialogs_.Calls().empty());
    EXPECT_TRUE(check.ScanFailed());
    EXPECT_EQ(check.FailureMessage(), kNoInstrument);
    EXPECT_EQ(g_instrumentPort, NO_INSTRUMENT_PORT);
    EXPECT_LT(open, 2500);
}

// A port refused (held by another program, or not permitted) is the cause the user can set
// right: it comes first, and the box warns.
TEST_F(UsbCheckDialog, ARefusedPortIsNamedFirstUnderAWarning) {
    const std::string busy = "The port /dev/ttyUSB0 is in use by another program.";
    EXPECT_EQ(CUsbCheckDlg::NoInstrumentMessage(""), kNoInstrument);
    EXPECT_EQ(CUsbCheckDlg::NoInstrumentIcon(""), MessageIcon::Information);
    EXPECT_EQ(CUsbCheckDlg::NoInstrumentMessage(busy),
              QString::fromStdString(busy) + QLatin1Char('\n') + kNoInstrument);
    EXPECT_EQ(CUsbCheckDlg::NoInstrumentIcon(busy), MessageIcon::Warning);
}

// In the main window: a silent candidate costs two reply budgets, during which the window keeps
// turning its event loop with the check window shown; the message follows once it has closed.
class StartupCheckInWindow : public app_test::MainWindowTest {};

TEST_F(StartupCheckInWindow, StaysResponsiveWhileASilentPortIsProbedThenSaysSo) {
    sim::Faults silent;
    silent.silentFromCommand = 1;
    measure_test::SimInstrument sim(sim::EmptyInstrument(), silent);
    SetPortLister([&sim] {
        return std::vector<ListedPort>{{"Prolific USB-to-Serial Comm Port (COM3)", sim.Port(),
                                        sim.Server().DevicePath(), true}};
    });
    auto checkWindowShown = [] {
        const auto* check = qobject_cast<CUsbCheckDlg*>(QApplication::activeModalWidget());
        return check != nullptr && check->isVisible();
    };
    bool shownAtMessage = true;
    dialogs_.SetObserver([&](const DialogCall& /*call*/) { shownAtMessage = checkWindowShown(); });
    int ticks = 0;
    int ticksWithCheckShown = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ++ticks;
        ticksWithCheckShown += checkWindowShown() ? 1 : 0;
    });
    ticker.start(50);
    MainWindowOptions options = Options();
    options.startupCheck = true;
    QElapsedTimer clock;
    clock.start();
    MakeWindow(std::move(options)).show();

    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs_.Messages().empty(); }, 8000));
    const qint64 elapsed = clock.elapsed();

    EXPECT_GE(elapsed, 2000) << "two reply budgets";
    // Half the ticks leaves room for a loaded machine; a frozen loop gets almost none.
    EXPECT_GE(ticks, elapsed / 50 / 2);
    EXPECT_GE(ticksWithCheckShown, 2000 / 50 / 2);
    EXPECT_FALSE(shownAtMessage) << "the check window must close before its message";
    const MessageRequest noInstrument{kNoInstrument, MessageIcon::Information};
    EXPECT_EQ(dialogs_.Messages(), std::vector<MessageRequest>{noInstrument});
    EXPECT_EQ(g_instrumentPort, NO_INSTRUMENT_PORT);
    EXPECT_EQ(CommClose(), 0) << "the port was left open";
}

} // namespace
