#include "comp_choice_page.h"

#include <QLabel>
#include <QPushButton>

#include "color_button.h"
#include "fonts.h"
#include "layouts/comp_layouts.h"
#include "page_requests.h"

CPpgCompChoice::CPpgCompChoice(QWidget* parent) : CPage(layouts::kCompChoice, parent) {
    Control<QLabel>(comp_choice_ids::kTitle)->setFont(g_font15);
    const struct {
        int id;
        QColor face;
    } looks[] = {
        {comp_choice_ids::kCancel, button_colors::kGreen},
        {comp_choice_ids::kNewFile, button_colors::kOrange},
        {comp_choice_ids::kEditFile, button_colors::kOrange},
        {comp_choice_ids::kEditInstrumentData, button_colors::kOrange},
    };
    for (const auto& look : looks) {
        Button(look.id)->SetFaceColor(look.face).SetTextColor(button_colors::kCaptionWhite);
        Button(look.id)->setFont(g_font16);
    }
    connect(Button(comp_choice_ids::kCancel), &QPushButton::clicked, this,
            [this] { PostRequest(*this, kRequestBackFromCompChoice); });
    connect(Button(comp_choice_ids::kNewFile), &QPushButton::clicked, this,
            [this] { PostRequest(*this, kRequestNewTable); });
}

CColorButton* CPpgCompChoice::Button(int id) const {
    return Control<CColorButton>(id);
}
