#include <string>

#include <gtest/gtest.h>

#include "base/texts.h"
#include "translations/text_language.h"

namespace {

// Restores the English texts after each case, whatever it chose.
class TextsTest : public ::testing::Test {
protected:
    void TearDown() override { UseTextLanguage(Language::English); }
};

constexpr const char* kForbidden = "The following character(s) cannot be used in filename.  \n\n"
                                   "        \\ / : , ; * ? \" < > |";

} // namespace

// The generated table carries the catalogue's texts through XML and C++ escapes intact: the
// listed characters include a backslash, a quote, a semicolon and XML's own < > characters.
TEST_F(TextsTest, JapaneseCatalogueTableKeepsEveryCharacter) {
    EXPECT_STREQ(Translate("CPpgReadDo", kForbidden), kForbidden);
    UseTextLanguage(Language::Japanese);
    const std::string japanese = Translate("CPpgReadDo", kForbidden);
    EXPECT_NE(japanese, kForbidden);
    EXPECT_NE(japanese.find("  \n\n        \\ / : , ; * ? \" < > |"), std::string::npos)
        << japanese;
    // A text outside the catalogue, or in another context, stays English.
    EXPECT_STREQ(Translate("CPpgReadDo", "not in the catalogue"), "not in the catalogue");
    EXPECT_STREQ(Translate("NoSuchContext", kForbidden), kForbidden);
}

TEST_F(TextsTest, FillTextPutsValuesWhereTheTemplateSays) {
    EXPECT_EQ(FillText("none", "%2 of %1, %1 again", {"A", "b"}), "b of A, A again");
    // A percent sign that is not a placeholder, or names a missing value, stays as written.
    EXPECT_EQ(FillText("none", "100% %3 %", {"x"}), "100% %3 %");
}
