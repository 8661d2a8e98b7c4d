// CPpgDate: the set clock page. Five number fields (year, month, day, hour, minute), each with a
// spin button that writes its value into the field, "Set" and "Back" (request 21).
//
// Each activation fills the fields from the PC's clock 10 ms later. The year and month spins keep
// the day within the chosen month. "Set" checks the fields (instrument_clock::CheckDay, then
// CheckFields), then sets the instrument's clock off the user-interface thread while the page is
// disabled, and reports the outcome in a message box.
#pragma once

#include <functional>
#include <utility>

#include <QTimer>
#include <QWidget>

#include "clock/clock_setting.h"
#include "controls/page.h"

class CColorButton;
class QLineEdit;
class QToolButton;

// An up/down pair of arrows that steps an integer within a range, wrapping at both ends, and
// writes it into its buddy field. The arrow keys in the buddy step it too.
class CSpinButton : public QWidget {
    Q_OBJECT

public:
    CSpinButton(QLineEdit& buddy, QWidget* parent);

    // Changes the range; the buddy keeps its text until the position is set or stepped.
    void SetRange(int low, int high);
    int Low() const { return low_; }
    int High() const { return high_; }

    // Sets the position (clamped to the range) and writes it into the buddy.
    void SetPosition(int value);
    // The number the buddy shows when it holds one within the range, else the last position set.
    int Position() const;

    // One step up (+1) or down (-1) from Position(), wrapping at the ends of the range. The
    // step handler runs first, with the position about to be taken.
    void Step(int delta);
    void SetStepHandler(std::function<void(int next)> handler) {
        stepHandler_ = std::move(handler);
    }

    QToolButton* UpArrow() const { return up_; }
    QToolButton* DownArrow() const { return down_; }

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
    std::function<void(int next)> stepHandler_;
};

class CPpgDate : public CPage {
    Q_OBJECT

public:
    // From the activation to the filling of the fields.
    static constexpr int kFillDelayMs = 10;

    explicit CPpgDate(QWidget* parent = nullptr);

    CColorButton* BackButton() const;
    CColorButton* SetButton() const;
    QLineEdit* Field(instrument_clock::ClockField field) const;
    // The spin button with identifier `id` (1051, 1053, 1055, 1057, 1059), or nullptr.
    CSpinButton* Spin(int id) const;

protected:
    bool event(QEvent* event) override;

private:
    // The fields, the day's range and the spins from the PC's clock.
    void Fill();
    void OnYearStep(int nextYear);
    void OnMonthStep(int nextMonth);
    void SetClock();
    void ShowOutcome(instrument_clock::ClockOutcome outcome);
    // Everything disabled with the pale faces while the clock is being set, or the ready look.
    void ShowSetting(bool setting);
    void SetDay(int day);

    instrument_clock::ClockSetting fields_;
    QTimer fillTimer_;
};
