#include "unit_choice_page.h"

#include <QLabel>
#include <QPushButton>

#include "color_button.h"
#include "fonts.h"
#include "page_requests.h"

namespace {

constexpr char kCheckingText[] = "Checking data .......";

} // namespace

CUnitChoicePage::CUnitChoicePage(const UnitChoiceKind& kind, QWidget* parent)
    : CPage(*kind.resource, parent), kind_(kind) {
    CancelButton()->setFont(g_font16);
    Control<QLabel>(kind_.ids.title)->setFont(g_font15);
    CancelButton()->SetTextColor(button_colors::kCaptionWhite);
    for (int i = 0; i < kUnitButtons; ++i) {
        UnitButton(i)->SetTextColor(button_colors::kCaptionWhite);
        const int code = 1 << i;
        connect(UnitButton(i), &QPushButton::clicked, this,
                [this, code] { PostRequest(*this, kind_.unitRequest, code); });
    }
    AllUnitsButton()->SetTextColor(button_colors::kCaptionWhite);
    connect(AllUnitsButton(), &QPushButton::clicked, this,
            [this] { PostRequest(*this, kind_.unitRequest, kAllUnitsCode); });
    connect(CancelButton(), &QPushButton::clicked, this, [this] {
        ResetToCheckingState();
        PostRequest(*this, kind_.backRequest);
    });
    ResetToCheckingState();
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
    StatusLine()->setText(QString::fromLatin1(kCheckingText));
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
