#include "resources/translations.h"

#include <QLibraryInfo>
#include <QTranslator>

namespace {

bool Install(QCoreApplication& application, const QString& name, const QString& folder) {
    auto* translator = new QTranslator(&application);
    if (!translator->load(name, folder) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace

bool InstallTranslations(QCoreApplication& application, Language language) {
    if (language != Language::Japanese) {
        return true;
    }
    // Qt's catalogue lies in Qt's translations folder: the system's on Linux, "translations"
    // beside the program on Windows.
    const bool own = Install(application, QStringLiteral("k720_ja"), QStringLiteral(":/i18n"));
    const bool qt = Install(application, QStringLiteral("qtbase_ja"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return own && qt;
}
