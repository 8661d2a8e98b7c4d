// The main program's pictures, compiled in as Qt resources: the two picture buttons of the top
// menu in their normal, pressed and focused looks (140 x 80 pixels each), captioned in English
// and in Japanese (...Ja), the logo of the main window (93 x 26 pixels) and the program icon in
// four sizes. Load them by the paths below, after InitImageResources() has run once.
#pragma once

#include <QIcon>

namespace images {

inline constexpr char kReadDeleteNormal[] = ":/images/read_delete_normal.png";
inline constexpr char kReadDeletePressed[] = ":/images/read_delete_pressed.png";
inline constexpr char kReadDeleteFocused[] = ":/images/read_delete_focused.png";
inline constexpr char kCompClockNormal[] = ":/images/comp_clock_normal.png";
inline constexpr char kCompClockPressed[] = ":/images/comp_clock_pressed.png";
inline constexpr char kCompClockFocused[] = ":/images/comp_clock_focused.png";
inline constexpr char kReadDeleteNormalJa[] = ":/images/read_delete_ja_normal.png";
inline constexpr char kReadDeletePressedJa[] = ":/images/read_delete_ja_pressed.png";
inline constexpr char kReadDeleteFocusedJa[] = ":/images/read_delete_ja_focused.png";
inline constexpr char kCompClockNormalJa[] = ":/images/comp_clock_ja_normal.png";
inline constexpr char kCompClockPressedJa[] = ":/images/comp_clock_ja_pressed.png";
inline constexpr char kCompClockFocusedJa[] = ":/images/comp_clock_ja_focused.png";
inline constexpr char kLogo[] = ":/images/logo.png";
// The 32 x 32 icon; ProgramIcon() holds every size.
inline constexpr char kIcon[] = ":/images/icon.png";

} // namespace images

// Registers the pictures with Qt's resource system. Call once, after the application object
// exists and before the first picture is loaded; further calls do no harm.
void InitImageResources();

// The program icon with all its sizes (16, 32, 48 and 256 pixels), for the window and task bar.
[[nodiscard]] QIcon ProgramIcon();
