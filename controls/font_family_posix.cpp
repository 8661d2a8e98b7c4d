#include <QFontDatabase>

#include "font_family.h"

QString DialogFontFamily() {
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}
