// Where the main window goes at start: the rectangle saved in the settings file where enough of
// it lies on a screen present now (its title bar and most of its face, so the user can reach and
// move it), else centred on the primary screen; on the first run the window's initial place
// moved 100 pixels right and down, kept wholly on the primary screen.
#pragma once

#include <QList>
#include <QMargins>
#include <QRect>
#include <QSize>

#include "app/settings_file.h"

// The frame the window system puts around the window before it has said how large it is (before
// the window is first shown): a generous title bar and thin borders, so that a window placed with
// it also fits with its real frame.
inline constexpr QMargins kAssumedWindowFrame{8, 40, 8, 8};

// The settings file's rectangle is the classic one: right and bottom lie just outside it.
SettingsRect ToSettingsRect(const QRect& rect);

// The first-run place of a window whose outer size is `frameSize`: centred in `primaryArea` and
// moved 100 pixels right and down, then moved back as far as needed to lie wholly in the area
// (its top-left corner first, for a window larger than the area).
QRect FirstRunPlace(QSize frameSize, const QRect& primaryArea);

// Where a window of outer size `frameSize`, whose title bar is the top `titleBarHeight` pixels,
// goes for the rectangle `saved` read from the settings file: at the saved top-left corner when
// at least two thirds of its title bar and two thirds of its whole rectangle lie on `screens`
// (the available areas of the screens present); otherwise centred in `primaryArea` (top-left
// corner first, for a window larger than the area). The file holds any 32-bit values: the
// arithmetic cannot overflow, and a place no window can have is not kept.
QRect RestoredPlace(const SettingsRect& saved, QSize frameSize, int titleBarHeight,
                    const QList<QRect>& screens, const QRect& primaryArea);
