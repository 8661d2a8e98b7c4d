#include "pages/comp_transmit_do_page.h"

#include <QLabel>

#include "comp/table_file.h"
#include "controls/core_text.h"
#include "controls/dialogs.h"
#include "controls/exchange_runner.h"
#include "controls/queued_observer.h"
#include "controls/window_messages.h"
#include "pages/page_requests.h"

// Runs on the engine's worker threads: every report is queued to the page's thread, never waited
// for.
class CPpgCompTransmitDo::EngineReports
    : public QueuedObserver<comp::TableReceptionObserver, CPpgCompTransmitDo> {
public:
    using QueuedObserver::QueuedObserver;

    void OnProgress(int received) override {
        Deliver([received](CPpgCompTransmitDo& page) { page.ShowReceived(received); });
    }
    void OnEnd(comp::TableReceptionEnd end) override {
        Deliver([end = std::move(end)](CPpgCompTransmitDo& page) mutable {
            page.WorkersEnded(std::move(end));
        });
    }
};

CPpgCompTransmitDo::CPpgCompTransmitDo(QWidget* parent)
    : CCompTransferPage(layouts::kCompTransmitDo, kCompTransmitDoIds, comp::kPreparingToReceiveText,
                        parent),
      reports_(std::make_unique<EngineReports>(*this)), engine_(*reports_) {
    connect(&startTimer_, &QTimer::timeout, this, &CPpgCompTransmitDo::StartReception);
    connect(&endTimer_, &QTimer::timeout, this, &CPpgCompTransmitDo::EndReception);
}

CPpgCompTransmitDo::~CPpgCompTransmitDo() {
    // No worker may report to a page that is going away.
    StopTransfer();
}

bool CPpgCompTransmitDo::event(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == EventType(WM_COMP_RECEIVE_START)) {
        active_ = true;
        startTimer_.start();
        return true;
    }
    return CCompTransferPage::event(event);
}

void CPpgCompTransmitDo::StartReception() {
    // A page the user has already left starts nothing.
    if (isHidden()) {
        active_ = false;
        return;
    }
    // The scan and the opening wait for replies: off this thread.
    const bool launched = InstrumentExchanges().Start(
        *this, [this](std::stop_token stop) { return engine_.Start(stop); },
        [this](comp::ReceptionStart start) { StartEnded(start); });
    if (!launched) {
        startTimer_.start(); // another exchange is ending: start after it
    }
}

void CPpgCompTransmitDo::StartEnded(const comp::ReceptionStart& start) {
    switch (start.outcome) {
    case comp::ReceptionStartOutcome::Started:
        StatusLine()->setText(CoreText(comp::kReceivingText));
        return; // the workers report from here on
    case comp::ReceptionStartOutcome::Busy:
        startTimer_.start(); // the last reception is still being reaped: try again
        return;
    case comp::ReceptionStartOutcome::Stopped:
        active_ = false;
        return;
    case comp::ReceptionStartOutcome::ScanFailed:
    case comp::ReceptionStartOutcome::Failed:
        break;
    }
    active_ = false;
    ShowMessageBox(CoreText(start.message), MessageIcon::Error);
    ShowAtRest();
    PostRequest(*this, kRequestTableReceiveFailed);
}

void CPpgCompTransmitDo::ShowReceived(int received) {
    StatusLine()->setText(CoreText(comp::kReceivingText));
    ShowEntries(received);
}

void CPpgCompTransmitDo::WorkersEnded(comp::TableReceptionEnd end) {
    // The workers have done their work and are returning: reaping them takes no time.
    engine_.Join();
    end_ = std::move(end);
    endTimer_.start();
}

void CPpgCompTransmitDo::EndReception() {
    active_ = false;
    const bool received = end_.outcome == comp::ReceptionOutcome::Received;
    if (end_.outcome != comp::ReceptionOutcome::Stopped) {
        ShowMessageBox(CoreText(comp::EndMessage(end_.outcome)),
                       received ? MessageIcon::Information : MessageIcon::Error);
    }
    ShowAtRest();
    if (received) {
        // The editor reads the table from here once request 32 is handled.
        g_compTableText = std::move(end_.text);
    }
    end_ = {};
    PostRequest(*this, received ? kRequestTableReceived : kRequestTableReceiveFailed);
}

void CPpgCompTransmitDo::StopTransfer() {
    startTimer_.stop();
    // A start still scanning on the exchange runner is stopped and waited for first.
    InstrumentExchanges().Abandon(*this);
    engine_.StopAndJoin();
    // Whatever the stopped reception still had to say is dropped with the end it announced.
    DropPendingSteps();
    reports_->DropQueued();
    end_ = {};
}
