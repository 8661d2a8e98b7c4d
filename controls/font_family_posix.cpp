#include <QFontDatabase>

#include "controls/font_family.h"

namespace {

// The Latin family the layouts' dialog units are measured in where the system has it. The
// platform's default sans-serif is no fixed family: under a Japanese locale fontconfig makes it
// a Japanese font, whose other widths and height would resize every window. Japanese glyphs come
// from Qt's fallback fonts whatever the family.
constexpr char kDialogFamily[] = "DejaVu Sans";

} // namespace

QString DialogFontFamily() {
    const QString family = QString::fromLatin1(kDialogFamily);
    if (QFontDatabase::hasFamily(family)) {
        return family;
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}
