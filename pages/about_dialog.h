// CAboutDlg: the about box, opened from the main window (F1, or the logo's context menu). It
// shows the program icon, the program's name, "Version 1.03", the publisher's notice and OK.
#pragma once

#include <QDialog>

#include "controls/dialog_layout.h"

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr char kTitle[] = QT_TR_NOOP("About K720Application");
    static constexpr char kVersionText[] = QT_TR_NOOP("Version 1.03");

    explicit CAboutDlg(QWidget* parent = nullptr);

    const DialogLayout& Layout() const { return layout_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DialogLayout layout_;
};
