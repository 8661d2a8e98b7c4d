#include "pages/comp_transmit_send_page.h"

#include <string>

#include <QLabel>

#include "comp/table_file.h"
#include "controls/core_text.h"
#include "controls/dialogs.h"
#include "controls/exchange_runner.h"
#include "controls/queued_observer.h"
#include "controls/window_messages.h"
#include "pages/page_requests.h"

// Runs on the sender thread: every report is queued to the page's thread, never waited for.
class CPpgCompTransmitSend::EngineReports
    : public QueuedObserver<comp::TableTransmissionObserver, CPpgCompTransmitSend> {
public:
    using QueuedObserver::QueuedObserver;

    void OnProgress(int acknowledged) override {
        Deliver([acknowledged](CPpgCompTransmitSend& page) { page.ShowSent(acknowledged); });
    }
    void OnEnd(const comp::TableTransmissionEnd& end) override {
        Deliver([outcome = end.outcome](CPpgCompTransmitSend& page) { page.SenderEnded(outcome); });
    }
};

CPpgCompTransmitSend::CPpgCompTransmitSend(QWidget* parent)
    : CCompTransferPage(layouts::kCompTransmitSend, kCompTransmitSendIds, comp::kCheckingTableText,
                        parent),
      reports_(std::make_unique<EngineReports>(*this)), engine_(*reports_) {
    connect(&startTimer_, &QTimer::timeout, this, &CPpgCompTransmitSend::StartTransfer);
    connect(&endTimer_, &QTimer::timeout, this, &CPpgCompTransmitSend::EndTransfer);
}

CPpgCompTransmitSend::~CPpgCompTransmitSend() {
    // No sender may report to a page that is going away.
    StopTransfer();
}

bool CPpgCompTransmitSend::event(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == EventType(WM_COMP_SEND_START)) {
        active_ = true;
        startTimer_.start();
        return true;
    }
    return CCompTransferPage::event(event);
}

void CPpgCompTransmitSend::StartTransfer() {
    // A page the user has already left starts nothing.
    if (isHidden()) {
        active_ = false;
        return;
    }
    // The text is taken here, on the thread that writes it; the scan and the opening of the
    // transfer wait for replies: off this thread.
    const bool launched = InstrumentExchanges().Start(
        *this,
        [this, text = g_compTableText](std::stop_token stop) { return engine_.Start(text, stop); },
        [this](comp::TransmissionStart start) { StartEnded(start); });
    if (!launched) {
        startTimer_.start(); // another exchange is ending: start after it
    }
}

void CPpgCompTransmitSend::StartEnded(const comp::TransmissionStart& start) {
    switch (start.outcome) {
    case comp::TransmissionStartOutcome::Started:
        StatusLine()->setText(CoreText(comp::kTransferringText));
        return; // the sender reports from here on
    case comp::TransmissionStartOutcome::Busy:
        startTimer_.start(); // the last transfer is still being reaped: try again
        return;
    case comp::TransmissionStartOutcome::Stopped:
        active_ = false;
        return;
    default:
        break;
    }
    active_ = false;
    ShowMessageBox(CoreText(start.message), MessageIcon::Error);
    ShowAtRest();
    PostRequest(*this, kRequestTransmitOpenFailed);
}

void CPpgCompTransmitSend::ShowSent(int acknowledged) {
    StatusLine()->setText(CoreText(comp::kTransferringText));
    ShowEntries(acknowledged);
}

void CPpgCompTransmitSend::SenderEnded(comp::TransmissionOutcome outcome) {
    // The sender has closed the port and is returning: reaping it takes no time.
    engine_.Join();
    outcome_ = outcome;
    endTimer_.start();
}

void CPpgCompTransmitSend::EndTransfer() {
    active_ = false;
    if (outcome_ != comp::TransmissionOutcome::Stopped) {
        const bool transferred = outcome_ == comp::TransmissionOutcome::Transferred;
        ShowMessageBox(CoreText(comp::EndMessage(outcome_)),
                       transferred ? MessageIcon::Information : MessageIcon::Error);
    }
    ShowAtRest();
    PostRequest(*this, kRequestTransmitEnded);
}

void CPpgCompTransmitSend::StopTransfer() {
    startTimer_.stop();
    // A start still scanning or opening on the exchange runner is stopped and waited for first.
    InstrumentExchanges().Abandon(*this);
    engine_.StopAndJoin();
    // Whatever the stopped transfer still had to say is dropped with the end it announced.
    DropPendingSteps();
    reports_->DropQueued();
}
