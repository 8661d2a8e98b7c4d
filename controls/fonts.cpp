#include "controls/fonts.h"

#include <QFontMetrics>

#include "controls/font_family.h"

QFont g_font15;
QFont g_font16;
QFont g_font20;

namespace {
bool g_sharedFontsCreated = false;
} // namespace

QFont SansSerifFont(int pixelSize, QFont::Weight weight) {
    QFont font(DialogFontFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

QFont SansSerifFontWithCellHeight(int cellHeight, QFont::Weight weight) {
    QFont font = SansSerifFont(cellHeight, weight);
    for (int size = cellHeight - 1; size > 1 && QFontMetrics(font).height() > cellHeight; --size) {
        font.setPixelSize(size);
    }
    return font;
}

void CreateSharedFonts() {
    if (g_sharedFontsCreated) {
        return;
    }
    g_font15 = SansSerifFontWithCellHeight(15);
    g_font16 = SansSerifFontWithCellHeight(16);
    g_font20 = SansSerifFontWithCellHeight(20, QFont::DemiBold);
    g_sharedFontsCreated = true;
}

QFont DialogFont() {
    return SansSerifFont(kDialogFontPixels);
}
