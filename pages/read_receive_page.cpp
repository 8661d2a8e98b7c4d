#include "pages/read_receive_page.h"

#include <algorithm>
#include <cstring>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "controls/color_button.h"
#include "controls/core_text.h"
#include "controls/dialogs.h"
#include "controls/exchange_runner.h"
#include "controls/fonts.h"
#include "controls/queued_observer.h"
#include "controls/window_messages.h"
#include "instrument/discovery.h"
#include "measure/memory_check.h"
#include "pages/page_requests.h"
#include "pages/read_do_page.h"
#include "pages/selected_units.h"
#include "resources/layouts/read_receive_layout.h"

namespace {

MessageIcon EndIcon(measure::EndOutcome outcome) {
    switch (outcome) {
    case measure::EndOutcome::Received:
        return MessageIcon::Information;
    case measure::EndOutcome::Cancelled:
        return MessageIcon::Warning;
    case measure::EndOutcome::Error:
        return MessageIcon::Error;
    }
    return MessageIcon::Error;
}

} // namespace

// Runs on the engine's worker threads (and on the start's): every report is queued to the page's
// thread, never waited for.
class CPpgReadReceive::EngineReports
    : public QueuedObserver<measure::ReceptionObserver, CPpgReadReceive> {
public:
    using QueuedObserver::QueuedObserver;

    void OnPortOpened() override {
        Deliver([](CPpgReadReceive& page) { page.ShowCounting(); });
    }
    void OnUnitStarted(int unitIndex) override {
        Deliver([unitIndex](CPpgReadReceive& page) { page.ShowUnitStarted(unitIndex); });
    }
    void OnProgress(int received, int total) override {
        Deliver([received, total](CPpgReadReceive& page) { page.ShowProgress(received, total); });
    }
    void OnTimeRemaining(const std::string& text) override {
        Deliver([line = CoreText(text)](CPpgReadReceive& page) { page.ShowTimeRemaining(line); });
    }
    // With the line that says what the file kept after a reception that did not complete.
    void OnEnd(const measure::ReceptionEnd& end) override {
        Deliver([outcome = end.outcome, fileError = end.fileError,
                 kept = CoreText(measure::KeptReadingsText(end))](CPpgReadReceive& page) {
            page.WorkersEnded(outcome, fileError, kept);
        });
    }
};

CPpgReadReceive::CPpgReadReceive(QWidget* parent)
    : CPage(layouts::kReadReceive, parent), reports_(std::make_unique<EngineReports>(*this)),
      engine_(*reports_) {
    CancelButton()->SetFaceColor(button_colors::kGreen).SetTextColor(button_colors::kCaptionWhite);
    CancelButton()->setFont(g_font16);
    Control<QLabel>(read_receive_ids::kTitle)->setFont(g_font15);
    StatusLine()->setText(CoreText(measure::kCheckingDataText));
    CountLine()->clear();
    TimeRemainingLine()->clear();
    ProgressBar()->setValue(0);
    // Always enabled; it only asks the receiver to stop after its current record.
    connect(CancelButton(), &QPushButton::clicked, this, [this] {
        cancelPressed_ = true;
        engine_.Stop();
    });

    startTimer_.setSingleShot(true);
    startTimer_.setInterval(kStartDelayMs);
    connect(&startTimer_, &QTimer::timeout, this, &CPpgReadReceive::StartReception);
    endTimer_.setSingleShot(true);
    endTimer_.setInterval(kEndDelayMs);
    connect(&endTimer_, &QTimer::timeout, this, &CPpgReadReceive::EndReception);
}

CPpgReadReceive::~CPpgReadReceive() {
    // No worker may report to a page that is going away.
    StopReception();
}

void CPpgReadReceive::SetDestination(const QString& folder, const QString& fileName) {
    destinationFolder_ = folder;
    destinationFileName_ = fileName;
}

bool CPpgReadReceive::event(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == EventType(WM_PAGE_ACTIVATE)) {
        startTimer_.start();
        return true;
    }
    return CPage::event(event);
}

void CPpgReadReceive::StartReception() {
    // A page the user has already left starts nothing.
    if (isHidden()) {
        return;
    }
    const int unitCode = g_selectedUnitForReading;
    UnitLine()->setText(CoreText(measure::UnitLineText(unitCode)));

    measure::ReceptionRequest request;
    request.selectedUnitCode = unitCode;
    request.unitDataMask = g_unitDataMask;
    request.port = g_instrumentPort;
    request.folder = DestinationBytes(destinationFolder_);
    request.fileName = DestinationBytes(destinationFileName_);
    cancelPressed_ = false;
    // The start counts the readings and asks for the serial number and the temperature unit, up
    // to a reply budget per reply: off this thread. Its reports (the status line, the count)
    // arrive before its outcome.
    const bool launched = InstrumentExchanges().Start(
        *this, [this, request](std::stop_token) { return engine_.Start(request); },
        [this](measure::StartOutcome outcome) { StartEnded(outcome); });
    if (!launched) {
        startTimer_.start(); // another exchange is ending: start after it
        return;
    }
    active_ = true;
}

void CPpgReadReceive::StartEnded(measure::StartOutcome outcome) {
    if (outcome == measure::StartOutcome::Started) {
        // A Cancel pressed while the start was clearing its flags is not lost.
        if (cancelPressed_) {
            engine_.Stop();
        }
        return; // the workers report from here on
    }
    // No worker was started and no file created. The count the start may have shown goes.
    active_ = false;
    CountLine()->clear();
    ProgressBar()->setValue(0);
    ShowMessageBox(CoreText(engine_.StartMessage(outcome)), MessageIcon::Error);
    PostRequest(*this, kRequestReceptionEnded);
}

void CPpgReadReceive::ShowCounting() {
    StatusLine()->setText(CoreText(measure::kCheckingDataText));
    CountLine()->clear();
}

void CPpgReadReceive::ShowUnitStarted(int unitIndex) {
    StatusLine()->setText(CoreText(measure::ReadingUnitText(unitIndex)));
}

void CPpgReadReceive::ShowProgress(int received, int total) {
    CountLine()->setText(QString::fromStdString(measure::ProgressText(received, total)));
    // A range of 0 to 0 would turn the bar into a busy indicator.
    ProgressBar()->setRange(0, std::max(total, 1));
    ProgressBar()->setValue(std::clamp(received, 0, std::max(total, 1)));
}

void CPpgReadReceive::ShowTimeRemaining(const QString& text) {
    TimeRemainingLine()->setText(text);
}

void CPpgReadReceive::WorkersEnded(measure::EndOutcome outcome, int fileError,
                                   const QString& keptText) {
    // The workers have done their work and are returning: reaping them takes no time.
    engine_.Join();
    if (fileError != 0) {
        qWarning("the measurement file could not be written: %s", std::strerror(fileError));
    }
    endOutcome_ = outcome;
    endKeptText_ = keptText;
    endTimer_.start();
}

void CPpgReadReceive::EndReception() {
    active_ = false;
    // Below the message, after a reception that did not complete: what the file kept.
    QString message = CoreText(measure::EndMessage(endOutcome_));
    if (!endKeptText_.isEmpty()) {
        message += QLatin1Char('\n') + endKeptText_;
    }
    ShowMessageBox(message, EndIcon(endOutcome_));
    CountLine()->clear();
    TimeRemainingLine()->clear();
    ProgressBar()->setValue(0);
    PostRequest(*this, kRequestReceptionEnded);
}

void CPpgReadReceive::StopReception() {
    startTimer_.stop();
    // A start still running on the exchange runner is waited for first.
    InstrumentExchanges().Abandon(*this);
    engine_.StopAndJoin();
    // Whatever the stopped reception still had to say is dropped with the end it announced.
    endTimer_.stop();
    active_ = false;
    reports_->DropQueued();
}

bool CPpgReadReceive::ReceptionRunning() const {
    return active_;
}

CColorButton* CPpgReadReceive::CancelButton() const {
    return Control<CColorButton>(read_receive_ids::kCancel);
}

QLabel* CPpgReadReceive::UnitLine() const {
    return Control<QLabel>(read_receive_ids::kUnitLine);
}

QLabel* CPpgReadReceive::StatusLine() const {
    return Control<QLabel>(read_receive_ids::kStatus);
}

QLabel* CPpgReadReceive::CountLine() const {
    return Control<QLabel>(read_receive_ids::kCount);
}

QLabel* CPpgReadReceive::TimeRemainingLine() const {
    return Control<QLabel>(read_receive_ids::kRemaining);
}

QProgressBar* CPpgReadReceive::ProgressBar() const {
    return Control<QProgressBar>(read_receive_ids::kProgress);
}
