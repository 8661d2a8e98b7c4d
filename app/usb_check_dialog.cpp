#include "usb_check_dialog.h"

#include <string>

#include <QPainter>
#include <QTimer>

#include "dialogs.h"
#include "discovery.h"
#include "fonts.h"
#include "layouts/usb_check_layout.h"

namespace {

const QColor kBackground(192, 192, 192);
const QColor kBorder(0, 0, 0);

} // namespace

CUsbCheckDlg::CUsbCheckDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    layout_ = DialogLayout::Build(*this, layouts::kUsbCheck, DialogFont());
    setModal(true);
}

QString CUsbCheckDlg::NoInstrumentMessage(const std::string& accessHint) {
    QString text = QString::fromLatin1(kNoInstrumentText);
    if (!accessHint.empty()) {
        text += QLatin1Char('\n') + QString::fromLocal8Bit(accessHint);
    }
    return text;
}

void CUsbCheckDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!scanScheduled_) {
        scanScheduled_ = true;
        QTimer::singleShot(kScanDelayMs, this, &CUsbCheckDlg::CheckConnection);
    }
}

void CUsbCheckDlg::CheckConnection() {
    if (PortScan() != 0) {
        ShowMessageBox(NoInstrumentMessage(ScanAccessHint()), MessageIcon::Information);
    }
    // Closed after the current handler has returned, like a posted close request.
    QMetaObject::invokeMethod(this, &QDialog::accept, Qt::QueuedConnection);
}

void CUsbCheckDlg::paintEvent(QPaintEvent* /*event*/) {
    // Grey face and a thin border: the window has no title bar or frame of its own.
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setPen(kBorder);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
