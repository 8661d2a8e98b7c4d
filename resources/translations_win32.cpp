#include "resources/translations.h"

// Qt's own prefix would be the folder above the programs' (it takes Qt6Core.dll's folder for its
// "bin"): the catalogues lie beside the programs instead.
QString QtCatalogueFolder() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
}
