// The owner-drawn push button of the pages: a flat face in a colour the page chooses, a classic
// raised edge, a centred one-line caption, a sunken edge while pressed, a focus rectangle of dark
// and light dots 5 pixels inside the border and a grey caption while disabled.
#pragma once

#include <QColor>
#include <QFont>
#include <QPushButton>
#include <QRect>
#include <QString>

class QPainter;

// Faces and captions the pages use; a pale face marks a button disabled during an exchange.
namespace button_colors {
inline constexpr QColor kCaptionWhite{255, 255, 255};
inline constexpr QColor kGreen{0, 192, 0}; // back, cancel, exit
inline constexpr QColor kPaleGreen{224, 255, 224};
inline constexpr QColor kRed{255, 0, 0}; // deletion
inline constexpr QColor kPaleRed{255, 224, 224};
inline constexpr QColor kBlue{50, 100, 255}; // reading
inline constexpr QColor kPaleBlue{224, 224, 255};
inline constexpr QColor kOrange{255, 120, 50}; // comparator tables and clock
inline constexpr QColor kPaleOrange{255, 224, 192};
} // namespace button_colors

// The two colours of the focus rectangle's dots: 21:1 between them, so that one of them has at
// least 4.5:1 against any face.
namespace focus_mark_colors {
inline constexpr QColor kDark{0, 0, 0};
inline constexpr QColor kLight{255, 255, 255};
} // namespace focus_mark_colors

// The classic 3-D colours of the button edges.
namespace edge_colors {
inline constexpr QColor kHighlight{255, 255, 255};
inline constexpr QColor kLight{192, 192, 192};
inline constexpr QColor kShadow{128, 128, 128};
inline constexpr QColor kDarkShadow{0, 0, 0};
} // namespace edge_colors

// Everything one drawing request needs: where, in which state, and what to write.
struct ColorButtonItem {
    QRect rect;
    bool pressed = false;
    bool focused = false;
    bool enabled = true;
    QString caption;
    QFont font;
};

class CColorButton : public QPushButton {
    Q_OBJECT

public:
    static constexpr QColor kInitialText{0, 0, 0};
    static constexpr QColor kInitialFace{192, 192, 192};
    static constexpr QColor kInitialDisabledText{128, 128, 128};

    explicit CColorButton(QWidget* parent = nullptr);
    explicit CColorButton(const QString& caption, QWidget* parent = nullptr);

    // The setters store the colour and schedule a repaint, so a page that recolours a button
    // without changing its enabled state never leaves the old face on screen.
    CColorButton& SetFaceColor(const QColor& color);
    CColorButton& SetTextColor(const QColor& color);

    QColor FaceColor() const { return face_; }
    QColor TextColor() const { return text_; }
    QColor DisabledTextColor() const { return disabledText_; }

    // Paints the button described by `item` with this button's colours.
    void DrawItem(QPainter& painter, const ColorButtonItem& item) const;

    // The drawing request for this button as it is now.
    ColorButtonItem CurrentItem() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor text_ = kInitialText;
    QColor face_ = kInitialFace;
    QColor disabledText_ = kInitialDisabledText;
};

// Drawing primitives of the classic look, shared with other owner-drawn controls.
void DrawRaisedEdge(QPainter& painter, const QRect& rect);
void DrawSunkenEdge(QPainter& painter, const QRect& rect);
// Draws the rectangle's outline in alternating dark and light dots, dark where the pixel's
// coordinates add up to an even number: the focus rectangle of an owner-drawn button. One of the
// two always stands out from the face, whatever its colour.
void DrawFocusRect(QPainter& painter, const QRect& rect);
