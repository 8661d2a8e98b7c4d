#include <algorithm>
#include <array>
#include <cmath>

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "controls/color_button.h"
#include "controls/dialog_layout.h"
#include "controls/fonts.h"
#include "tests/support/controls_qt_app.h"

namespace {

TEST(DialogUnits, MulDivRoundsHalfAwayFromZeroWithoutOverflow) {
    struct Case {
        int number, numerator, denominator, expected;
    };
    const Case cases[] = {
        {25, 6, 4, 38},  // 37.5
        {10, 6, 4, 15},  // exact
        {53, 13, 8, 86}, // 86.125
        {41, 13, 8, 67}, // 66.625
        {-3, 6, 4, -5},  // -4.5
        {3, -6, 4, -5},  // -4.5
        {1, 1, -2, -1},  // -0.5
        {100000, 100000, 100000, 100000},
        {1 << 30, 4, 2, -1}, // the result does not fit
        {7, 3, 0, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dialog_units::MulDiv(c.number, c.numerator, c.denominator), c.expected)
            << c.number << "*" << c.numerator << "/" << c.denominator;
    }
}

TEST(DialogUnits, HorizontalBaseIsTheAverageLetterWidthRounded) {
    struct Case {
        int alphabetWidth, height;
        DialogBaseUnits expected;
    };
    const Case cases[] = {
        {312, 13, {6, 13}}, // 6.0
        {311, 13, {6, 13}}, // 5.98
        {285, 13, {5, 13}}, // 5.48
        {286, 13, {6, 13}}, // 5.5
        {385, 14, {7, 14}}, // 7.4
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BaseUnitsFromMetrics(c.alphabetWidth, c.height), c.expected) << c.alphabetWidth;
    }
}

TEST(DialogUnits, EachCoordinateAndSizeIsScaledOnItsOwn) {
    const DialogBaseUnits base{6, 13};
    struct Case {
        QRect dialogUnits;
        QRect pixels;
    };
    const Case cases[] = {
        {QRect(25, 88, 80, 53), QRect(38, 143, 120, 86)},   // a page's large button
        {QRect(25, 41, 80, 30), QRect(38, 67, 120, 49)},    // a status line
        {QRect(10, 33, 230, 160), QRect(15, 54, 345, 260)}, // the page frame
        // Scaling the far edge instead of the size would make this 1 pixel wide and high.
        {QRect(1, 1, 1, 1), QRect(2, 2, 2, 2)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DialogToPixels(c.dialogUnits, base), c.pixels);
    }
}

TEST(DialogUnits, BaseUnitsOfAFontComeFromItsLettersAndHeight) {
    for (const int pixels : {12, 16, 24}) {
        const QFont font = SansSerifFont(pixels);
        const QFontMetrics metrics(font);
        const int width = metrics.horizontalAdvance(
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        const DialogBaseUnits base = BaseUnitsOf(font);
        EXPECT_EQ(base.x, std::lround(width / 52.0)) << pixels;
        EXPECT_EQ(base.y, metrics.height()) << pixels;
    }
}

constexpr int kOkId = 1043;
constexpr int kCancelId = 1042;
constexpr int kBrowseId = 1067;
constexpr int kFolderId = 1066;
constexpr int kFileNameId = 1068;
constexpr int kQuestionId = 1060;
constexpr int kTitleId = 1115;
constexpr int kProgressId = 1071;
constexpr int kRangeId = 1106;
constexpr int kHiddenId = 1200;
constexpr int kGroupId = 1130;
constexpr int kListId = 1101;
constexpr int kSeparatorId = 1201;

constexpr std::array kControls = {
    DialogControl{kCancelId, ControlKind::ColorButton, 121, 88, 80, 53, "Cancel", kStyleTabStop},
    DialogControl{kOkId, ControlKind::ColorButton, 25, 88, 80, 53, "OK", kStyleTabStop},
    DialogControl{kTitleId, ControlKind::Static, 40, 15, 46, 25, "Read Data"},
    DialogControl{kNoControlId, ControlKind::Static, 91, 17, 16, 8, "............"},
    DialogControl{kQuestionId, ControlKind::Static, 75, 29, 130, 8, "Do you want to proceed?",
                  kStyleRight},
    DialogControl{kFolderId, ControlKind::Edit, 25, 51, 147, 12, "", kStyleReadOnly | kStyleBorder},
    DialogControl{kBrowseId, ControlKind::PushButton, 174, 50, 30, 14, "Browse"},
    DialogControl{kFileNameId, ControlKind::Edit, 79, 68, 78, 12, "",
                  kStyleRight | kStyleBorder | kStyleNumber | kStyleTabStop, 5},
    DialogControl{kProgressId, ControlKind::ProgressBar, 25, 58, 176, 16},
    DialogControl{kRangeId, ControlKind::DropDownList, 59, 81, 55, 61, "", kStyleTabStop},
    DialogControl{kHiddenId, ControlKind::Static, 0, 0, 10, 8, "x", kStyleHidden | kStyleDisabled},
    DialogControl{kOkId, ControlKind::Static, 0, 150, 10, 8, "same id as OK"},
    DialogControl{kGroupId, ControlKind::GroupBox, 6, 8, 200, 40, "Enter table"},
    DialogControl{kSeparatorId, ControlKind::Frame, 0, 27, 230, 1},
    DialogControl{kListId, ControlKind::ReportList, 6, 100, 200, 50, "", kStyleGridLines},
};
constexpr DialogResource kResource{230, 160, kControls};

class BuiltDialog : public ::testing::Test {
protected:
    void SetUp() override { m_layout = DialogLayout::Build(m_window, kResource, DialogFont()); }

    QWidget m_window;
    DialogLayout m_layout;
};

TEST_F(BuiltDialog, ControlsArePlacedInDialogUnitsOfTheDialogFont) {
    const DialogBaseUnits base = m_layout.BaseUnits();
    EXPECT_EQ(base, BaseUnitsOf(DialogFont()));
    EXPECT_EQ(m_window.font(), DialogFont());
    EXPECT_EQ(m_window.size(), DialogToPixels(QRect(0, 0, 230, 160), base).size());
    EXPECT_EQ(m_window.minimumSize(), m_window.maximumSize());
    // Children come in dialog order, the unnamed filler included.
    const QObjectList children = m_window.children();
    ASSERT_EQ(children.size(), static_cast<qsizetype>(kControls.size()));
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const DialogControl& entry = kControls[i];
        if (entry.kind == ControlKind::DropDownList) {
            continue;
        }
        EXPECT_EQ(static_cast<QWidget*>(children[static_cast<qsizetype>(i)])->geometry(),
                  DialogToPixels(QRect(entry.x, entry.y, entry.w, entry.h), base))
            << i;
    }
    // A drop-down list is one line high until it drops down.
    QWidget* range = m_layout.Find(kRangeId);
    EXPECT_EQ(range->width(), dialog_units::MulDiv(55, base.x, 4));
    EXPECT_LT(range->height(), dialog_units::MulDiv(61, base.y, 8));
}

TEST_F(BuiltDialog, ControlsAreFoundByIdentifierAndType) {
    EXPECT_NE(m_layout.Find<CColorButton>(kOkId), nullptr);
    EXPECT_NE(m_layout.Find<QPushButton>(kOkId), nullptr); // the first control with the id
    EXPECT_EQ(m_layout.Find<CColorButton>(kBrowseId), nullptr);
    EXPECT_NE(m_layout.Find<QPushButton>(kBrowseId), nullptr);
    EXPECT_NE(m_layout.Find<QComboBox>(kRangeId), nullptr);
    EXPECT_NE(m_layout.Find<QProgressBar>(kProgressId), nullptr);
    EXPECT_EQ(m_layout.Find(kNoControlId), nullptr);
    EXPECT_EQ(m_layout.Find(4242), nullptr);
    EXPECT_EQ(m_layout.Find<QPushButton>(kOkId)->text(), QStringLiteral("OK"));
    // The unnamed filler is still built.
    EXPECT_EQ(m_window.findChildren<QLabel*>(Qt::FindDirectChildrenOnly).size(), 5);
}

// The group box's top line runs through the middle of its title, as in the classic dialogs, so
// that a control placed one line below the box's top stands clear of it.
TEST_F(BuiltDialog, GroupBoxLineRunsThroughTheMiddleOfItsTitle) {
    auto* group = m_layout.Find<QGroupBox>(kGroupId);
    m_window.show();
    const QImage image = group->grab().toImage();
    const QColor face = image.pixelColor(image.width() / 2, image.height() / 2);
    const int x = image.width() - 4; // right of the title
    int line = -1;
    for (int y = 0; y < image.height() && line < 0; ++y) {
        line = image.pixelColor(x, y) != face ? y : -1;
    }
    const int textHeight = QFontMetrics(group->font()).height();
    EXPECT_GE(line, textHeight / 4);
    EXPECT_LE(line, textHeight * 3 / 4);
}

// The filler's dots end a blank's width before the text that follows it, never touching it.
TEST_F(BuiltDialog, FillerDotsStopClearOfTheNextText) {
    auto* filler = static_cast<QLabel*>(m_window.children()[3]);
    ASSERT_EQ(filler->text(), QStringLiteral("............"));
    m_window.show();
    const QImage image = filler->grab().toImage();
    const QColor face = image.pixelColor(0, 0);
    int rightmostInk = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != face) {
                rightmostInk = std::max(rightmostInk, x);
            }
        }
    }
    EXPECT_GT(rightmostInk, image.width() / 2) << "the dots fill the room";
    EXPECT_LT(rightmostInk, image.width() - QFontMetrics(filler->font()).horizontalAdvance(' '));
}

TEST_F(BuiltDialog, StylesShapeTheControls) {
    const auto* question = m_layout.Find<QLabel>(kQuestionId);
    EXPECT_TRUE(question->alignment() & Qt::AlignRight);
    EXPECT_TRUE(m_layout.Find<QLabel>(kTitleId)->alignment() & Qt::AlignLeft);

    const auto* folder = m_layout.Find<QLineEdit>(kFolderId);
    EXPECT_TRUE(folder->isReadOnly());
    EXPECT_TRUE(folder->hasFrame());

    auto* fileName = m_layout.Find<QLineEdit>(kFileNameId);
    EXPECT_FALSE(fileName->isReadOnly());
    EXPECT_TRUE(fileName->alignment() & Qt::AlignRight);
    EXPECT_EQ(fileName->maxLength(), 5);
    QTest::keyClicks(fileName, QStringLiteral("1a2-34567"));
    EXPECT_EQ(fileName->text(), QStringLiteral("12345"));

    EXPECT_EQ(m_layout.Find<QGroupBox>(kGroupId)->title(), QStringLiteral("Enter table"));
    EXPECT_EQ(m_layout.Find<QFrame>(kSeparatorId)->frameShape(), QFrame::HLine);
    const auto* list = m_layout.Find<QTableWidget>(kListId);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->showGrid());
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_TRUE(list->verticalHeader()->isHidden());

    EXPECT_TRUE(m_layout.Find(kHiddenId)->isHidden());
    EXPECT_FALSE(m_layout.Find(kHiddenId)->isEnabled());
    EXPECT_FALSE(m_layout.Find(kOkId)->isHidden());

    EXPECT_EQ(m_layout.Find(kOkId)->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(m_layout.Find(kBrowseId)->focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(m_layout.Find(kFolderId)->focusPolicy(), Qt::ClickFocus);
}

TEST_F(BuiltDialog, TabVisitsTheTabStopsInDialogOrder) {
    m_window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
    m_layout.Find(kCancelId)->setFocus();
    const int expected[] = {kOkId, kFileNameId, kRangeId, kCancelId};
    for (const int id : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), m_layout.Find(id)) << id;
    }
}

TEST(SharedFonts, CellHeightsFitAndTheEditorFontIsSemibold) {
    CreateSharedFonts();
    struct Case {
        const QFont* font;
        int cellHeight;
        QFont::Weight weight;
    };
    const Case cases[] = {
        {&g_font15, 15, QFont::Normal},
        {&g_font16, 16, QFont::Normal},
        {&g_font20, 20, QFont::DemiBold},
    };
    for (const Case& c : cases) {
        const int height = QFontMetrics(*c.font).height();
        EXPECT_LE(height, c.cellHeight);
        EXPECT_GE(height, c.cellHeight - 2);
        EXPECT_EQ(c.font->weight(), c.weight);
        EXPECT_FALSE(c.font->italic());
    }
}

// CTest runs this case also under a Japanese locale (DialogFontUnderJapaneseLocale), where the
// system's default sans-serif is a Japanese font: the dialog units, and so every window's size,
// must come from a Latin family whatever the locale.
TEST(SharedFonts, DialogFontIsALatinFamilyWhateverTheLocale) {
    const QString family = QFontInfo(DialogFont()).family();
    EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::Latin))
        << family.toStdString();
    EXPECT_FALSE(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese))
        << family.toStdString();
}

} // namespace
