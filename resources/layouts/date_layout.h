// The set clock page CPpgDate: five number fields (year, month, day, hour, minute), each with a
// spin button and a label, the title, Set and Back.
#pragma once

#include <array>

#include "base/texts.h"
#include "controls/dialog_layout.h"

namespace date_ids {
inline constexpr int kBack = 1048;
inline constexpr int kSet = 1049;
inline constexpr int kTitle = 1113;
inline constexpr int kYear = 1050;
inline constexpr int kYearSpin = 1051;
inline constexpr int kMonth = 1052;
inline constexpr int kMonthSpin = 1053;
inline constexpr int kDay = 1054;
inline constexpr int kDaySpin = 1055;
inline constexpr int kHour = 1056;
inline constexpr int kHourSpin = 1057;
inline constexpr int kMinute = 1058;
inline constexpr int kMinuteSpin = 1059;
} // namespace date_ids

namespace layouts {

inline constexpr ControlStyle kDateField =
    kStyleBorder | kStyleRight | kStyleNumber | kStyleTabStop;

inline constexpr std::array kDateControls = {
    DialogControl{date_ids::kBack, ControlKind::ColorButton, 121, 88, 80, 53,
                  K720_TEXT("Dialog", "Back"), kStyleTabStop},
    DialogControl{date_ids::kSet, ControlKind::ColorButton, 121, 49, 80, 20,
                  K720_TEXT("Dialog", "Set"), kStyleTabStop},
    DialogControl{date_ids::kTitle, ControlKind::Static, 121, 22, 80, 15,
                  K720_TEXT("Dialog", "Set Clock"), kStyleCenter},
    DialogControl{date_ids::kYear, ControlKind::Edit, 25, 23, 40, 15, "", kDateField},
    DialogControl{1125, ControlKind::Static, 68, 28, 27, 8, K720_TEXT("Dialog", "year")},
    DialogControl{date_ids::kMonth, ControlKind::Edit, 25, 48, 40, 15, "", kDateField},
    DialogControl{1126, ControlKind::Static, 68, 53, 27, 8, K720_TEXT("Dialog", "month")},
    DialogControl{date_ids::kDay, ControlKind::Edit, 25, 73, 40, 15, "", kDateField},
    DialogControl{1127, ControlKind::Static, 68, 78, 27, 8, K720_TEXT("Dialog", "day")},
    DialogControl{date_ids::kHour, ControlKind::Edit, 25, 98, 40, 15, "", kDateField},
    DialogControl{1128, ControlKind::Static, 68, 103, 27, 8, K720_TEXT("Dialog", "hour")},
    DialogControl{date_ids::kMinute, ControlKind::Edit, 25, 123, 40, 15, "", kDateField},
    DialogControl{1129, ControlKind::Static, 68, 128, 27, 8, K720_TEXT("Dialog", "minute")},
};
inline constexpr DialogResource kDate{230, 160, kDateControls};

// The spin buttons, which the page builds itself: each stands at its own place (not beside its
// field) and writes its value into `buddy`.
struct SpinControl {
    int id;
    int buddy;
    int x;
    int y;
    int w;
    int h;
};

inline constexpr std::array kDateSpins = {
    SpinControl{date_ids::kYearSpin, date_ids::kYear, 95, 22, 10, 17},
    SpinControl{date_ids::kMonthSpin, date_ids::kMonth, 95, 47, 10, 17},
    SpinControl{date_ids::kDaySpin, date_ids::kDay, 95, 72, 10, 17},
    SpinControl{date_ids::kHourSpin, date_ids::kHour, 95, 97, 10, 17},
    SpinControl{date_ids::kMinuteSpin, date_ids::kMinute, 95, 122, 10, 17},
};

} // namespace layouts
