// The three menu pages: the top menu with its two picture buttons and "Exit", the read/delete
// menu and the comparator/clock menu, three large buttons each.
#pragma once

#include <array>

#include "base/texts.h"
#include "controls/dialog_layout.h"

namespace main_menu_ids {
inline constexpr int kReadDelete = 1002;
inline constexpr int kCompClock = 1003;
inline constexpr int kExit = 1004;
} // namespace main_menu_ids

namespace data_read_erase_ids {
inline constexpr int kBack = 1005;
inline constexpr int kRead = 1006;
inline constexpr int kDelete = 1007;
} // namespace data_read_erase_ids

namespace init_comp_date_ids {
inline constexpr int kBack = 1045;
inline constexpr int kCompTable = 1046;
inline constexpr int kSetClock = 1047;
} // namespace init_comp_date_ids

namespace layouts {

// The two picture buttons are sized to their pictures and "Exit" is widened when the page is
// built; the sizes here are the starting ones.
inline constexpr std::array kMainMenuControls = {
    DialogControl{main_menu_ids::kReadDelete, ControlKind::PushButton, 25, 16, 80, 53, "",
                  kStyleTabStop},
    DialogControl{main_menu_ids::kCompClock, ControlKind::PushButton, 121, 16, 80, 53, "",
                  kStyleTabStop},
    DialogControl{main_menu_ids::kExit, ControlKind::ColorButton, 25, 88, 80, 53,
                  K720_TEXT("Dialog", "Exit"), kStyleTabStop},
};
inline constexpr DialogResource kMainMenu{230, 160, kMainMenuControls};

inline constexpr std::array kDataReadEraseControls = {
    DialogControl{data_read_erase_ids::kBack, ControlKind::ColorButton, 25, 16, 176, 53,
                  K720_TEXT("Dialog", "Back"), kStyleTabStop},
    DialogControl{data_read_erase_ids::kRead, ControlKind::ColorButton, 25, 88, 80, 53,
                  K720_TEXT("Dialog", "Read Data"), kStyleTabStop},
    DialogControl{data_read_erase_ids::kDelete, ControlKind::ColorButton, 121, 88, 80, 53,
                  K720_TEXT("Dialog", "Delete Data"), kStyleTabStop},
};
inline constexpr DialogResource kDataReadErase{230, 160, kDataReadEraseControls};

inline constexpr std::array kInitCompDateControls = {
    DialogControl{init_comp_date_ids::kBack, ControlKind::ColorButton, 25, 16, 176, 53,
                  K720_TEXT("Dialog", "Back"), kStyleTabStop},
    DialogControl{init_comp_date_ids::kCompTable, ControlKind::ColorButton, 25, 88, 80, 53,
                  K720_TEXT("Dialog", "COMP Table"), kStyleTabStop},
    DialogControl{init_comp_date_ids::kSetClock, ControlKind::ColorButton, 121, 88, 80, 53,
                  K720_TEXT("Dialog", "Set Clock"), kStyleTabStop},
};
inline constexpr DialogResource kInitCompDate{230, 160, kInitCompDateControls};

} // namespace layouts
