// CUsbCheckDlg: the small window "Checking USB connection ...." that the main window runs
// modally at start-up. 100 ms after it opens it scans the candidate ports for the instrument off
// the user-interface thread, so it stays painted while silent ports use up their budgets; then it
// closes itself. The main window says, after it has closed, when no instrument answered
// (ScanFailed). The program goes on with or without an instrument.
#pragma once

#include <string>

#include <QDialog>
#include <QString>

#include "dialog_layout.h"

class CUsbCheckDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kScanDelayMs = 100;

    explicit CUsbCheckDlg(QWidget* parent = nullptr);

    const DialogLayout& Layout() const { return layout_; }

    // After the window has closed: true when the scan ran and found no instrument.
    bool ScanFailed() const { return scanFailed_; }
    // The information box's text then.
    QString FailureMessage() const { return NoInstrumentMessage(accessHint_); }

    // The text of the information box after a failed scan: the message, and on a line of its
    // own how to get access to a port that was refused for lack of permission, when that was why.
    static QString NoInstrumentMessage(const std::string& accessHint);

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
