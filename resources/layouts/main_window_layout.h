// The main window: the logo and the program's name in the upper strip, a separator, and the
// invisible frame that gives every page its place and size.
#pragma once

#include <array>

#include "base/texts.h"
#include "controls/dialog_layout.h"

namespace main_window_ids {
inline constexpr int kLogo = 1000;
inline constexpr int kPageFrame = 1001;
inline constexpr int kNameLine1 = 1123;
inline constexpr int kNameLine2 = 1124;
} // namespace main_window_ids

namespace layouts {

inline constexpr std::array kMainWindowControls = {
    DialogControl{main_window_ids::kLogo, ControlKind::Picture, 10, 6, 62, 16},
    DialogControl{main_window_ids::kNameLine1, ControlKind::Static, 99, 5, 140, 8,
                  K720_TEXT("Dialog", "Application Software"), kStyleRight},
    DialogControl{main_window_ids::kNameLine2, ControlKind::Static, 99, 15, 140, 8,
                  "for K720 BATTERY TARVELIN", kStyleRight},
    DialogControl{kNoControlId, ControlKind::Frame, 0, 27, 250, 1},
    DialogControl{main_window_ids::kPageFrame, ControlKind::Frame, 10, 33, 230, 160, "",
                  kStyleHidden},
};
inline constexpr DialogResource kMainWindow{250, 200, kMainWindowControls};

} // namespace layouts
