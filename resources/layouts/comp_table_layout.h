// The comparator table editor CCompTableDlg: the entry fields in a group box above the list of
// all 200 entries, with Save, Transfer and Cancel beneath.
#pragma once

#include <array>

#include "base/texts.h"
#include "controls/dialog_layout.h"

namespace comp_table_ids {
inline constexpr int kGroup = 1130;
inline constexpr int kPrevious = 1096;
inline constexpr int kTableNumber = 1090;
inline constexpr int kNext = 1097;
inline constexpr int kName = 1093;
inline constexpr int kResistanceRange = 1106;
inline constexpr int kResistanceLimit1 = 1091;
inline constexpr int kResistanceLimit2 = 1092;
inline constexpr int kVoltageRange = 1107;
inline constexpr int kVoltageLimit = 1094;
inline constexpr int kSet = 1095;
inline constexpr int kList = 1101;
inline constexpr int kSave = 1103;
inline constexpr int kTransfer = 1104;
inline constexpr int kCancel = 2;
} // namespace comp_table_ids

namespace layouts {

inline constexpr ControlStyle kCompTableField = kStyleBorder | kStyleTabStop;

inline constexpr std::array kCompTableControls = {
    DialogControl{comp_table_ids::kGroup, ControlKind::GroupBox, 6, 8, 330, 122,
                  K720_TEXT("Dialog", "Enter table")},
    DialogControl{comp_table_ids::kPrevious, ControlKind::PushButton, 59, 28, 90, 16,
                  K720_TEXT("Dialog", "Previous table No."), kStyleTabStop},
    DialogControl{kNoControlId, ControlKind::Static, 143, 17, 50, 8,
                  K720_TEXT("Dialog", "Table No:"), kStyleCenter},
    DialogControl{comp_table_ids::kTableNumber, ControlKind::Edit, 153, 27, 32, 18, "",
                  kCompTableField | kStyleCenter},
    DialogControl{comp_table_ids::kNext, ControlKind::PushButton, 189, 28, 90, 16,
                  K720_TEXT("Dialog", "Next table No."), kStyleTabStop},
    DialogControl{kNoControlId, ControlKind::Static, 23, 61, 32, 8, K720_TEXT("Dialog", "Name:")},
    DialogControl{comp_table_ids::kName, ControlKind::Edit, 59, 58, 220, 15, "", kCompTableField,
                  40},
    DialogControl{kNoControlId, ControlKind::Static, 23, 85, 32, 8, "R-Range:"},
    // The range boxes are 2 units wider than the classic ones, so that "300mohm" in a font wider
    // than the classic one clears the arrow.
    DialogControl{comp_table_ids::kResistanceRange, ControlKind::DropDownList, 59, 81, 57, 61, "",
                  kStyleTabStop},
    // The two limit labels sit left of the classic places, so that a font wider than the classic
    // one leaves a gap before their fields.
    DialogControl{kNoControlId, ControlKind::Static, 118, 85, 26, 8, "R-Lim1:"},
    DialogControl{comp_table_ids::kResistanceLimit1, ControlKind::Edit, 148, 81, 30, 15, "",
                  kCompTableField},
    DialogControl{kNoControlId, ControlKind::Static, 181, 85, 26, 8, "R-Lim2:"},
    DialogControl{comp_table_ids::kResistanceLimit2, ControlKind::Edit, 211, 81, 30, 15, "",
                  kCompTableField},
    DialogControl{kNoControlId, ControlKind::Static, 23, 106, 32, 8, "V-Range:"},
    DialogControl{comp_table_ids::kVoltageRange, ControlKind::DropDownList, 59, 103, 57, 45, "",
                  kStyleTabStop},
    DialogControl{kNoControlId, ControlKind::Static, 120, 106, 26, 8, "V-Lim:"},
    DialogControl{comp_table_ids::kVoltageLimit, ControlKind::Edit, 148, 103, 30, 15, "",
                  kCompTableField},
    DialogControl{comp_table_ids::kSet, ControlKind::PushButton, 256, 93, 70, 25,
                  K720_TEXT("Dialog", "Set"), kStyleTabStop},
    DialogControl{comp_table_ids::kList, ControlKind::ReportList, 6, 138, 330, 187, "",
                  kStyleGridLines | kStyleTabStop},
    DialogControl{comp_table_ids::kSave, ControlKind::PushButton, 8, 332, 50, 14,
                  K720_TEXT("Dialog", "Save"), kStyleTabStop},
    DialogControl{comp_table_ids::kTransfer, ControlKind::PushButton, 62, 332, 50, 14,
                  K720_TEXT("Dialog", "Transfer"), kStyleTabStop},
    DialogControl{comp_table_ids::kCancel, ControlKind::PushButton, 276, 332, 60, 14,
                  K720_TEXT("Dialog", "Cancel"), kStyleTabStop},
};
inline constexpr DialogResource kCompTable{343, 353, kCompTableControls};

} // namespace layouts
