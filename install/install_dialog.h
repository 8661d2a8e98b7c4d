// CInstallDlg: the launcher window. The user picks the Japanese or the English setup program;
// a click on its picture button (or Enter on the focused one) starts it through LaunchSetup and
// closes the window, refuses with "already opened  " and closes while a setup wizard's window is
// open, or shows "shell error  " and stays open when the setup program cannot be started.
// CANCEL, Escape and the close box close the window without starting anything. Messages go
// through the dialog seam (controls/dialogs.h).
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QString>

#include "controls/bitmap_button.h"
#include "controls/dialog_layout.h"
#include "install/setup_launch.h"

class CInstallDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr char kTitle[] = "install";

    explicit CInstallDlg(LauncherSystem& system, QWidget* parent = nullptr);

    // Loads the pictures into the two picture buttons, sizes them to their pictures and shows
    // the explanation pictures. On failure names the picture that could not be loaded; the
    // window must then not be shown.
    [[nodiscard]] bool Open(QString* error);

    QPushButton* CancelButton() const { return cancel_; }
    CBitmapButton* JapaneseButton() const { return japanese_; }
    CBitmapButton* EnglishButton() const { return english_; }
    QLabel* JapaneseNote() const;
    QLabel* EnglishNote() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnLanguage(SetupLanguage language);
    CBitmapButton* BecomePictureButton(int id);

    LauncherSystem& system_;
    DialogLayout layout_;
    QPushButton* cancel_ = nullptr;
    CBitmapButton* japanese_ = nullptr;
    CBitmapButton* english_ = nullptr;
    bool closing_ = false;
};
