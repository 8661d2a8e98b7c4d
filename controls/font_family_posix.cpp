#include <QFontDatabase>

#include "controls/font_family.h"

QString DialogFontFamily() {
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}
