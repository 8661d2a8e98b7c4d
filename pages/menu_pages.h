// The three menu pages through which the user reaches every operation. Each shows three large
// buttons and, when one is used (click, or Enter while it has the focus), posts its fixed
// page-switch request to the main window:
//   CPpgMain           read/delete picture (0), COMP/clock picture (1), "Exit" (2)
//   CPpgDataReadErase  "Back" (3), "Read Data" (4), "Delete Data" (5)
//   CPpgInitCompDate   "Back" (18), "COMP Table" (19), "Set Clock" (20)
#pragma once

#include <array>

#include <QColor>

#include "controls/page.h"

class CBitmapButton;
class CColorButton;

// One coloured button of a menu page: where it is, how it looks, what it asks for.
struct MenuButton {
    int id;
    QColor face;
    int request;
};

// A menu page of three coloured buttons.
class CMenuPage : public CPage {
    Q_OBJECT

public:
    CMenuPage(const DialogResource& resource, const std::array<MenuButton, 3>& buttons,
              QWidget* parent);

    CColorButton* Button(int id) const;
};

class CPpgMain : public CPage {
    Q_OBJECT

public:
    explicit CPpgMain(QWidget* parent = nullptr);

    // False when a picture of the two picture buttons could not be loaded; the page is then of
    // no use (the program's resources always hold them).
    bool PicturesLoaded() const { return picturesLoaded_; }

    CBitmapButton* ReadDeleteButton() const { return readDelete_; }
    CBitmapButton* CompClockButton() const { return compClock_; }
    CColorButton* ExitButton() const;
    // The page's button with identifier `id` (1002, 1003 or 1004), or nullptr.
    QWidget* Button(int id) const;

private:
    CBitmapButton* ReplaceWithPictureButton(int id);

    CBitmapButton* readDelete_ = nullptr;
    CBitmapButton* compClock_ = nullptr;
    bool picturesLoaded_ = false;
};

class CPpgDataReadErase : public CMenuPage {
    Q_OBJECT

public:
    explicit CPpgDataReadErase(QWidget* parent = nullptr);
};

class CPpgInitCompDate : public CMenuPage {
    Q_OBJECT

public:
    explicit CPpgInitCompDate(QWidget* parent = nullptr);
};
