#include <QFontDatabase>

#include "controls/font_family.h"

namespace {

const QString kClassicDialogFamily = QStringLiteral("MS Sans Serif");

} // namespace

QString DialogFontFamily() {
    // Newer systems may lack the classic family; their message font is the dialog font then, never
    // a serif fallback of the font matcher.
    if (QFontDatabase::hasFamily(kClassicDialogFamily)) {
        return kClassicDialogFamily;
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}
