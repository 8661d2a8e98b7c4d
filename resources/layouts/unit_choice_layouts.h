// The two unit selection pages, mirror images of each other: CPpgReadChoice (units on the right,
// Cancel on the left) and CPpgEraseChoice (units on the left, Cancel on the right). Each has
// Cancel, the twelve unit buttons A b C d E F G H J L n P, "ALL UNITs", a title and a status line.
#pragma once

#include <array>

#include "base/texts.h"
#include "controls/dialog_layout.h"

// Identifiers of one unit selection page; units[i] is the button of unit i (bit i of the unit
// code), in the order A, b, C, d, E, F, G, H, J, L, n, P.
struct UnitChoiceIds {
    int cancel;
    std::array<int, 12> units;
    int allUnits;
    int title;
    int status;
};

inline constexpr UnitChoiceIds kReadChoiceIds{
    1027,
    {1028, 1029, 1030, 1031, 1032, 1033, 1038, 1034, 1035, 1036, 1039, 1037},
    1040,
    1114,
    1041};
inline constexpr UnitChoiceIds kEraseChoiceIds{
    1008,
    {1009, 1010, 1011, 1012, 1013, 1014, 1019, 1015, 1016, 1017, 1020, 1018},
    1021,
    1117,
    1022};

namespace layouts {

inline constexpr ControlStyle kChoiceButton = kStyleTabStop;

inline constexpr std::array kReadChoiceControls = {
    DialogControl{1027, ControlKind::ColorButton, 25, 88, 80, 53, K720_TEXT("Dialog", "Cancel"),
                  kChoiceButton},
    DialogControl{1028, ControlKind::ColorButton, 121, 17, 20, 15, "A", kChoiceButton},
    DialogControl{1029, ControlKind::ColorButton, 152, 17, 20, 15, "b", kChoiceButton},
    DialogControl{1030, ControlKind::ColorButton, 181, 17, 20, 15, "C", kChoiceButton},
    DialogControl{1031, ControlKind::ColorButton, 121, 43, 20, 15, "d", kChoiceButton},
    DialogControl{1032, ControlKind::ColorButton, 152, 43, 20, 15, "E", kChoiceButton},
    DialogControl{1033, ControlKind::ColorButton, 181, 43, 20, 15, "F", kChoiceButton},
    DialogControl{1038, ControlKind::ColorButton, 121, 68, 20, 15, "G", kChoiceButton},
    DialogControl{1034, ControlKind::ColorButton, 152, 68, 20, 15, "H", kChoiceButton},
    DialogControl{1035, ControlKind::ColorButton, 181, 68, 20, 15, "J", kChoiceButton},
    DialogControl{1036, ControlKind::ColorButton, 121, 93, 20, 15, "L", kChoiceButton},
    DialogControl{1039, ControlKind::ColorButton, 152, 93, 20, 15, "n", kChoiceButton},
    DialogControl{1037, ControlKind::ColorButton, 181, 93, 20, 15, "P", kChoiceButton},
    DialogControl{1040, ControlKind::ColorButton, 121, 122, 80, 19,
                  K720_TEXT("Dialog", "ALL UNITs"), kChoiceButton},
    DialogControl{1114, ControlKind::Static, 25, 15, 80, 12, K720_TEXT("Dialog", "Read Data"),
                  kStyleCenter},
    DialogControl{1041, ControlKind::Static, 25, 41, 80, 30,
                  K720_TEXT("Dialog", "Checking data ......."), kStyleCenter},
};
inline constexpr DialogResource kReadChoice{230, 160, kReadChoiceControls};

inline constexpr std::array kEraseChoiceControls = {
    DialogControl{1008, ControlKind::ColorButton, 121, 88, 80, 53, K720_TEXT("Dialog", "Cancel"),
                  kChoiceButton},
    DialogControl{1009, ControlKind::ColorButton, 25, 17, 20, 15, "A", kChoiceButton},
    DialogControl{1010, ControlKind::ColorButton, 56, 17, 20, 15, "b", kChoiceButton},
    DialogControl{1011, ControlKind::ColorButton, 85, 17, 20, 15, "C", kChoiceButton},
    DialogControl{1012, ControlKind::ColorButton, 25, 43, 20, 15, "d", kChoiceButton},
    DialogControl{1013, ControlKind::ColorButton, 56, 43, 20, 15, "E", kChoiceButton},
    DialogControl{1014, ControlKind::ColorButton, 85, 43, 20, 15, "F", kChoiceButton},
    DialogControl{1019, ControlKind::ColorButton, 25, 68, 20, 15, "G", kChoiceButton},
    DialogControl{1015, ControlKind::ColorButton, 56, 68, 20, 15, "H", kChoiceButton},
    DialogControl{1016, ControlKind::ColorButton, 85, 68, 20, 15, "J", kChoiceButton},
    DialogControl{1017, ControlKind::ColorButton, 25, 93, 20, 15, "L", kChoiceButton},
    DialogControl{1020, ControlKind::ColorButton, 56, 93, 20, 15, "n", kChoiceButton},
    DialogControl{1018, ControlKind::ColorButton, 85, 93, 20, 15, "P", kChoiceButton},
    DialogControl{1021, ControlKind::ColorButton, 25, 122, 80, 19, K720_TEXT("Dialog", "ALL UNITs"),
                  kChoiceButton},
    DialogControl{1117, ControlKind::Static, 121, 17, 80, 12, K720_TEXT("Dialog", "Delete Data"),
                  kStyleCenter},
    DialogControl{1022, ControlKind::Static, 121, 41, 80, 30,
                  K720_TEXT("Dialog", "Checking data ......."), kStyleCenter},
};
inline constexpr DialogResource kEraseChoice{230, 160, kEraseChoiceControls};

} // namespace layouts
