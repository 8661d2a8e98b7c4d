#include "pages/read_receive_page.h"

#include <algorithm>
#include <cstring>

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "controls/color_button.h"
#include "controls/dialogs.h"
#include "controls/exchange_runner.h"
#include "controls/fonts.h"
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

// The workers' end, with the line that says what the file kept after a reception that did not
// complete.
class WriterEndEvent final : public MessageEvent {
public:
    explicit WriterEndEvent(const measure::ReceptionEnd& end)
        : MessageEvent(WM_READ_WRITER_END, static_cast<qintptr>(end.outcome), end.fileError),
          keptText_(QFile::decodeName(measure::KeptReadingsText(end).c_str())) {}
    const QString& KeptText() const { return keptText_; }

private:
    QString keptText_;
};

} // namespace

// Runs on the engine's worker threads: every report is queued to the page's thread, never waited
// for. Reports of one reception arrive in the order they were made.
class CPpgReadReceive::EngineReports : public measure::ReceptionObserver {
public:
    explicit EngineReports(CPpgReadReceive& page) : page_(page) {}

    void OnPortOpened() override {
        QMetaObject::invokeMethod(
            &page_, [page = &page_] { page->ShowCounting(); }, Qt::QueuedConnection);
    }
    void OnUnitStarted(int unitIndex) override {
        QMetaObject::invokeMethod(
            &page_, [page = &page_, unitIndex] { page->ShowUnitStarted(unitIndex); },
            Qt::QueuedConnection);
    }
    void OnProgress(int received, int total) override {
        QCoreApplication::postEvent(&page_,
                                    new MessageEvent(WM_TRANSFER_PROGRESS, received, total));
    }
    void OnTimeRemaining(const std::string& text) override {
        QMetaObject::invokeMethod(
            &page_,
            [page = &page_, line = QString::fromStdString(text)] { page->ShowTimeRemaining(line); },
            Qt::QueuedConnection);
    }
    void OnEnd(const measure::ReceptionEnd& end) override {
        QCoreApplication::postEvent(&page_, new WriterEndEvent(end));
    }

private:
    CPpgReadReceive& page_;
};

CPpgReadReceive::CPpgReadReceive(QWidget* parent)
    : CPage(layouts::kReadReceive, parent), reports_(std::make_unique<EngineReports>(*this)),
      engine_(*reports_) {
    CancelButton()->SetFaceColor(button_colors::kGreen).SetTextColor(button_colors::kCaptionWhite);
    CancelButton()->setFont(g_font16);
    Control<QLabel>(read_receive_ids::kTitle)->setFont(g_font15);
    StatusLine()->setText(QString::fromLatin1(measure::kCheckingDataText));
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
    if (type == EventType(WM_TRANSFER_PROGRESS)) {
        const auto* progress = static_cast<const MessageEvent*>(event);
        ShowProgress(static_cast<int>(progress->WParam()), static_cast<int>(progress->LParam()));
        return true;
    }
    if (type == EventType(WM_READ_WRITER_END)) {
        const auto* end = static_cast<const WriterEndEvent*>(event);
        WorkersEnded(static_cast<measure::EndOutcome>(end->WParam()),
                     static_cast<int>(end->LParam()), end->KeptText());
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
    UnitLine()->setText(QString::fromStdString(measure::UnitLineText(unitCode)));

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
    ShowMessageBox(QFile::decodeName(engine_.StartMessage(outcome).c_str()), MessageIcon::Error);
    PostRequest(*this, kRequestReceptionEnded);
}

void CPpgReadReceive::ShowCounting() {
    StatusLine()->setText(QString::fromLatin1(measure::kCheckingDataText));
    CountLine()->clear();
}

void CPpgReadReceive::ShowUnitStarted(int unitIndex) {
    StatusLine()->setText(QString::fromStdString(measure::ReadingUnitText(unitIndex)));
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
    QString message = QString::fromLatin1(measure::EndMessage(endOutcome_));
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
    QCoreApplication::removePostedEvents(this, EventType(WM_TRANSFER_PROGRESS));
    QCoreApplication::removePostedEvents(this, EventType(WM_READ_WRITER_END));
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
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
