#include <QLibraryInfo>

#include "resources/translations.h"

QString QtCatalogueFolder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}
