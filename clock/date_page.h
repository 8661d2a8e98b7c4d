// CPpgDate: the set clock page. Five number fields (year, month, day, hour, minute), each with a
// spin button that writes its value into the field, "Set" and "Back" (request 21).
#pragma once

#include <QWidget>

#include "page.h"

class CColorButton;
class QLineEdit;
class QToolButton;

// An up/down pair of arrows that steps an integer within a range, wrapping at both ends, and
// writes it into its buddy field. The arrow keys in the buddy step it too.
class CSpinButton : public QWidget {
    Q_OBJECT

public:
    CSpinButton(QLineEdit& buddy, QWidget* parent);

    void SetRange(int low, int high);
    int Low() const { return low_; }
    int High() const { return high_; }

    // Sets the position (clamped to the range) and writes it into the buddy.
    void SetPosition(int value);
    int Position() const { return position_; }

    // One step up (+1) or down (-1), from the number in the buddy when it holds one.
    void Step(int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit& buddy_;
    QToolButton* up_;
    QToolButton* down_;
    int low_ = 0;
    int high_ = 100;
    int position_ = 0;
};

class CPpgDate : public CPage {
    Q_OBJECT

public:
    explicit CPpgDate(QWidget* parent = nullptr);

    CColorButton* BackButton() const;
    CColorButton* SetButton() const;
    // The spin button with identifier `id` (1051, 1053, 1055, 1057, 1059), or nullptr.
    CSpinButton* Spin(int id) const;
};
