// The launcher window: the heading between the top edge and an etched line, the Japanese and the
// English picture button each beside a picture that explains it, and CANCEL under a second
// etched line. CANCEL comes first in dialog order, so it has the focus when the window opens.
#pragma once

#include <array>

#include "controls/dialog_layout.h"

namespace install_ids {
inline constexpr int kCancel = 2;
inline constexpr int kJapanese = 1000;
inline constexpr int kEnglish = 1001;
// The two explanation pictures have no identifier of their own; these find them in the window.
inline constexpr int kJapaneseNote = 139;
inline constexpr int kEnglishNote = 140;
} // namespace install_ids

namespace layouts {

inline constexpr std::array kInstallControls = {
    DialogControl{install_ids::kCancel, ControlKind::PushButton, 121, 139, 50, 14, "CANCEL",
                  kStyleTabStop},
    // Both language buttons become picture buttons when the window opens.
    DialogControl{install_ids::kJapanese, ControlKind::PushButton, 20, 43, 50, 30, "日本語",
                  kStyleTabStop},
    DialogControl{install_ids::kEnglish, ControlKind::PushButton, 20, 88, 50, 30, "English",
                  kStyleTabStop},
    DialogControl{kNoControlId, ControlKind::Static, 4, 11, 180, 8,
                  "Application Software for K720 BATTERY TARVELIN", kStyleCenter},
    DialogControl{kNoControlId, ControlKind::Frame, 0, 27, 184, 1},
    DialogControl{kNoControlId, ControlKind::Frame, 0, 131, 184, 1},
    DialogControl{install_ids::kJapaneseNote, ControlKind::Picture, 85, 44, 87, 30, "",
                  kStyleSunken},
    DialogControl{install_ids::kEnglishNote, ControlKind::Picture, 85, 89, 20, 20, "",
                  kStyleSunken},
};
inline constexpr DialogResource kInstall{187, 160, kInstallControls};

} // namespace layouts
