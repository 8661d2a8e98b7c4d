#include "resources/translations.h"

#include <QTranslator>

#include "translations/text_language.h"

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
    UseTextLanguage(language);
    // The catalogues of an earlier choice go first.
    for (QTranslator* translator : application.findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    if (language != Language::Japanese) {
        return true;
    }
    const bool own = Install(application, QStringLiteral("k720_ja"), QStringLiteral(":/i18n"));
    const bool qt = Install(application, QStringLiteral("qtbase_ja"), QtCatalogueFolder());
    return own && qt;
}
