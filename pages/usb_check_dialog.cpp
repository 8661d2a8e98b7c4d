#include "pages/usb_check_dialog.h"

#include <optional>
#include <string>
#include <utility>

#include <QPainter>
#include <QTimer>

#include "controls/core_text.h"
#include "controls/exchange_runner.h"
#include "controls/fonts.h"
#include "instrument/discovery.h"
#include "resources/layouts/usb_check_layout.h"

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
    const QString message = CoreText(kNoInstrumentText);
    if (accessHint.empty()) {
        return message;
    }
    return CoreText(accessHint) + QLatin1Char('\n') + message;
}

MessageIcon CUsbCheckDlg::NoInstrumentIcon(const std::string& accessHint) {
    return accessHint.empty() ? MessageIcon::Information : MessageIcon::Warning;
}

void CUsbCheckDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!scanScheduled_) {
        scanScheduled_ = true;
        QTimer::singleShot(kScanDelayMs, this, &CUsbCheckDlg::CheckConnection);
    }
}

void CUsbCheckDlg::CheckConnection() {
    const bool started = InstrumentExchanges().Start(
        *this, [](std::stop_token stop) { return CheckForInstrument(std::move(stop)); },
        [this](const std::optional<std::string>& failure) {
            scanFailed_ = failure.has_value();
            accessHint_ = failure.value_or(std::string());
            accept();
        });
    if (!started) {
        // Nothing may run before the start-up check; should something still be ending, the
        // pages scan again when they need the instrument.
        accept();
    }
}

void CUsbCheckDlg::paintEvent(QPaintEvent* /*event*/) {
    // Grey face and a thin border: the window has no title bar or frame of its own.
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setPen(kBorder);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
