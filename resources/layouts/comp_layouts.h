// The comparator table pages: the menu page CPpgCompChoice, the reception page
// CPpgCompTransmitDo and the transmission page CPpgCompTransmitSend.
#pragma once

#include <array>

#include "base/texts.h"
#include "controls/dialog_layout.h"

namespace comp_choice_ids {
inline constexpr int kTitle = 1119;
inline constexpr int kCancel = 1075;
inline constexpr int kNewFile = 1076;
inline constexpr int kEditFile = 1077;
inline constexpr int kEditInstrumentData = 1098;
} // namespace comp_choice_ids

// The two transfer pages share one shape: a heading, a status line, a counter and a bar.
struct CompTransferIds {
    int title;
    int status;
    int counter;
    int progress;
};
inline constexpr CompTransferIds kCompTransmitDoIds{1121, 1111, 1112, 1110};
inline constexpr CompTransferIds kCompTransmitSendIds{1120, 1083, 1084, 1082};

namespace layouts {

inline constexpr std::array kCompChoiceControls = {
    DialogControl{comp_choice_ids::kTitle, ControlKind::Static, 20, 17, 90, 12,
                  K720_TEXT("Dialog", "COMP Table"), kStyleCenter},
    DialogControl{comp_choice_ids::kCancel, ControlKind::ColorButton, 25, 88, 80, 53,
                  K720_TEXT("Dialog", "Cancel"), kStyleTabStop},
    DialogControl{comp_choice_ids::kNewFile, ControlKind::ColorButton, 121, 16, 80, 35,
                  K720_TEXT("Dialog", "New File"), kStyleTabStop},
    DialogControl{comp_choice_ids::kEditFile, ControlKind::ColorButton, 121, 61, 80, 35,
                  K720_TEXT("Dialog", "Edit File"), kStyleTabStop},
    DialogControl{comp_choice_ids::kEditInstrumentData, ControlKind::ColorButton, 121, 106, 80, 35,
                  K720_TEXT("Dialog", "Edit K720 data"), kStyleTabStop},
};
inline constexpr DialogResource kCompChoice{230, 160, kCompChoiceControls};

inline constexpr std::array kCompTransmitDoControls = {
    DialogControl{1121, ControlKind::Static, 34, 17, 160, 12,
                  K720_TEXT("Dialog", "Read COMP table from K720.")},
    DialogControl{1111, ControlKind::Static, 25, 46, 110, 8,
                  K720_TEXT("Dialog", "Preparing to receive .......")},
    DialogControl{1112, ControlKind::Static, 139, 46, 60, 8, "", kStyleRight},
    DialogControl{1110, ControlKind::ProgressBar, 25, 58, 176, 16},
};
inline constexpr DialogResource kCompTransmitDo{230, 160, kCompTransmitDoControls};

inline constexpr std::array kCompTransmitSendControls = {
    DialogControl{1120, ControlKind::Static, 34, 17, 160, 12,
                  K720_TEXT("Dialog", "Transfer COMP table to K720.")},
    DialogControl{1083, ControlKind::Static, 25, 46, 110, 8,
                  K720_TEXT("Dialog", "Checking data .......")},
    DialogControl{1084, ControlKind::Static, 139, 46, 60, 8, "", kStyleRight},
    DialogControl{1082, ControlKind::ProgressBar, 25, 58, 176, 16},
};
inline constexpr DialogResource kCompTransmitSend{230, 160, kCompTransmitSendControls};

} // namespace layouts
