// The base of the two unit selection pages, CPpgReadChoice and CPpgEraseChoice: Cancel, the
// twelve unit buttons, "ALL UNITs", a title and a status line.
//
// Each activation runs the memory check 100 ms later (once per activation), off the
// user-interface thread, while the page keeps its checking look; its outcome sets the
// ready look (the units that hold data active, the others pale and disabled) or, when it failed,
// shows the failure and posts the page's "back" request. A unit button posts the page's "unit
// chosen" request with the unit's code (1 << i, 4096 for all units); Cancel puts the page back
// into its checking look and posts the "back" request. Shown again without an activation, the page
// keeps the look it had.
#pragma once

#include <QColor>
#include <QTimer>

#include "controls/page.h"
#include "measure/memory_check.h"
#include "resources/layouts/unit_choice_layouts.h"

class CColorButton;
class QLabel;

// What tells the twins apart.
struct UnitChoiceKind {
    const DialogResource* resource;
    UnitChoiceIds ids;
    QColor activeFace; // a unit that can be chosen
    QColor paleFace;   // a unit that cannot be chosen, and every unit while checking
    int backRequest;
    int unitRequest;
    const char* readyText; // the status line when at least one unit holds data
};

class CUnitChoicePage : public CPage {
    Q_OBJECT

public:
    static constexpr int kUnitButtons = 12;
    // From the activation to the memory check.
    static constexpr int kCheckDelayMs = 100;

    CUnitChoicePage(const UnitChoiceKind& kind, QWidget* parent);

    // The checking look: Cancel pale green and disabled, every unit button and "ALL UNITs" pale
    // and disabled, the status line "Checking data .......".
    void ResetToCheckingState();
    // The ready look after a check that found the units of `unitDataMask` holding data: Cancel
    // green, enabled and focused; each unit active or pale; "ALL UNITs" active when any unit
    // holds data; the status line the page's ready text or "No Data.".
    void ShowCheckedUnits(int unitDataMask);

    const UnitChoiceKind& Kind() const { return kind_; }
    CColorButton* CancelButton() const;
    // Unit i (0 to 11, the order A b C d E F G H J L n P).
    CColorButton* UnitButton(int index) const;
    CColorButton* AllUnitsButton() const;
    QLabel* StatusLine() const;

protected:
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Starts the memory check on the exchange runner; its outcome arrives in ShowCheckOutcome.
    void RunMemoryCheck();
    void ShowCheckOutcome(const measure::MemoryCheckOutcome& outcome);

    UnitChoiceKind kind_;
    QTimer checkTimer_;
};
