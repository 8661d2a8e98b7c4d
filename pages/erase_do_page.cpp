#include "pages/erase_do_page.h"

#include <utility>

#include <QHideEvent>
#include <QLabel>
#include <QPushButton>

#include "controls/color_button.h"
#include "controls/core_text.h"
#include "controls/dialogs.h"
#include "controls/exchange_runner.h"
#include "controls/fonts.h"
#include "controls/window_messages.h"
#include "instrument/discovery.h"
#include "measure/memory_check.h"
#include "pages/page_requests.h"
#include "pages/selected_units.h"
#include "resources/layouts/erase_do_layout.h"

namespace {

// The last count of the animation that adds a dot: "Deleting .........." (ten dots).
constexpr int kLastDotCount = 19;

MessageIcon IconOf(measure::DeletionIcon icon) {
    switch (icon) {
    case measure::DeletionIcon::Warning:
        return MessageIcon::Warning;
    case measure::DeletionIcon::Error:
        return MessageIcon::Error;
    case measure::DeletionIcon::None:
        break;
    }
    return MessageIcon::None;
}

} // namespace

CPpgEraseDo::CPpgEraseDo(QWidget* parent) : CPage(layouts::kEraseDo, parent) {
    CancelButton()->SetFaceColor(button_colors::kGreen).SetTextColor(button_colors::kCaptionWhite);
    CancelButton()->setFont(g_font16);
    OkButton()->SetFaceColor(button_colors::kRed).SetTextColor(button_colors::kCaptionWhite);
    OkButton()->setFont(g_font16);
    Control<QLabel>(erase_do_ids::kTitle)->setFont(g_font15);
    connect(CancelButton(), &QPushButton::clicked, this,
            [this] { PostRequest(*this, kRequestBackFromEraseDo); });
    connect(OkButton(), &QPushButton::clicked, this, &CPpgEraseDo::StartDeletion);

    // Restarting the timer on a second activation confirms once, after the last one.
    activationTimer_.setSingleShot(true);
    activationTimer_.setInterval(kActivationDelayMs);
    connect(&activationTimer_, &QTimer::timeout, this, &CPpgEraseDo::Confirm);
    animationTimer_.setInterval(kAnimationPeriodMs);
    connect(&animationTimer_, &QTimer::timeout, this, &CPpgEraseDo::Animate);
}

bool CPpgEraseDo::event(QEvent* event) {
    if (event->type() == EventType(WM_PAGE_ACTIVATE)) {
        activationTimer_.start();
        return true;
    }
    return CPage::event(event);
}

void CPpgEraseDo::hideEvent(QHideEvent* event) {
    // Hidden for good (the window closing): a deletion still running is ended within its reply
    // budget and its outcome dropped, so the page is ready when it is shown again.
    if (!event->spontaneous()) {
        activationTimer_.stop();
        if (deleting_) {
            InstrumentExchanges().Abandon(*this);
            EndDeletion();
        }
    }
    CPage::hideEvent(event);
}

void CPpgEraseDo::Confirm() {
    // A code that names no unit leaves the line as it was.
    const std::string unitText = measure::DeletionUnitText(g_selectedUnitForDeletion);
    if (!unitText.empty()) {
        UnitLine()->setText(CoreText(unitText));
    }
    // The status line belongs to a deletion started meanwhile.
    if (!deleting_) {
        StatusLine()->setText(CoreText(measure::kProceedQuestionText));
    }
}

void CPpgEraseDo::StartDeletion() {
    // While another exchange ends (its worker may still write the port and the mask), the page
    // stays ready for another OK.
    if (deleting_ || InstrumentExchanges().Running()) {
        return;
    }
    // Taken here, on the user-interface thread, where discovery and the memory check leave them.
    const measure::DeletionRequest request{g_selectedUnitForDeletion, g_unitDataMask,
                                           g_instrumentPort};
    const bool started = InstrumentExchanges().Start(
        *this,
        [request](std::stop_token stop) { return measure::DeleteUnits(request, std::move(stop)); },
        [this](measure::DeletionOutcome outcome) { ShowOutcome(outcome); });
    if (!started) {
        return;
    }
    deleting_ = true;
    CancelButton()->SetFaceColor(button_colors::kPaleGreen);
    CancelButton()->setEnabled(false);
    OkButton()->SetFaceColor(button_colors::kPaleRed);
    OkButton()->setEnabled(false);
    StatusLine()->setText(CoreText(measure::kDeletingText));
    animationCount_ = 0;
    animationTimer_.start();
}

void CPpgEraseDo::Animate() {
    ++animationCount_;
    // "Deleting ." at 1, one more dot at each odd count up to 19; other counts keep the text.
    if (animationCount_ % 2 == 1 && animationCount_ <= kLastDotCount) {
        const int dots = (animationCount_ + 1) / 2;
        StatusLine()->setText(tr("Deleting %1").arg(QString(dots, QLatin1Char('.'))));
    }
}

void CPpgEraseDo::ShowOutcome(measure::DeletionOutcome outcome) {
    const measure::DeletionReport report = measure::DeletionReportOf(outcome);
    // The status line keeps its last text while the message is open; the buttons stay disabled
    // until it is closed.
    animationTimer_.stop();
    if (report.message[0] != '\0') {
        ShowMessageBox(CoreText(report.message), IconOf(report.icon));
    }
    if (report.statusLine != nullptr) {
        StatusLine()->setText(CoreText(report.statusLine));
    }
    EndDeletion();
    switch (report.next) {
    case measure::DeletionNext::StayOnPage:
        OkButton()->setFocus(Qt::OtherFocusReason); // Enter tries again
        break;
    case measure::DeletionNext::Erased:
        PostRequest(*this, kRequestErased);
        break;
    case measure::DeletionNext::Failed:
        PostRequest(*this, kRequestEraseFailed);
        break;
    }
}

void CPpgEraseDo::EndDeletion() {
    animationTimer_.stop();
    animationCount_ = 0;
    deleting_ = false;
    CancelButton()->SetFaceColor(button_colors::kGreen);
    CancelButton()->setEnabled(true);
    OkButton()->SetFaceColor(button_colors::kRed);
    OkButton()->setEnabled(true);
}

CColorButton* CPpgEraseDo::CancelButton() const {
    return Control<CColorButton>(erase_do_ids::kCancel);
}

CColorButton* CPpgEraseDo::OkButton() const {
    return Control<CColorButton>(erase_do_ids::kOk);
}

QLabel* CPpgEraseDo::UnitLine() const {
    return Control<QLabel>(erase_do_ids::kUnitLine);
}

QLabel* CPpgEraseDo::StatusLine() const {
    return Control<QLabel>(erase_do_ids::kStatus);
}
