// Draws the main program's bitmaps (the two picture buttons of the top menu in their normal,
// pressed and focused looks, captioned in English and in Japanese), the logo of the main window and
// the program icon, and the install launcher's pictures (its two language buttons in their three
// looks and the two pictures that explain them), and writes them as PNG files into the folder named
// on the command line:
//
//   k720-draw-images <output folder>
//
// The pictures are drawn on whole pixels with QPainter on QImage, and every run gives the same
// bytes. Captions use DejaVu Sans Bold (the platform's sans-serif where it is missing), so a
// machine with other fonts draws slightly different letters. The Japanese pictures (the top menu's
// and the launcher's) need a font with Japanese glyphs (on Debian: fonts-ipafont-gothic); without
// one they are not written and the run fails. The icon is also written as icon.ico, for the Windows
// programs' icon resources. The files are committed; run this tool only to change a picture.

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QPolygonF>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace {

// The classic desktop palette shared with the coloured buttons.
const QColor kDialogGrey(192, 192, 192);
const QColor kEdgeHighlight(255, 255, 255);
const QColor kEdgeLight(223, 223, 223);
const QColor kEdgeShadow(128, 128, 128);
const QColor kEdgeDarkShadow(64, 64, 64);
const QColor kWhite(255, 255, 255);
const QColor kBlueFace(50, 100, 255);
const QColor kOrangeFace(255, 120, 50);

// Colours of the pictures.
const QColor kOutline(24, 24, 32);
const QColor kMeterBody(78, 84, 96);
const QColor kMeterBezel(52, 56, 64);
const QColor kMeterKey(176, 180, 188);
const QColor kAccentYellow(255, 214, 0);
const QColor kLcdGlass(188, 204, 160);
const QColor kLcdSegment(32, 40, 24);
const QColor kLeadRed(220, 24, 24);
const QColor kLeadBlack(20, 20, 20);
const QColor kProbeTip(232, 232, 232);
const QColor kCaseLight(236, 233, 222);
const QColor kCaseShade(188, 184, 170);
const QColor kScreen(0, 56, 120);
const QColor kScreenLine(120, 200, 255);
const QColor kScreenGrey(144, 144, 144);
const QColor kKeyDot(140, 136, 124);
const QColor kBatteryGreen(40, 190, 60);
const QColor kLogoInk(0, 0, 128);

constexpr int kButtonWidth = 140;
constexpr int kButtonHeight = 80;
// The dotted focus mark sits this far inside the button's border, as on the coloured buttons.
constexpr int kFocusInset = 5;
// The caption's line across the top of the face, inside the focus mark.
constexpr QRect kCaptionBox(kFocusInset + 2, kFocusInset + 2, kButtonWidth - 2 * (kFocusInset + 2),
                            15);

enum class ButtonLook { Normal, Pressed, Focused };
enum class Flow { InstrumentToPc, PcToInstrument };
enum class Side { Left, Right };

void Fill(QPainter& p, int x, int y, int w, int h, const QColor& c) {
    p.fillRect(x, y, w, h, c);
}

// A one-pixel frame whose outer size is w x h.
void Frame(QPainter& p, int x, int y, int w, int h, const QColor& c) {
    Fill(p, x, y, w, 1, c);
    Fill(p, x, y + h - 1, w, 1, c);
    Fill(p, x, y, 1, h, c);
    Fill(p, x + w - 1, y, 1, h, c);
}

// One ring of a 3D edge: top and left in one colour, bottom and right in the other.
void EdgeRing(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    Fill(p, r.left(), r.top(), r.width() - 1, 1, topLeft);
    Fill(p, r.left(), r.top(), 1, r.height() - 1, topLeft);
    Fill(p, r.left(), r.bottom(), r.width(), 1, bottomRight);
    Fill(p, r.right(), r.top(), 1, r.height(), bottomRight);
}

void RaisedEdge(QPainter& p, const QRect& r) {
    EdgeRing(p, r, kEdgeLight, kEdgeDarkShadow);
    EdgeRing(p, r.adjusted(1, 1, -1, -1), kEdgeHighlight, kEdgeShadow);
}

void SunkenEdge(QPainter& p, const QRect& r) {
    EdgeRing(p, r, kEdgeShadow, kEdgeHighlight);
    EdgeRing(p, r.adjusted(1, 1, -1, -1), kEdgeDarkShadow, kEdgeLight);
}

// The focus rectangle of the coloured buttons: every pixel of the frame, black and white in turn
// (black at the corners), so that one of the two stands out on any picture behind it.
void FocusDots(QImage& image, const QRect& r) {
    auto dot = [&image](int x, int y) {
        image.setPixel(x, y, (x + y) % 2 == 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    };
    for (int x = r.left(); x <= r.right(); ++x) {
        dot(x, r.top());
        dot(x, r.bottom());
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        dot(r.left(), y);
        dot(r.right(), y);
    }
}

// The font, at its largest size of at most maxPixels, in which each text fits into width pixels.
QFont FittingFont(QFont font, const QStringList& texts, int width, int maxPixels) {
    for (int px = maxPixels; px > 6; --px) {
        font.setPixelSize(px);
        const QFontMetrics metrics(font);
        const bool fits = std::all_of(texts.begin(), texts.end(), [&](const QString& text) {
            return metrics.horizontalAdvance(text) <= width;
        });
        if (fits) {
            return font;
        }
    }
    font.setPixelSize(7);
    return font;
}

// Largest bold sans-serif font, at most maxPixels high, in which each text fits into width pixels.
QFont FittingBoldFont(const QStringList& texts, int width, int maxPixels) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif, QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setBold(true);
    return FittingFont(font, texts, width, maxPixels);
}

// Seven-segment digits for the instrument's display; each digit is 3 x 5 pixels.
void LcdDigit(QPainter& p, int x, int y, int digit) {
    // Segments a..g as bits 0..6.
    static constexpr std::array<int, 10> kSegments = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                                      0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const int s = kSegments.at(static_cast<std::size_t>(digit));
    if (s & 0x01) {
        Fill(p, x, y, 3, 1, kLcdSegment);
    }
    if (s & 0x02) {
        Fill(p, x + 2, y, 1, 3, kLcdSegment);
    }
    if (s & 0x04) {
        Fill(p, x + 2, y + 2, 1, 3, kLcdSegment);
    }
    if (s & 0x08) {
        Fill(p, x, y + 4, 3, 1, kLcdSegment);
    }
    if (s & 0x10) {
        Fill(p, x, y + 2, 1, 3, kLcdSegment);
    }
    if (s & 0x20) {
        Fill(p, x, y, 1, 3, kLcdSegment);
    }
    if (s & 0x40) {
        Fill(p, x, y + 2, 3, 1, kLcdSegment);
    }
}

// One test lead: a cable from the meter's jack to the top of a probe standing beside the meter.
void TestLead(QPainter& p, QPointF jack, QPointF probeTop, qreal rise, const QColor& colour) {
    QPainterPath cable(jack);
    cable.cubicTo(jack.x(), jack.y() - rise, probeTop.x(), probeTop.y() - rise - 4, probeTop.x(),
                  probeTop.y());
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kOutline, 4.0, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(cable);
    p.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(cable);
    p.setRenderHint(QPainter::Antialiasing, false);
}

// A probe standing upright: a handle thicker than the cable, a finger guard and a metal tip.
// x is the left of the two middle pixel columns, y the top of the handle.
void Probe(QPainter& p, int x, int y, const QColor& colour) {
    Fill(p, x - 2, y, 6, 12, kOutline);
    Fill(p, x - 1, y + 1, 4, 10, colour);
    Fill(p, x - 1, y + 2, 1, 8,
         colour == kLeadBlack ? kEdgeDarkShadow.lighter(150) : colour.lighter(150));
    Fill(p, x - 3, y + 10, 8, 3, kOutline);
    Fill(p, x - 2, y + 11, 6, 1, colour);
    Fill(p, x - 1, y + 13, 4, 6, kOutline);
    Fill(p, x, y + 13, 2, 5, kProbeTip);
    Fill(p, x, y + 19, 2, 1, kOutline);
}

// The handheld tester: a dark body with its display and keys, two leads out of its top and the
// two probes standing on the given side. (x, y) is the top-left corner of the body, 24 x 40.
void Instrument(QPainter& p, int x, int y, Side probes) {
    const int redJack = x + 17;
    const int blackJack = x + 7;
    const bool left = probes == Side::Left;
    const int nearProbe = left ? x - 7 : x + 30;
    const int farProbe = left ? x - 16 : x + 39;
    // The jack nearer the probes feeds the nearer probe, so the cables do not cross.
    const int nearJack = left ? blackJack : redJack;
    const int farJack = left ? redJack : blackJack;
    const QColor nearColour = left ? kLeadBlack : kLeadRed;
    const QColor farColour = left ? kLeadRed : kLeadBlack;
    const int probeTop = y + 10;
    TestLead(p, QPointF(farJack + 1, y), QPointF(farProbe + 1, probeTop + 1), 9, farColour);
    TestLead(p, QPointF(nearJack + 1, y), QPointF(nearProbe + 1, probeTop + 1), 5, nearColour);
    Probe(p, farProbe, probeTop, farColour);
    Probe(p, nearProbe, probeTop, nearColour);

    // Jacks.
    Fill(p, blackJack - 1, y - 2, 4, 3, kOutline);
    Fill(p, redJack - 1, y - 2, 4, 3, kOutline);

    // Body with cut corners and a lighter front panel.
    Fill(p, x + 1, y, 22, 40, kOutline);
    Fill(p, x, y + 1, 24, 38, kOutline);
    Fill(p, x + 1, y + 1, 22, 38, kMeterBezel);
    Fill(p, x + 2, y + 2, 20, 36, kMeterBody);

    // Display with a reading.
    Frame(p, x + 3, y + 4, 18, 11, kOutline);
    Fill(p, x + 4, y + 5, 16, 9, kLcdGlass);
    LcdDigit(p, x + 6, y + 7, 1);
    LcdDigit(p, x + 10, y + 7, 2);
    Fill(p, x + 14, y + 11, 1, 1, kLcdSegment);
    LcdDigit(p, x + 16, y + 7, 6);

    // Keys: two rows of three, one of them the highlighted measure key.
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col) {
            const int kx = x + 4 + col * 6;
            const int ky = y + 18 + row * 5;
            Fill(p, kx, ky, 4, 3, kOutline);
            Fill(p, kx, ky, 3, 2, row == 0 && col == 2 ? kAccentYellow : kMeterKey);
        }
    }
    // Round function dial.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kOutline, 1.0));
    p.setBrush(kMeterKey);
    p.drawEllipse(QRectF(x + 7.5, y + 28.5, 9, 9));
    p.setPen(QPen(kOutline, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x + 12, y + 33), QPointF(x + 14, y + 30.5));
    p.setRenderHint(QPainter::Antialiasing, false);
}

// A desktop computer: monitor on a stand and a keyboard in front. (x, y) is the top-left corner;
// the drawing is 44 x 43 pixels.
void Computer(QPainter& p, int x, int y) {
    // Monitor case and screen.
    Frame(p, x + 2, y, 40, 30, kOutline);
    Fill(p, x + 3, y + 1, 38, 28, kCaseLight);
    Fill(p, x + 3, y + 27, 38, 2, kCaseShade);
    Frame(p, x + 5, y + 3, 34, 23, kOutline);
    Fill(p, x + 6, y + 4, 32, 21, kScreen);
    // A window on the screen with a few lines of a table.
    Fill(p, x + 9, y + 7, 26, 15, kWhite);
    Fill(p, x + 9, y + 7, 26, 3, kScreenLine);
    for (int row = 0; row < 4; ++row) {
        Fill(p, x + 11, y + 12 + row * 2 + row / 2, 9, 1, kScreen);
        Fill(p, x + 22, y + 12 + row * 2 + row / 2, 11, 1, kScreenGrey);
    }
    // Power lamp.
    Fill(p, x + 36, y + 27, 2, 1, kBatteryGreen);

    // Stand.
    Fill(p, x + 17, y + 30, 10, 3, kOutline);
    Fill(p, x + 18, y + 30, 8, 2, kCaseShade);
    Fill(p, x + 12, y + 32, 20, 3, kOutline);
    Fill(p, x + 13, y + 32, 18, 2, kCaseLight);

    // Keyboard: a slab with two rows of keys and a space bar.
    Fill(p, x, y + 36, 44, 7, kOutline);
    Fill(p, x + 1, y + 37, 42, 5, kCaseLight);
    for (int row = 0; row < 2; ++row) {
        for (int k = 0; k < 10; ++k) {
            Fill(p, x + 3 + row + k * 4, y + 38 + row * 2, 2, 1, kKeyDot);
        }
    }
    Fill(p, x + 13, y + 41, 18, 1, kKeyDot);
}

// A broad arrow pointing right, white with a dark outline so it reads on any face colour.
// (x, y) is the top-left corner of its 24 x 17 box.
void Arrow(QPainter& p, int x, int y) {
    const QPolygon shape({QPoint(x, y + 5), QPoint(x + 13, y + 5), QPoint(x + 13, y),
                          QPoint(x + 23, y + 8), QPoint(x + 13, y + 16), QPoint(x + 13, y + 11),
                          QPoint(x, y + 11)});
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kOutline, 1.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(kWhite);
    p.translate(0.5, 0.5);
    p.drawPolygon(shape);
    p.translate(-0.5, -0.5);
    p.setRenderHint(QPainter::Antialiasing, false);
}

// Everything on the face that moves when the button is pressed: the caption and the picture.
void ButtonContent(QPainter& p, const QString& caption, const QFont& font, Flow flow) {
    p.setFont(font);
    p.setPen(kWhite);
    p.drawText(kCaptionBox, Qt::AlignCenter | Qt::TextSingleLine, caption);

    // The picture sits below the caption: source, arrow, destination.
    constexpr int kPictureTop = 29;
    if (flow == Flow::InstrumentToPc) {
        Instrument(p, 30, kPictureTop + 2, Side::Left);
        Arrow(p, 60, kPictureTop + 13);
        Computer(p, 88, kPictureTop);
    } else {
        Computer(p, 9, kPictureTop);
        Arrow(p, 57, kPictureTop + 13);
        Instrument(p, 86, kPictureTop + 2, Side::Right);
    }
}

// One picture button as the coloured buttons draw themselves: flat face, raised edge; pressed
// with the content one pixel lower and to the right inside a sunken edge; focused (and pressed)
// with the dotted focus rectangle inside the face.
QImage MenuButton(const QColor& face, const QString& caption, const QFont& font, Flow flow,
                  ButtonLook look) {
    QImage image(kButtonWidth, kButtonHeight, QImage::Format_RGB32);
    const QRect whole = image.rect();
    {
        QPainter p(&image);
        Fill(p, 0, 0, kButtonWidth, kButtonHeight, face);
        RaisedEdge(p, whole);
        if (look == ButtonLook::Pressed) {
            p.translate(1, 1);
            ButtonContent(p, caption, font, flow);
            p.resetTransform();
            SunkenEdge(p, whole);
        } else {
            ButtonContent(p, caption, font, flow);
        }
    }
    if (look != ButtonLook::Normal) {
        FocusDots(image, whole.adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset));
    }
    return image.convertToFormat(QImage::Format_RGB888);
}

// A charged battery: outline, white casing, three green charge bars and the terminal cap.
// body is the outer rectangle without the cap; line is the outline's thickness, which is also
// the gap around and between the bars.
void Battery(QPainter& p, const QRect& body, int line) {
    Fill(p, body.x(), body.y(), body.width(), body.height(), kOutline);
    const QRect casing = body.adjusted(line, line, -line, -line);
    Fill(p, casing.x(), casing.y(), casing.width(), casing.height(), kWhite);
    const QRect bars = casing.adjusted(line, line, -line, -line);
    for (int i = 0; i < 3; ++i) {
        // Spread the bars over the whole width even where it does not divide by three.
        const int left = bars.x() + (i * (bars.width() + line)) / 3;
        const int right = bars.x() + ((i + 1) * (bars.width() + line)) / 3 - line;
        Fill(p, left, bars.y(), right - left, bars.height(), kBatteryGreen);
    }
    const int capHeight = body.height() / 2 + (body.height() % 2);
    const int capWidth = std::max(1, body.width() / 8);
    Fill(p, body.right() + 1, body.y() + (body.height() - capHeight) / 2, capWidth, capHeight,
         kOutline);
}

// A lightning bolt filling box: the mark of the tester on the logo and the icon.
void Bolt(QPainter& p, const QRectF& box, qreal line) {
    auto at = [&box](qreal fx, qreal fy) {
        return QPointF(box.x() + fx * box.width(), box.y() + fy * box.height());
    };
    const QPolygonF shape({at(0.55, 0.0), at(0.0, 0.58), at(0.42, 0.58), at(0.22, 1.0),
                           at(1.0, 0.38), at(0.58, 0.38), at(0.95, 0.0)});
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kOutline, line, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(kAccentYellow);
    p.drawPolygon(shape);
    p.setRenderHint(QPainter::Antialiasing, false);
}

// The main window's logo: a charged battery struck by a bolt, and the instrument's name, on the
// window's grey.
QImage Logo() {
    QImage image(93, 26, QImage::Format_RGB32);
    QPainter p(&image);
    Fill(p, 0, 0, image.width(), image.height(), kDialogGrey);
    Battery(p, QRect(1, 6, 25, 14), 1);
    Bolt(p, QRectF(8.5, 2.5, 11, 21), 1.0);

    const QString name = QStringLiteral("K720");
    p.setFont(FittingBoldFont({name}, 61, 24));
    const QRect textBox(31, 0, 62, 26);
    // Engraved look: a white copy one pixel lower right under the dark ink.
    p.setPen(kWhite);
    p.drawText(textBox.translated(1, 1), Qt::AlignCenter | Qt::TextSingleLine, name);
    p.setPen(kLogoInk);
    p.drawText(textBox, Qt::AlignCenter | Qt::TextSingleLine, name);
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

// The 16-pixel icon, placed pixel by pixel: a blue tile and the battery, no bolt (it would only
// blur the bars at this size).
QImage SmallIcon() {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(kBlueFace);
    for (const QPoint corner : {QPoint(0, 0), QPoint(15, 0), QPoint(0, 15), QPoint(15, 15)}) {
        image.setPixel(corner, qRgba(0, 0, 0, 0));
    }
    QPainter p(&image);
    Battery(p, QRect(2, 4, 12, 8), 1);
    p.end();
    return image;
}

// The program icon at 32 pixels and up: a blue tile with a dark rim and a light inner rim, a
// charged battery and the bolt. Laid out on a 32-unit grid and snapped to whole pixels.
QImage LargeIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    const qreal u = size / 32.0;
    const int line = std::max(1, qRound(u));
    auto snap = [u](int x, int y, int w, int h) {
        const int left = qRound(x * u);
        const int top = qRound(y * u);
        return QRect(left, top, qRound((x + w) * u) - left, qRound((y + h) * u) - top);
    };

    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal half = line / 2.0;
    const QRectF tile = QRectF(image.rect()).adjusted(half, half, -half, -half);
    p.setPen(QPen(kOutline, line));
    p.setBrush(kBlueFace);
    p.drawRoundedRect(tile, 4 * u, 4 * u);
    p.setPen(QPen(kBlueFace.lighter(140), line));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(tile.adjusted(line, line, -line, -line), 3 * u, 3 * u);
    p.setRenderHint(QPainter::Antialiasing, false);

    Battery(p, snap(4, 9, 22, 14), line);
    Bolt(p, QRectF(10.5 * u, 5 * u, 10 * u, 22 * u), line);
    p.end();
    return image;
}

QImage Icon(int size) {
    return size <= 16 ? SmallIcon() : LargeIcon(size);
}

// The install launcher's pictures: two language buttons and the pictures that explain them.
const QColor kPaleCyan(215, 255, 255);
const QColor kPalePink(255, 208, 255);
const QColor kNoteFace(236, 233, 216);
const QColor kInk(0, 0, 0);
constexpr QSize kLanguageButtonSize(88, 45);
constexpr QSize kNoteSize(150, 42);

enum class Spacing { Fixed, Proportional };

// A font that has a glyph for every character of each text: the first of the usual Japanese
// families the machine has (IPA's fixed or proportional Gothic first), else any family the font
// database lists for Japanese.
std::optional<QFont> JapaneseFont(const QStringList& texts, int pixelSize, bool bold,
                                  Spacing spacing = Spacing::Fixed) {
    QStringList families = {QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic"),
                            QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL Gothic")};
    if (spacing == Spacing::Proportional) {
        families.swapItemsAt(0, 1);
    }
    families += QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& family : families) {
        QFont font(family);
        font.setPixelSize(pixelSize);
        font.setBold(bold);
        font.setHintingPreference(QFont::PreferFullHinting);
        if (QFontInfo(font).family() != family) {
            continue;
        }
        const QFontMetrics metrics(font);
        const bool covers = std::all_of(texts.begin(), texts.end(), [&](const QString& text) {
            return std::all_of(text.begin(), text.end(),
                               [&](QChar c) { return metrics.inFont(c); });
        });
        if (covers) {
            return font;
        }
    }
    return std::nullopt;
}

QFont LatinFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif, QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// A language button: the word in black on a pale face inside a raised edge; pressed with the
// word one pixel lower and to the right inside a sunken edge; focused (and pressed) with the
// dotted focus rectangle.
QImage LanguageButton(const QColor& face, const QString& word, const QFont& font, ButtonLook look) {
    QImage image(kLanguageButtonSize, QImage::Format_RGB32);
    const QRect whole = image.rect();
    {
        QPainter p(&image);
        Fill(p, 0, 0, whole.width(), whole.height(), face);
        RaisedEdge(p, whole);
        p.setFont(font);
        p.setPen(kInk);
        const int shift = look == ButtonLook::Pressed ? 1 : 0;
        p.drawText(whole.translated(shift, shift), Qt::AlignCenter | Qt::TextSingleLine, word);
        if (look == ButtonLook::Pressed) {
            SunkenEdge(p, whole);
        }
    }
    if (look != ButtonLook::Normal) {
        FocusDots(image, whole.adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset));
    }
    return image.convertToFormat(QImage::Format_RGB888);
}

// A picture that explains a language button: its lines in black, centred on the dialog face.
QImage Note(const QStringList& lines, const QFont& font) {
    QImage image(kNoteSize, QImage::Format_RGB32);
    QPainter p(&image);
    Fill(p, 0, 0, image.width(), image.height(), kNoteFace);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(image.rect(), Qt::AlignCenter, lines.join(QLatin1Char('\n')));
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

struct Output {
    QString fileName;
    QImage image;
    // Why the picture could not be drawn; the image is then null.
    QString error;
};

constexpr std::array<std::pair<ButtonLook, const char*>, 3> kLooks = {{
    {ButtonLook::Normal, "normal"},
    {ButtonLook::Pressed, "pressed"},
    {ButtonLook::Focused, "focused"},
}};

void AddLauncherImages(std::vector<Output>& out) {
    const QString japanese = QStringLiteral("日本語");
    const QString english = QStringLiteral("English");
    const QStringList japaneseNote = {QStringLiteral("日本語版を"),
                                      QStringLiteral("インストールします。")};
    const QStringList englishNote = {QStringLiteral("Install English version.")};
    const std::optional<QFont> japaneseWord = JapaneseFont({japanese}, 18, true);
    const std::optional<QFont> japaneseText = JapaneseFont(japaneseNote, 13, false);
    const QString noFont =
        QStringLiteral("no font with Japanese glyphs (install fonts-ipafont-gothic)");
    for (const auto& [look, suffix] : kLooks) {
        const QString name = QStringLiteral("install_japanese_%1.png").arg(QLatin1String(suffix));
        if (japaneseWord) {
            out.push_back({name, LanguageButton(kPaleCyan, japanese, *japaneseWord, look), {}});
        } else {
            out.push_back({name, {}, noFont});
        }
        out.push_back({QStringLiteral("install_english_%1.png").arg(QLatin1String(suffix)),
                       LanguageButton(kPalePink, english, LatinFont(16, true), look),
                       {}});
    }
    if (japaneseText) {
        out.push_back(
            {QStringLiteral("install_japanese_note.png"), Note(japaneseNote, *japaneseText), {}});
    } else {
        out.push_back({QStringLiteral("install_japanese_note.png"), {}, noFont});
    }
    out.push_back(
        {QStringLiteral("install_english_note.png"), Note(englishNote, LatinFont(12, false)), {}});
}

constexpr std::array<int, 4> kIconSizes = {16, 32, 48, 256};

void AppendLittleEndian(QByteArray& out, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// The icon as a Windows icon file: a directory of its sizes, each image stored as PNG, which the
// system's icon loader (since Windows Vista, and Wine's) reads.
QByteArray IconFile() {
    constexpr int kHeaderSize = 6;
    constexpr int kEntrySize = 16;
    QByteArray directory;
    QByteArray images;
    AppendLittleEndian(directory, 0, 2);
    AppendLittleEndian(directory, 1, 2); // an icon, not a cursor
    AppendLittleEndian(directory, kIconSizes.size(), 2);
    quint32 offset = kHeaderSize + kEntrySize * kIconSizes.size();
    for (const int size : kIconSizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        Icon(size).save(&buffer, "PNG");
        const int side = size >= 256 ? 0 : size; // 0 stands for 256
        AppendLittleEndian(directory, side, 1);
        AppendLittleEndian(directory, side, 1);
        AppendLittleEndian(directory, 0, 2);  // no palette, reserved
        AppendLittleEndian(directory, 1, 2);  // planes
        AppendLittleEndian(directory, 32, 2); // bits per pixel
        AppendLittleEndian(directory, png.size(), 4);
        AppendLittleEndian(directory, offset, 4);
        offset += png.size();
        images.append(png);
    }
    return directory + images;
}

// The top menu's two picture buttons in their three looks, captioned in one language; the file
// names begin with read_delete<infix>_ and comp_clock<infix>_.
void AddMenuButtons(std::vector<Output>& out, const QString& infix, const QString& readDelete,
                    const QString& compClock, const QFont& captionFont) {
    for (const auto& [look, suffix] : kLooks) {
        out.push_back({QStringLiteral("read_delete%1_%2.png").arg(infix, QLatin1String(suffix)),
                       MenuButton(kBlueFace, readDelete, captionFont, Flow::InstrumentToPc, look),
                       {}});
        out.push_back({QStringLiteral("comp_clock%1_%2.png").arg(infix, QLatin1String(suffix)),
                       MenuButton(kOrangeFace, compClock, captionFont, Flow::PcToInstrument, look),
                       {}});
    }
}

// The Japanese edition's picture buttons, captioned in the glossary's words; a proportional
// font, in which "COMP" keeps the width of the English caption's letters.
void AddJapaneseMenuButtons(std::vector<Output>& out) {
    const QString readDelete = QStringLiteral("データ読込／削除");
    const QString compClock = QStringLiteral("COMP／時計設定");
    const std::optional<QFont> font =
        JapaneseFont({readDelete, compClock}, 13, true, Spacing::Proportional);
    if (!font) {
        const QString noFont =
            QStringLiteral("no font with Japanese glyphs (install fonts-ipafont-gothic)");
        for (const auto& [look, suffix] : kLooks) {
            out.push_back(
                {QStringLiteral("read_delete_ja_%1.png").arg(QLatin1String(suffix)), {}, noFont});
            out.push_back(
                {QStringLiteral("comp_clock_ja_%1.png").arg(QLatin1String(suffix)), {}, noFont});
        }
        return;
    }
    AddMenuButtons(out, QStringLiteral("_ja"), readDelete, compClock,
                   FittingFont(*font, {readDelete, compClock}, kCaptionBox.width(), 13));
}

std::vector<Output> AllImages() {
    const QString readDelete = QStringLiteral("Read/Delete Data");
    const QString compClock = QStringLiteral("Set COMP/Clock");
    std::vector<Output> out;
    // Both buttons share one caption size, like the coloured buttons share their font.
    AddMenuButtons(out, {}, readDelete, compClock,
                   FittingBoldFont({readDelete, compClock}, kCaptionBox.width(), 13));
    AddJapaneseMenuButtons(out);
    out.push_back({QStringLiteral("logo.png"), Logo(), {}});
    for (const int size : kIconSizes) {
        out.push_back({QStringLiteral("icon_%1.png").arg(size), Icon(size), {}});
    }
    AddLauncherImages(out);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    // A drawing tool needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() == 2 &&
        (args.at(1) == QLatin1String("--help") || args.at(1) == QLatin1String("-h"))) {
        QTextStream(stdout) << "usage: k720-draw-images <output folder>\n";
        return 0;
    }
    if (args.size() != 2) {
        err << "usage: k720-draw-images <output folder>\n";
        return 2;
    }
    const QDir folder(args.at(1));
    if (!folder.mkpath(QStringLiteral("."))) {
        err << "cannot create folder " << folder.path() << "\n";
        return 1;
    }
    int failures = 0;
    for (const Output& o : AllImages()) {
        const QString path = folder.filePath(o.fileName);
        if (o.image.isNull()) {
            err << "cannot draw " << o.fileName << ": " << o.error << "\n";
            ++failures;
        } else if (!o.image.save(path, "PNG")) {
            err << "cannot write " << path << "\n";
            ++failures;
        }
    }
    QFile icon(folder.filePath(QStringLiteral("icon.ico")));
    const QByteArray iconBytes = IconFile();
    if (!icon.open(QIODevice::WriteOnly) || icon.write(iconBytes) != iconBytes.size()) {
        err << "cannot write " << icon.fileName() << "\n";
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
