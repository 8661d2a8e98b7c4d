#include "pages/about_dialog.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "controls/fonts.h"
#include "resources/images.h"
#include "resources/layouts/about_layout.h"

namespace {

const QColor kBackground(192, 192, 192);
constexpr int kIconPixels = 32;

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    layout_ = DialogLayout::Build(*this, layouts::kAbout, DialogFont());
    setWindowTitle(tr(kTitle));
    layout_.Find<QLabel>(about_ids::kVersion)->setText(tr(kVersionText));
    layout_.Find<QLabel>(about_ids::kIcon)
        ->setPixmap(ProgramIcon().pixmap(kIconPixels, kIconPixels));
    auto* ok = layout_.Find<QPushButton>(about_ids::kOk);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void CAboutDlg::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
}
