#include "read_receive_page.h"

#include <QLabel>

#include "color_button.h"
#include "fonts.h"
#include "layouts/read_receive_layout.h"

namespace {

// "Checking data " and fourteen dots.
constexpr char kCheckingText[] = "Checking data ..............";

} // namespace

CPpgReadReceive::CPpgReadReceive(QWidget* parent) : CPage(layouts::kReadReceive, parent) {
    CancelButton()->SetFaceColor(button_colors::kGreen).SetTextColor(button_colors::kCaptionWhite);
    CancelButton()->setFont(g_font16);
    Control<QLabel>(read_receive_ids::kTitle)->setFont(g_font15);
    Control<QLabel>(read_receive_ids::kStatus)->setText(QString::fromLatin1(kCheckingText));
    Control<QLabel>(read_receive_ids::kCount)->clear();
    Control<QLabel>(read_receive_ids::kRemaining)->clear();
}

void CPpgReadReceive::SetDestination(const QString& folder, const QString& fileName) {
    destinationFolder_ = folder;
    destinationFileName_ = fileName;
}

CColorButton* CPpgReadReceive::CancelButton() const {
    return Control<CColorButton>(read_receive_ids::kCancel);
}
