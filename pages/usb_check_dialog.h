// CUsbCheckDlg: the small window "Checking USB connection ...." that the main window runs
// modally at start-up. 100 ms after it opens it scans the candidate ports for the instrument off
// the user-interface thread, so it stays painted while silent ports use up their budgets; then it
// closes itself. The main window says, after it has closed, when no instrument answered
// (ScanFailed). The program goes on with or without an instrument.
#pragma once

#include <string>

#include <QDialog>
#include <QString>

#include "controls/dialog_layout.h"
#include "controls/dialogs.h"

class CUsbCheckDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kScanDelayMs = 100;

    explicit CUsbCheckDlg(QWidget* parent = nullptr);

    const DialogLayout& Layout() const { return layout_; }

    // After the window has closed: true when the scan ran and found no instrument.
    bool ScanFailed() const { return scanFailed_; }
    // The message box's text and icon then.
    QString FailureMessage() const { return NoInstrumentMessage(accessHint_); }
    MessageIcon FailureIcon() const { return NoInstrumentIcon(accessHint_); }

    // The text of the message box after a failed scan: first, on a line of its own, why a port
    // could not be opened (another program holds it, or a permission is missing) when that was
    // why, then the message.
    static QString NoInstrumentMessage(const std::string& accessHint);
    // Information when nothing answered; a warning when a port was refused, since the user has
    // something to set right.
    static MessageIcon NoInstrumentIcon(const std::string& accessHint);

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void CheckConnection();

    DialogLayout layout_;
    bool scanScheduled_ = false;
    bool scanFailed_ = false;
    std::string accessHint_;
};
