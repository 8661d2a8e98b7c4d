#include "read_do_page.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "color_button.h"
#include "fonts.h"
#include "layouts/read_do_layout.h"
#include "page_requests.h"

CPpgReadDo::CPpgReadDo(QWidget* parent) : CPage(layouts::kReadDo, parent) {
    CancelButton()->SetFaceColor(button_colors::kGreen).SetTextColor(button_colors::kCaptionWhite);
    CancelButton()->setFont(g_font16);
    OkButton()->SetFaceColor(button_colors::kBlue).SetTextColor(button_colors::kCaptionWhite);
    OkButton()->setFont(g_font16);
    Control<QLabel>(read_do_ids::kTitle)->setFont(g_font15);
    connect(CancelButton(), &QPushButton::clicked, this, [this] {
        // Changes since the last OK are thrown away.
        ShowAcceptedDestination();
        PostRequest(*this, kRequestBackFromReadDo);
    });
}

void CPpgReadDo::SetAcceptedDestination(const QString& folder, const QString& fileName) {
    acceptedFolder_ = folder;
    acceptedFileName_ = fileName;
    ShowAcceptedDestination();
}

void CPpgReadDo::ShowAcceptedDestination() {
    FolderField()->setText(acceptedFolder_);
    FileNameField()->setText(acceptedFileName_);
}

CColorButton* CPpgReadDo::CancelButton() const {
    return Control<CColorButton>(read_do_ids::kCancel);
}

CColorButton* CPpgReadDo::OkButton() const {
    return Control<CColorButton>(read_do_ids::kOk);
}

QLineEdit* CPpgReadDo::FolderField() const {
    return Control<QLineEdit>(read_do_ids::kFolder);
}

QLineEdit* CPpgReadDo::FileNameField() const {
    return Control<QLineEdit>(read_do_ids::kFileName);
}
