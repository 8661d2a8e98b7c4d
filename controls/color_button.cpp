#include "controls/color_button.h"

#include <QPainter>
#include <QPolygon>

namespace {

// The focus rectangle sits this many pixels inside the button's border.
constexpr int kFocusInset = 5;

void FillPixelRow(QPainter& painter, int left, int right, int y, const QColor& color) {
    if (right >= left) {
        painter.fillRect(QRect(QPoint(left, y), QPoint(right, y)), color);
    }
}

void FillPixelColumn(QPainter& painter, int x, int top, int bottom, const QColor& color) {
    if (bottom >= top) {
        painter.fillRect(QRect(QPoint(x, top), QPoint(x, bottom)), color);
    }
}

// A two-pixel edge on all four sides: the outer ring first (top and left, then bottom and
// right, which win at the corners), then the inner ring one pixel further in.
void DrawEdge(QPainter& painter, const QRect& rect, const QColor& outerTopLeft,
              const QColor& outerBottomRight, const QColor& innerTopLeft,
              const QColor& innerBottomRight) {
    if (rect.isEmpty()) {
        return;
    }
    const int l = rect.left();
    const int t = rect.top();
    const int r = rect.right();
    const int b = rect.bottom();
    FillPixelRow(painter, l, r, t, outerTopLeft);
    FillPixelColumn(painter, l, t, b, outerTopLeft);
    FillPixelRow(painter, l, r, b, outerBottomRight);
    FillPixelColumn(painter, r, t, b, outerBottomRight);
    FillPixelRow(painter, l + 1, r - 1, t + 1, innerTopLeft);
    FillPixelColumn(painter, l + 1, t + 1, b - 1, innerTopLeft);
    FillPixelRow(painter, l + 1, r - 1, b - 1, innerBottomRight);
    FillPixelColumn(painter, r - 1, t + 1, b - 1, innerBottomRight);
}

// Writes the caption centred on one line, clipped to `rect`; '&' marks a mnemonic as in
// every classic button caption.
void DrawCaption(QPainter& painter, const QRect& rect, const QString& caption,
                 const QColor& color) {
    const QPen previous = painter.pen();
    painter.setPen(color);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, caption);
    painter.setPen(previous);
}

} // namespace

void DrawRaisedEdge(QPainter& painter, const QRect& rect) {
    DrawEdge(painter, rect, edge_colors::kLight, edge_colors::kDarkShadow, edge_colors::kHighlight,
             edge_colors::kShadow);
}

void DrawSunkenEdge(QPainter& painter, const QRect& rect) {
    DrawEdge(painter, rect, edge_colors::kShadow, edge_colors::kHighlight, edge_colors::kDarkShadow,
             edge_colors::kLight);
}

void DrawFocusRect(QPainter& painter, const QRect& rect) {
    if (rect.isEmpty()) {
        return;
    }
    // Each outline pixel once, dark on the even positions and light on the odd ones, so the
    // corners are dark dots.
    QPolygon darkDots;
    QPolygon lightDots;
    const auto addDot = [&darkDots, &lightDots](int x, int y) {
        ((x + y) % 2 == 0 ? darkDots : lightDots) << QPoint(x, y);
    };
    for (int x = rect.left(); x <= rect.right(); ++x) {
        addDot(x, rect.top());
        if (rect.bottom() != rect.top()) {
            addDot(x, rect.bottom());
        }
    }
    for (int y = rect.top() + 1; y < rect.bottom(); ++y) {
        addDot(rect.left(), y);
        if (rect.right() != rect.left()) {
            addDot(rect.right(), y);
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(focus_mark_colors::kDark, 0));
    painter.drawPoints(darkDots);
    painter.setPen(QPen(focus_mark_colors::kLight, 0));
    painter.drawPoints(lightDots);
    painter.restore();
}

CColorButton::CColorButton(QWidget* parent) : QPushButton(parent) {}

CColorButton::CColorButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {}

CColorButton& CColorButton::SetFaceColor(const QColor& color) {
    face_ = color;
    update();
    return *this;
}

CColorButton& CColorButton::SetTextColor(const QColor& color) {
    text_ = color;
    update();
    return *this;
}

void CColorButton::DrawItem(QPainter& painter, const ColorButtonItem& item) const {
    const QRect buttonRect = item.rect;
    const QRect focusRect =
        item.rect.adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset);
    painter.setFont(item.font);

    painter.fillRect(buttonRect, face_);
    DrawRaisedEdge(painter, buttonRect);

    // Focus is tested before the disabled state: a focused button keeps its caption colour.
    if (item.focused) {
        if (item.pressed) {
            DrawCaption(painter, buttonRect.translated(1, 1), item.caption, text_);
            DrawSunkenEdge(painter, buttonRect);
        } else {
            DrawCaption(painter, buttonRect, item.caption, text_);
        }
        DrawFocusRect(painter, focusRect);
    } else if (!item.enabled) {
        DrawCaption(painter, buttonRect, item.caption, disabledText_);
    } else {
        DrawCaption(painter, buttonRect, item.caption, text_);
    }
}

ColorButtonItem CColorButton::CurrentItem() const {
    return ColorButtonItem{rect(), isDown(), hasFocus(), isEnabled(), text(), font()};
}

void CColorButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    DrawItem(painter, CurrentItem());
}
