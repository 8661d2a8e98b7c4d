// The reception page CPpgReadReceive: the unit being read, the status line, the count of readings
// received, the progress bar, the time remaining and Cancel.
#pragma once

#include <array>

#include "base/texts.h"
#include "controls/dialog_layout.h"

namespace read_receive_ids {
inline constexpr int kCancel = 1069;
inline constexpr int kTitle = 1116;
inline constexpr int kUnitLine = 1074;
inline constexpr int kStatus = 1072;
inline constexpr int kCount = 1073;
inline constexpr int kProgress = 1071;
inline constexpr int kRemainingLabel = 1133;
inline constexpr int kRemaining = 1122;
} // namespace read_receive_ids

namespace layouts {

inline constexpr std::array kReadReceiveControls = {
    DialogControl{read_receive_ids::kCancel, ControlKind::ColorButton, 121, 88, 80, 53,
                  K720_TEXT("Dialog", "Cancel"), kStyleTabStop},
    DialogControl{read_receive_ids::kTitle, ControlKind::Static, 40, 15, 46, 25,
                  K720_TEXT("Dialog", "Read Data")},
    DialogControl{kNoControlId, ControlKind::Static, 91, 17, 16, 8, "............"},
    DialogControl{read_receive_ids::kUnitLine, ControlKind::Static, 107, 17, 110, 8,
                  K720_TEXT("Dialog", "Unit [ X ].")},
    DialogControl{read_receive_ids::kStatus, ControlKind::Static, 25, 46, 120, 8,
                  K720_TEXT("Dialog", "Reading unit [ X ] .......")},
    DialogControl{read_receive_ids::kCount, ControlKind::Static, 149, 46, 50, 8, "X / X",
                  kStyleRight},
    DialogControl{read_receive_ids::kProgress, ControlKind::ProgressBar, 25, 58, 176, 16},
    DialogControl{read_receive_ids::kRemainingLabel, ControlKind::Static, 25, 88, 90, 8,
                  K720_TEXT("Dialog", "Time remaining :")},
    DialogControl{read_receive_ids::kRemaining, ControlKind::Static, 25, 103, 90, 8,
                  K720_TEXT("Dialog", "10 min 30 sec"), kStyleCenter},
};
inline constexpr DialogResource kReadReceive{230, 160, kReadReceiveControls};

} // namespace layouts
