#include <algorithm>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <gtest/gtest.h>

#include "dialogs.h"
#include "discovery.h"
#include "fonts.h"
#include "port_listing.h"
#include "simulated_instrument.h"
#include "support/controls_qt_app.h"
#include "usb_check_dialog.h"

namespace {

const QString kNoInstrument =
    QStringLiteral("Check USB cable connection, \nor power supply of K720.  ");

class UsbCheckDialog : public ::testing::Test {
protected:
    void SetUp() override {
        g_instrumentPort = NO_INSTRUMENT_PORT;
        SetPortLister([] { return std::vector<ListedPort>{}; });
        EnumerateCandidatePorts();
        dialogs_.SetObserver([this](const DialogCall& /*call*/) {
            auto* check = qobject_cast<CUsbCheckDlg*>(QApplication::activeModalWidget());
            checkWindowOpenAtMessage_ = check != nullptr && check->isVisible();
        });
    }
    void TearDown() override {
        SetPortLister({});
        g_candidatePorts.clear();
    }

    // Runs the check window modally; returns how long it stayed open.
    qint64 RunCheck() {
        CUsbCheckDlg check;
        QElapsedTimer clock;
        clock.start();
        check.exec();
        return clock.elapsed();
    }

    CScriptedDialogs dialogs_;
    DialogsOverride dialogsOverride_ = SetDialogsForTests(dialogs_);
    bool checkWindowOpenAtMessage_ = false;
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

    const qint64 open = RunCheck();

    EXPECT_TRUE(dialogs_.Calls().empty());
    EXPECT_EQ(g_instrumentPort, instrument.PortNumber());
    // Real serial ports of the machine may be probed first; no upper bound here.
    EXPECT_GE(open, CUsbCheckDlg::kScanDelayMs);
}

TEST_F(UsbCheckDialog, WithoutAnInstrumentSaysSoWhileOpenAndThenCloses) {
    g_instrumentPort = 5; // remembered from an earlier run

    const qint64 open = RunCheck();

    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    const MessageRequest message = dialogs_.Messages()[0];
    EXPECT_EQ(message.text, kNoInstrument);
    EXPECT_EQ(message.icon, MessageIcon::Information);
    EXPECT_EQ(message.buttons, MessageButtons::Ok);
    EXPECT_TRUE(checkWindowOpenAtMessage_);
    EXPECT_EQ(g_instrumentPort, NO_INSTRUMENT_PORT);
    EXPECT_LT(open, 2500);
}

TEST_F(UsbCheckDialog, APermissionProblemIsExplainedOnALineOfItsOwn) {
    EXPECT_EQ(CUsbCheckDlg::NoInstrumentMessage(""), kNoInstrument);
    EXPECT_EQ(CUsbCheckDlg::NoInstrumentMessage("Add yourself to the group dialout."),
              kNoInstrument + QStringLiteral("\nAdd yourself to the group dialout."));
}

} // namespace
