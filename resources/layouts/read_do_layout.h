// The read confirmation page CPpgReadDo: what will be read, the question, the destination folder
// (chosen with Browse) and file name, Cancel and OK.
#pragma once

#include <array>

#include "base/texts.h"
#include "controls/dialog_layout.h"

namespace read_do_ids {
inline constexpr int kCancel = 1042;
inline constexpr int kOk = 1043;
inline constexpr int kTitle = 1115;
inline constexpr int kUnitLine = 1044;
inline constexpr int kQuestion = 1060;
inline constexpr int kFolderLabel = 1131;
inline constexpr int kFolder = 1066;
inline constexpr int kBrowse = 1067;
inline constexpr int kFileNameLabel = 1132;
inline constexpr int kFileName = 1068;
// The most characters the file name field takes.
inline constexpr int kFileNameLimit = 50;
} // namespace read_do_ids

namespace layouts {

inline constexpr std::array kReadDoControls = {
    DialogControl{read_do_ids::kCancel, ControlKind::ColorButton, 121, 88, 80, 53,
                  K720_TEXT("Dialog", "Cancel"), kStyleTabStop},
    DialogControl{read_do_ids::kOk, ControlKind::ColorButton, 25, 88, 80, 53,
                  K720_TEXT("Dialog", "OK"), kStyleTabStop},
    DialogControl{read_do_ids::kTitle, ControlKind::Static, 40, 15, 46, 25,
                  K720_TEXT("Dialog", "Read Data")},
    DialogControl{kNoControlId, ControlKind::Static, 91, 17, 16, 8, "............"},
    DialogControl{read_do_ids::kUnitLine, ControlKind::Static, 107, 17, 110, 8,
                  K720_TEXT("Dialog", "This will read unit [ X ].")},
    DialogControl{read_do_ids::kQuestion, ControlKind::Static, 75, 29, 130, 8,
                  K720_TEXT("Dialog", "Do you want to proceed?"), kStyleRight},
    DialogControl{read_do_ids::kFolderLabel, ControlKind::Static, 25, 41, 70, 8,
                  K720_TEXT("Dialog", "Folder name :")},
    DialogControl{read_do_ids::kFolder, ControlKind::Edit, 25, 51, 147, 12, "",
                  kStyleBorder | kStyleReadOnly},
    DialogControl{read_do_ids::kBrowse, ControlKind::PushButton, 174, 50, 30, 14,
                  K720_TEXT("Dialog", "Browse"), kStyleTabStop},
    DialogControl{read_do_ids::kFileNameLabel, ControlKind::Static, 25, 70, 50, 8,
                  K720_TEXT("Dialog", "File name :")},
    DialogControl{read_do_ids::kFileName, ControlKind::Edit, 79, 68, 78, 12, "",
                  kStyleRight | kStyleBorder | kStyleTabStop, read_do_ids::kFileNameLimit},
    DialogControl{kNoControlId, ControlKind::Static, 160, 70, 25, 8, ".csv"},
};
inline constexpr DialogResource kReadDo{230, 160, kReadDoControls};

} // namespace layouts
