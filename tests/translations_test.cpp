#include <QCoreApplication>
#include <gtest/gtest.h>

#include "resources/translations.h"

namespace {

QString Translate(const char* context, const char* text) {
    return QCoreApplication::translate(context, text);
}

TEST(Translations, JapaneseLoadsBothCataloguesAndEnglishDropsThem) {
    int argc = 1;
    char name[] = "translations_test";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);

    ASSERT_TRUE(InstallTranslations(application, Language::English));
    EXPECT_EQ(Translate("Dialog", "Exit"), QStringLiteral("Exit"));
    EXPECT_EQ(Translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));

    // The program's catalogue from its resources, Qt's from its folder on this system.
    ASSERT_TRUE(InstallTranslations(application, Language::Japanese))
        << QtCatalogueFolder().toStdString();
    EXPECT_EQ(Translate("Dialog", "Exit"), QString::fromUtf8("終了"));
    EXPECT_NE(Translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
    // The instrument's own letters have no entry.
    EXPECT_EQ(Translate("Dialog", "b"), QStringLiteral("b"));

    // English again: both catalogues go, however often Japanese was chosen before.
    ASSERT_TRUE(InstallTranslations(application, Language::Japanese));
    ASSERT_TRUE(InstallTranslations(application, Language::English));
    EXPECT_EQ(Translate("Dialog", "Exit"), QStringLiteral("Exit"));
    EXPECT_EQ(Translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
}

} // namespace
