// The base of the two unit selection pages, CPpgReadChoice and CPpgEraseChoice: Cancel, the
// twelve unit buttons, "ALL UNITs", a title and a status line. A unit button posts the page's
// "unit chosen" request with the unit's code (1 << i, 4096 for all units); Cancel puts the page
// back into its checking look and posts the page's "back" request.
#pragma once

#include <array>

#include <QColor>

#include "layouts/unit_choice_layouts.h"
#include "page.h"

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
};

class CUnitChoicePage : public CPage {
    Q_OBJECT

public:
    static constexpr int kUnitButtons = 12;

    CUnitChoicePage(const UnitChoiceKind& kind, QWidget* parent);

    // The checking look: Cancel pale green and disabled, every unit button and "ALL UNITs" pale
    // and disabled, the status line "Checking data .......".
    void ResetToCheckingState();

    const UnitChoiceKind& Kind() const { return kind_; }
    CColorButton* CancelButton() const;
    // Unit i (0 to 11, the order A b C d E F G H J L n P).
    CColorButton* UnitButton(int index) const;
    CColorButton* AllUnitsButton() const;
    QLabel* StatusLine() const;

private:
    UnitChoiceKind kind_;
};
