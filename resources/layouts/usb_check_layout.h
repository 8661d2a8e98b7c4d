// The start-up check window: one centred line while the instrument is looked for.
#pragma once

#include <array>

#include "base/texts.h"
#include "controls/dialog_layout.h"

namespace usb_check_ids {
inline constexpr int kMessage = 1137;
} // namespace usb_check_ids

namespace layouts {

inline constexpr std::array kUsbCheckControls = {
    DialogControl{usb_check_ids::kMessage, ControlKind::Static, 0, 22, 130, 8,
                  K720_TEXT("Dialog", "Checking USB connection ...."), kStyleCenter},
};
inline constexpr DialogResource kUsbCheck{130, 52, kUsbCheckControls};

} // namespace layouts
