#include "controls/bitmap_button.h"

#include <utility>

#include <QPainter>

CBitmapButton::CBitmapButton(QWidget* parent) : QPushButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

bool CBitmapButton::LoadBitmaps(const QString& normal, const QString& pressed,
                                const QString& focused) {
    QPixmap normalPicture(normal);
    QPixmap pressedPicture(pressed);
    QPixmap focusedPicture(focused);
    if (normalPicture.isNull() || pressedPicture.isNull() || focusedPicture.isNull()) {
        return false;
    }
    normal_ = std::move(normalPicture);
    pressed_ = std::move(pressedPicture);
    focused_ = std::move(focusedPicture);
    updateGeometry();
    update();
    return true;
}

void CBitmapButton::SizeToContent() {
    resize(normal_.size());
}

CBitmapButton::Look CBitmapButton::CurrentLook() const {
    if (isDown()) {
        return Look::Pressed;
    }
    if (hasFocus()) {
        return Look::Focused;
    }
    return Look::Normal;
}

const QPixmap& CBitmapButton::Picture(Look look) const {
    switch (look) {
    case Look::Pressed:
        return pressed_;
    case Look::Focused:
        return focused_;
    case Look::Normal:
        break;
    }
    return normal_;
}

QSize CBitmapButton::sizeHint() const {
    return normal_.isNull() ? QPushButton::sizeHint() : normal_.size();
}

void CBitmapButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, Picture(CurrentLook()));
}
