// CPpgEraseDo: names the unit about to be deleted and asks "Do you want to proceed?". OK deletes
// it in the instrument, off the user-interface thread, while both buttons are pale and disabled
// and the status line counts dots; the outcome's message, status line and page-switch request
// come from the deletion's outcome table. Cancel posts request 8.
#pragma once

#include <QTimer>

#include "controls/page.h"
#include "measure/deletion.h"

class CColorButton;
class QLabel;

class CPpgEraseDo : public CPage {
    Q_OBJECT

public:
    // From the activation to the confirmation lines.
    static constexpr int kActivationDelayMs = 10;
    // One step of the status line's animation while a deletion runs.
    static constexpr int kAnimationPeriodMs = 100;

    explicit CPpgEraseDo(QWidget* parent = nullptr);

    CColorButton* CancelButton() const;
    CColorButton* OkButton() const;
    QLabel* UnitLine() const;
    QLabel* StatusLine() const;
    // From OK until the outcome has been shown.
    bool Deleting() const { return deleting_; }

protected:
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Confirm();
    void StartDeletion();
    void Animate();
    void ShowOutcome(measure::DeletionOutcome outcome);
    // Stops the animation and gives both buttons their ready look.
    void EndDeletion();

    QTimer activationTimer_;
    QTimer animationTimer_;
    // Ticks of the animation since the deletion began; 0 when idle.
    int animationCount_ = 0;
    bool deleting_ = false;
};
