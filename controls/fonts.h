// The dialog font every window is laid out in, and the three shared fonts of the pages.
#pragma once

#include <QFont>

// The dialog font is asked for by character height: 9 point at 96 dots per inch. The shared
// fonts are asked for by cell height (ascent plus descent), as a classic font request with a
// positive height means.
inline constexpr int kDialogFontPixels = 12;

// The shared fonts: g_font15 for page headings and edit fields, g_font16 for every coloured
// button, g_font20 (semibold) for the comparator table editor. Empty fonts until
// CreateSharedFonts() has run.
extern QFont g_font15;
extern QFont g_font16;
extern QFont g_font20;

// Creates the three shared fonts; later calls change nothing. Needs a QGuiApplication.
void CreateSharedFonts();

// The dialog font's family (font_family.h) at `pixelSize` (character height).
QFont SansSerifFont(int pixelSize, QFont::Weight weight = QFont::Normal);

// The largest sans-serif font whose cell height does not exceed `cellHeight` pixels.
QFont SansSerifFontWithCellHeight(int cellHeight, QFont::Weight weight = QFont::Normal);

// The font dialog layouts are built in.
QFont DialogFont();
