// The deletion confirmation page CPpgEraseDo: what will be deleted, the question, Cancel and OK.
#pragma once

#include <array>

#include "base/texts.h"
#include "controls/dialog_layout.h"

namespace erase_do_ids {
inline constexpr int kCancel = 1023;
inline constexpr int kOk = 1024;
inline constexpr int kTitle = 1118;
inline constexpr int kUnitLine = 1025;
inline constexpr int kStatus = 1026;
} // namespace erase_do_ids

namespace layouts {

inline constexpr std::array kEraseDoControls = {
    DialogControl{erase_do_ids::kCancel, ControlKind::ColorButton, 25, 88, 80, 53,
                  K720_TEXT("Dialog", "Cancel"), kStyleTabStop},
    DialogControl{erase_do_ids::kOk, ControlKind::ColorButton, 121, 88, 80, 53,
                  K720_TEXT("Dialog", "OK"), kStyleTabStop},
    DialogControl{erase_do_ids::kTitle, ControlKind::Static, 116, 17, 90, 12,
                  K720_TEXT("Dialog", "Delete Data"), kStyleCenter},
    DialogControl{erase_do_ids::kUnitLine, ControlKind::Static, 81, 41, 120, 8,
                  K720_TEXT("Dialog", "This will delete unit [ A ]."), kStyleRight},
    DialogControl{erase_do_ids::kStatus, ControlKind::Static, 81, 70, 120, 8,
                  K720_TEXT("Dialog", "Do you want to proceed?"), kStyleRight},
};
inline constexpr DialogResource kEraseDo{230, 160, kEraseDoControls};

} // namespace layouts
