#include "window_placement.h"

namespace {

constexpr int kFirstRunOffset = 100;

QPoint Centred(QSize windowSize, const QRect& area) {
    return QPoint(area.x() + (area.width() - windowSize.width()) / 2,
                  area.y() + (area.height() - windowSize.height()) / 2);
}

} // namespace

SettingsRect ToSettingsRect(const QRect& rect) {
    return SettingsRect{rect.left(), rect.top(), rect.left() + rect.width(),
                        rect.top() + rect.height()};
}

QRect FromSettingsRect(const SettingsRect& rect) {
    return QRect(QPoint(rect.left, rect.top),
                 QSize(rect.right - rect.left, rect.bottom - rect.top));
}

QPoint FirstRunPosition(QSize windowSize, const QRect& primaryArea) {
    return Centred(windowSize, primaryArea) + QPoint(kFirstRunOffset, kFirstRunOffset);
}

QPoint RestoredPosition(QPoint saved, QSize windowSize, const QList<QRect>& screens,
                        const QRect& primaryArea) {
    const QRect window(saved, windowSize);
    for (const QRect& screen : screens) {
        if (window.intersects(screen)) {
            return saved;
        }
    }
    return Centred(windowSize, primaryArea);
}
