#include <algorithm>
#include <cmath>
#include <optional>

#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "controls/color_button.h"
#include "controls/fonts.h"
#include "tests/support/controls_qt_app.h"

namespace {

namespace bc = button_colors;
namespace ec = edge_colors;

// An odd-sized button: the focus rectangle's four corners then all lie on dots.
constexpr int kWidth = 121;
constexpr int kHeight = 81;
constexpr int kRight = kWidth - 1;
constexpr int kBottom = kHeight - 1;

struct Look {
    QColor face = CColorButton::kInitialFace;
    std::optional<QColor> text = std::nullopt; // unset: the button's initial caption colour
    bool pressed = false;
    bool focused = false;
    bool enabled = true;
    QString caption = QStringLiteral("HHH");
};

QImage Render(const Look& look) {
    CColorButton button;
    button.SetFaceColor(look.face);
    if (look.text) {
        button.SetTextColor(*look.text);
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    button.DrawItem(painter,
                    ColorButtonItem{QRect(0, 0, kWidth, kHeight), look.pressed, look.focused,
                                    look.enabled, look.caption, SansSerifFont(24, QFont::Bold)});
    return image;
}

QColor At(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// Bounding box of the pixels of exactly `color` inside the edge.
QRect PixelsOf(const QImage& image, const QColor& color) {
    QRect box;
    // Inside the focus rectangle, whose dots may share the caption's colour.
    for (int y = 6; y < image.height() - 6; ++y) {
        for (int x = 6; x < image.width() - 6; ++x) {
            if (image.pixelColor(x, y) == color) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

bool OnFocusOutline(int x, int y) {
    const bool onColumn = (x == 5 || x == kRight - 5) && y >= 5 && y <= kBottom - 5;
    const bool onRow = (y == 5 || y == kBottom - 5) && x >= 5 && x <= kRight - 5;
    return onColumn || onRow;
}

TEST(ColorButtonDrawing, CaptionColourFollowsStateWithFocusTestedFirst) {
    struct Case {
        const char* name;
        Look look;
        QColor caption;
        QColor absent; // must not appear anywhere inside the edge
    };
    const Case cases[] = {
        {"fresh button", {}, QColor(0, 0, 0), QColor(128, 128, 128)},
        {"fresh button disabled", {.enabled = false}, QColor(128, 128, 128), QColor(0, 0, 0)},
        {"page colours",
         {.face = bc::kBlue, .text = bc::kCaptionWhite},
         bc::kCaptionWhite,
         QColor(128, 128, 128)},
        {"disabled on pale red",
         {.face = bc::kPaleRed, .text = bc::kCaptionWhite, .enabled = false},
         QColor(128, 128, 128),
         bc::kCaptionWhite},
        {"focus wins over disabled",
         {.face = bc::kPaleGreen, .text = bc::kCaptionWhite, .focused = true, .enabled = false},
         bc::kCaptionWhite,
         QColor(128, 128, 128)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = Render(c.look);
        EXPECT_EQ(At(image, 10, 10), c.look.face);
        EXPECT_EQ(At(image, kRight - 10, kBottom - 10), c.look.face);
        const QRect caption = PixelsOf(image, c.caption);
        ASSERT_FALSE(caption.isEmpty());
        EXPECT_NEAR(caption.center().x(), kWidth / 2, 3);
        EXPECT_NEAR(caption.center().y(), kHeight / 2, 3);
        EXPECT_TRUE(PixelsOf(image, c.absent).isEmpty());
    }
}

TEST(ColorButtonDrawing, RaisedEdgeAtRestSunkenEdgeWhenPressedWithFocus) {
    struct Case {
        const char* name;
        Look look;
        QColor outerTopLeft, innerTopLeft, innerBottomRight, outerBottomRight;
    };
    const Case cases[] = {
        {"at rest", {.face = bc::kGreen}, ec::kLight, ec::kHighlight, ec::kShadow, ec::kDarkShadow},
        {"focused",
         {.face = bc::kGreen, .focused = true},
         ec::kLight,
         ec::kHighlight,
         ec::kShadow,
         ec::kDarkShadow},
        {"pressed with focus",
         {.face = bc::kGreen, .pressed = true, .focused = true},
         ec::kShadow,
         ec::kDarkShadow,
         ec::kLight,
         ec::kHighlight},
        // Only a focused button is drawn pressed.
        {"pressed without focus",
         {.face = bc::kGreen, .pressed = true},
         ec::kLight,
         ec::kHighlight,
         ec::kShadow,
         ec::kDarkShadow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = Render(c.look);
        EXPECT_EQ(At(image, 0, 0), c.outerTopLeft);
        EXPECT_EQ(At(image, kWidth / 2, 0), c.outerTopLeft);
        EXPECT_EQ(At(image, 0, kHeight / 2), c.outerTopLeft);
        EXPECT_EQ(At(image, 1, 1), c.innerTopLeft);
        EXPECT_EQ(At(image, kWidth / 2, 1), c.innerTopLeft);
        EXPECT_EQ(At(image, kRight - 1, kBottom - 1), c.innerBottomRight);
        EXPECT_EQ(At(image, kRight - 1, 1), c.innerBottomRight);
        EXPECT_EQ(At(image, kRight, kBottom), c.outerBottomRight);
        EXPECT_EQ(At(image, kRight, 0), c.outerBottomRight);
        EXPECT_EQ(At(image, 0, kBottom), c.outerBottomRight);
        EXPECT_EQ(At(image, 2, 2), c.look.face);
    }
}

TEST(ColorButtonDrawing, PressedCaptionMovesOnePixelRightAndDown) {
    const Look focused{.face = bc::kRed, .text = bc::kCaptionWhite, .focused = true};
    Look pressed = focused;
    pressed.pressed = true;
    const QRect atRest = PixelsOf(Render(focused), bc::kCaptionWhite);
    const QRect down = PixelsOf(Render(pressed), bc::kCaptionWhite);
    ASSERT_FALSE(atRest.isEmpty());
    EXPECT_EQ(down, atRest.translated(1, 1));
}

// Contrast ratio of two colours by their relative luminance, as accessibility guidelines
// define it; a focus indicator needs at least 3:1 against what surrounds it.
double ContrastRatio(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](int channel) {
            const double v = channel / 255.0;
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The focus rectangle lies 5 pixels inside and shows on every face focus can appear on: along
// its outline no two neighbouring pixels both lack 3:1 against the face, and the face inside
// and outside it is untouched.
TEST(ColorButtonDrawing, FocusRectangleShowsOnEveryFaceFivePixelsInside) {
    const QColor faces[] = {bc::kGreen,   bc::kPaleGreen,  bc::kRed,
                            bc::kPaleRed, bc::kBlue,       bc::kPaleBlue,
                            bc::kOrange,  bc::kPaleOrange, CColorButton::kInitialFace};
    for (const QColor& face : faces) {
        SCOPED_TRACE(face.name().toStdString());
        // An empty caption leaves nothing but face, edge and focus mark.
        const QImage image = Render(
            Look{.face = face, .text = bc::kCaptionWhite, .focused = true, .caption = QString()});
        const auto standsOut = [&](int x, int y) {
            return OnFocusOutline(x, y) && ContrastRatio(At(image, x, y), face) >= 3.0;
        };
        for (int y = 2; y <= kBottom - 2; ++y) {
            for (int x = 2; x <= kRight - 2; ++x) {
                if (!OnFocusOutline(x, y)) {
                    ASSERT_EQ(At(image, x, y), face) << x << "," << y;
                    continue;
                }
                ASSERT_TRUE(standsOut(x, y) || standsOut(x - 1, y) || standsOut(x + 1, y) ||
                            standsOut(x, y - 1) || standsOut(x, y + 1))
                    << x << "," << y << " " << At(image, x, y).name().toStdString();
            }
        }
        EXPECT_EQ(At(Render(Look{.face = face, .caption = QString()}), 5, 5), face)
            << "no mark without focus";
    }
}

class ShownButton : public ::testing::Test {
protected:
    void SetUp() override {
        m_window.resize(200, 120);
        m_button = new CColorButton(QStringLiteral("HHH"), &m_window);
        m_button->setGeometry(10, 10, kWidth, kHeight);
        m_button->setFont(SansSerifFont(24, QFont::Bold));
        m_button->SetFaceColor(bc::kBlue).SetTextColor(bc::kCaptionWhite);
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
    }

    QImage Grab() { return m_button->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QWidget m_window;
    CColorButton* m_button = nullptr;
};

TEST_F(ShownButton, MousePressShowsTheSunkenLookAndReleaseRestoresIt) {
    const QRect atRest = PixelsOf(Grab(), bc::kCaptionWhite);
    QTest::mousePress(m_button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    ASSERT_TRUE(m_button->hasFocus());
    const QImage down = Grab();
    EXPECT_EQ(At(down, 0, 0), ec::kShadow);
    EXPECT_EQ(At(down, kRight, kBottom), ec::kHighlight);
    EXPECT_EQ(At(down, 5, 5), focus_mark_colors::kDark);
    EXPECT_EQ(PixelsOf(down, bc::kCaptionWhite), atRest.translated(1, 1));

    QTest::mouseRelease(m_button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    const QImage up = Grab();
    EXPECT_EQ(At(up, 0, 0), ec::kLight);
    EXPECT_EQ(At(up, 5, 5), focus_mark_colors::kDark);
    EXPECT_EQ(PixelsOf(up, bc::kCaptionWhite), atRest);
}

TEST_F(ShownButton, RecolouringWithoutAStateChangeReachesTheScreen) {
    QScreen* screen = m_window.screen();
    const QPoint inFace(12 + 10, 12 + 10); // window coordinates, inside the face
    auto faceOnScreen = [&] {
        return screen->grabWindow(m_window.winId()).toImage().pixelColor(inFace);
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return faceOnScreen() == bc::kBlue; }, 2000));
    m_button->SetFaceColor(bc::kPaleBlue);
    EXPECT_TRUE(QTest::qWaitFor([&] { return faceOnScreen() == bc::kPaleBlue; }, 2000));
}

} // namespace
