#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "base/language.h"
#include "tests/support/scratch_folder.h"

TEST(LanguageTest, OptionTakesExactlyEnOrJa) {
    EXPECT_EQ(ParseLanguage("en"), Language::English);
    EXPECT_EQ(ParseLanguage("ja"), Language::Japanese);
    for (const char* other : {"", "JA", "jp", "ja_JP", "english", " ja"}) {
        EXPECT_FALSE(ParseLanguage(other).has_value()) << other;
    }
}

TEST(LanguageTest, FirstSetLocaleVariableDecides) {
    EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, nullptr), Language::English);
    EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, "ja_JP.UTF-8"), Language::Japanese);
    EXPECT_EQ(LanguageOfLocale(nullptr, "ja_JP.eucJP", "C"), Language::Japanese);
    // A set LC_ALL or LC_MESSAGES overrides LANG both ways; an empty one counts as unset.
    EXPECT_EQ(LanguageOfLocale("C", nullptr, "ja_JP.UTF-8"), Language::English);
    EXPECT_EQ(LanguageOfLocale(nullptr, "en_US.UTF-8", "ja_JP.UTF-8"), Language::English);
    EXPECT_EQ(LanguageOfLocale("", "", "ja_JP.UTF-8"), Language::Japanese);
    EXPECT_EQ(LanguageOfLocale("ja", "C", "C"), Language::Japanese);
    EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, "POSIX"), Language::English);
}

// What a setup writes beside the programs, and what it must not be taken for.
TEST(LanguageTest, EditionFileHoldsJaOrEn) {
    test_support::ScratchFolder folder;
    EXPECT_FALSE(EditionInFolder(folder.Path()).has_value()) << "no file";
    const auto edition = [&folder](const std::string& text) {
        std::ofstream(folder.File(kEditionFileName), std::ios::binary) << text;
        return EditionInFolder(folder.Path());
    };
    EXPECT_EQ(edition("ja\r\n"), Language::Japanese);
    EXPECT_EQ(edition(" en \n"), Language::English);
    EXPECT_EQ(edition("ja\nen\n"), Language::Japanese);
    for (const std::string other : {"", "\r\n", "ja_JP", "Japanese", "jaen", "\nja"}) {
        EXPECT_FALSE(edition(other).has_value()) << other;
    }
}
