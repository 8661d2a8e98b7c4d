#include "pages/unit_choice_page.h"

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
#include "measure/units.h"
#include "pages/page_requests.h"

CUnitChoicePage::CUnitChoicePage(const UnitChoiceKind& kind, QWidget* parent)
    : CPage(*kind.resource, parent), kind_(kind) {
    CancelButton()->setFont(g_font16);
    Control<QLabel>(kind_.ids.title)->setFont(g_font15);
    CancelButton()->SetTextColor(button_colors::kCaptionWhite);
    for (int i = 0; i < kUnitButtons; ++i) {
        UnitButton(i)->SetTextColor(button_colors::kCaptionWhite);
        const int code = measure::UnitCode(i);
        connect(UnitButton(i), &QPushButton::clicked, this,
                [this, code] { PostRequest(*this, kind_.unitRequest, code); });
    }
    AllUnitsButton()->SetTextColor(button_colors::kCaptionWhite);
    connect(AllUnitsButton(), &QPushButton::clicked, this,
            [this] { PostRequest(*this, kind_.unitRequest, measure::kAllUnitsCode); });
    connect(CancelButton(), &QPushButton::clicked, this, [this] {
        ResetToCheckingState();
        PostRequest(*this, kind_.backRequest);
    });

    // Restarting the timer on a second activation keeps it to one check per activation.
    checkTimer_.setSingleShot(true);
    checkTimer_.setInterval(kCheckDelayMs);
    connect(&checkTimer_, &QTimer::timeout, this, &CUnitChoicePage::RunMemoryCheck);
    ResetToCheckingState();
}

bool CUnitChoicePage::event(QEvent* event) {
    if (event->type() == EventType(WM_PAGE_ACTIVATE)) {
        checkTimer_.start();
        return true;
    }
    return CPage::event(event);
}

void CUnitChoicePage::hideEvent(QHideEvent* event) {
    // Left before its check ran (the page switched away, the window closed): the check is
    // dropped. Minimising the window hides nothing for good and keeps it.
    if (!event->spontaneous()) {
        checkTimer_.stop();
    }
    CPage::hideEvent(event);
}

void CUnitChoicePage::RunMemoryCheck() {
    // A page the user has already left asks the instrument nothing and posts nothing.
    if (isHidden()) {
        return;
    }
    const bool started = InstrumentExchanges().Start(
        *this, [](std::stop_token stop) { return measure::CheckMemory(std::move(stop)); },
        [this](const measure::MemoryCheckOutcome& outcome) { ShowCheckOutcome(outcome); });
    if (!started) {
        checkTimer_.start(); // another exchange is ending: check after it
    }
}

void CUnitChoicePage::ShowCheckOutcome(const measure::MemoryCheckOutcome& outcome) {
    const QString message = CoreText(measure::MemoryCheckMessage(outcome.status));
    switch (outcome.status) {
    case measure::MemoryCheckStatus::Checked:
        ShowCheckedUnits(outcome.unitDataMask);
        return;
    case measure::MemoryCheckStatus::NoInstrument:
        // The page keeps the look it has.
        ShowMessageBox(CoreText(WithScanAccessHint(measure::MemoryCheckMessage(outcome.status))),
                       MessageIcon::Error);
        break;
    case measure::MemoryCheckStatus::NoResponse:
        ShowMessageBox(message, MessageIcon::Warning);
        StatusLine()->setText(CoreText(measure::kCheckingUnitsText));
        break;
    }
    PostRequest(*this, kind_.backRequest);
}

void CUnitChoicePage::ResetToCheckingState() {
    CancelButton()->SetFaceColor(button_colors::kPaleGreen);
    CancelButton()->setEnabled(false);
    for (int i = 0; i < kUnitButtons; ++i) {
        UnitButton(i)->SetFaceColor(kind_.paleFace);
        UnitButton(i)->setEnabled(false);
    }
    AllUnitsButton()->SetFaceColor(kind_.paleFace);
    AllUnitsButton()->setEnabled(false);
    StatusLine()->setText(CoreText(measure::kCheckingUnitsText));
}

void CUnitChoicePage::ShowCheckedUnits(int unitDataMask) {
    CancelButton()->SetFaceColor(button_colors::kGreen);
    CancelButton()->setEnabled(true);
    CancelButton()->setFocus(Qt::OtherFocusReason);
    bool anyData = false;
    for (int i = 0; i < kUnitButtons; ++i) {
        const bool holdsData = measure::UnitHoldsData(unitDataMask, i);
        UnitButton(i)->SetFaceColor(holdsData ? kind_.activeFace : kind_.paleFace);
        UnitButton(i)->setEnabled(holdsData);
        anyData = anyData || holdsData;
    }
    AllUnitsButton()->SetFaceColor(anyData ? kind_.activeFace : kind_.paleFace);
    AllUnitsButton()->setEnabled(anyData);
    StatusLine()->setText(CoreText(anyData ? kind_.readyText : measure::kNoDataText));
}

CColorButton* CUnitChoicePage::CancelButton() const {
    return Control<CColorButton>(kind_.ids.cancel);
}

CColorButton* CUnitChoicePage::UnitButton(int index) const {
    return Control<CColorButton>(kind_.ids.units.at(static_cast<std::size_t>(index)));
}

CColorButton* CUnitChoicePage::AllUnitsButton() const {
    return Control<CColorButton>(kind_.ids.allUnits);
}

QLabel* CUnitChoicePage::StatusLine() const {
    return Control<QLabel>(kind_.ids.status);
}
