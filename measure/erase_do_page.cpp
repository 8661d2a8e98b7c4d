#include "erase_do_page.h"

#include <QLabel>
#include <QPushButton>

#include "color_button.h"
#include "fonts.h"
#include "layouts/erase_do_layout.h"
#include "page_requests.h"

CPpgEraseDo::CPpgEraseDo(QWidget* parent) : CPage(layouts::kEraseDo, parent) {
    CancelButton()->SetFaceColor(button_colors::kGreen).SetTextColor(button_colors::kCaptionWhite);
    CancelButton()->setFont(g_font16);
    OkButton()->SetFaceColor(button_colors::kRed).SetTextColor(button_colors::kCaptionWhite);
    OkButton()->setFont(g_font16);
    Control<QLabel>(erase_do_ids::kTitle)->setFont(g_font15);
    connect(CancelButton(), &QPushButton::clicked, this,
            [this] { PostRequest(*this, kRequestBackFromEraseDo); });
}

CColorButton* CPpgEraseDo::CancelButton() const {
    return Control<CColorButton>(erase_do_ids::kCancel);
}

CColorButton* CPpgEraseDo::OkButton() const {
    return Control<CColorButton>(erase_do_ids::kOk);
}
