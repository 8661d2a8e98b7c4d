// The about box: the program icon, the program's name in a sunken frame, the version line, a
// rule, the publisher's notice and OK.
#pragma once

#include <array>

#include "base/texts.h"
#include "controls/dialog_layout.h"

namespace about_ids {
inline constexpr int kOk = 1;
inline constexpr int kIcon = 1135;
inline constexpr int kVersion = 1136;
} // namespace about_ids

namespace layouts {

inline constexpr std::array kAboutControls = {
    DialogControl{about_ids::kIcon, ControlKind::Picture, 14, 14, 21, 20},
    DialogControl{kNoControlId, ControlKind::Frame, 45, 10, 152, 34, "", kStyleSunken},
    DialogControl{kNoControlId, ControlKind::Static, 50, 16, 142, 8,
                  K720_TEXT("Dialog", "Application Software"), kStyleCenter},
    DialogControl{kNoControlId, ControlKind::Static, 50, 28, 142, 8, "for K720 BATTERY TARVELIN",
                  kStyleCenter},
    DialogControl{about_ids::kVersion, ControlKind::Static, 45, 52, 152, 8,
                  K720_TEXT("Dialog", "Version"), kStyleCenter},
    DialogControl{kNoControlId, ControlKind::Frame, 7, 68, 197, 1},
    DialogControl{kNoControlId, ControlKind::Static, 14, 78, 183, 8,
                  K720_TEXT("Dialog", "Companion software for the K720 battery tester.")},
    DialogControl{kNoControlId, ControlKind::Static, 14, 90, 183, 8,
                  K720_TEXT("Dialog", "Reads and deletes the stored measurement data,")},
    DialogControl{kNoControlId, ControlKind::Static, 14, 102, 183, 8,
                  K720_TEXT("Dialog", "keeps comparator tables and sets the clock.")},
    DialogControl{kNoControlId, ControlKind::Static, 14, 114, 183, 8,
                  "Copyright (C) the K720 companion developers."},
    DialogControl{about_ids::kOk, ControlKind::PushButton, 80, 136, 50, 14,
                  K720_TEXT("Dialog", "OK"), kStyleTabStop},
};
inline constexpr DialogResource kAbout{211, 160, kAboutControls};

} // namespace layouts
