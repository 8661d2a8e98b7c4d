// Where the main window goes at start: the position saved in the settings file, unless that
// would leave the window wholly outside every screen (a monitor was removed since), and on the
// first run the window's initial place moved 100 pixels right and down.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include "settings_file.h"

// The settings file's rectangle is the classic one: right and bottom lie just outside it.
SettingsRect ToSettingsRect(const QRect& rect);

// The first-run position: the window centred in `primaryArea`, moved 100 pixels right and down.
QPoint FirstRunPosition(QSize windowSize, const QRect& primaryArea);

// Where a window of `windowSize` goes for the rectangle `saved` read from the settings file: its
// top-left corner when the window there shares at least one pixel with one of `screens`
// (partly off-screen positions are kept exactly); otherwise the window centred in `primaryArea`.
// Coordinates too large to place a window at (the file holds any 32-bit values) give the
// first-run position; the arithmetic is 64-bit, so no saved value can overflow it.
QPoint RestoredPosition(const SettingsRect& saved, QSize windowSize, const QList<QRect>& screens,
                        const QRect& primaryArea);
