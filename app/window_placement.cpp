#include "window_placement.h"

#include <cstdint>

#include <QWidget>

namespace {

constexpr int kFirstRunOffset = 100;
// Qt's own bound on a widget's geometry: anything beyond it cannot be a window's place.
constexpr std::int64_t kMaxCoordinate = QWIDGETSIZE_MAX;

QPoint Centred(QSize windowSize, const QRect& area) {
    return QPoint(area.x() + (area.width() - windowSize.width()) / 2,
                  area.y() + (area.height() - windowSize.height()) / 2);
}

} // namespace

SettingsRect ToSettingsRect(const QRect& rect) {
    return SettingsRect{rect.left(), rect.top(), rect.left() + rect.width(),
                        rect.top() + rect.height()};
}

QPoint FirstRunPosition(QSize windowSize, const QRect& primaryArea) {
    return Centred(windowSize, primaryArea) + QPoint(kFirstRunOffset, kFirstRunOffset);
}

QPoint RestoredPosition(const SettingsRect& saved, QSize windowSize, const QList<QRect>& screens,
                        const QRect& primaryArea) {
    const std::int64_t left = saved.left;
    const std::int64_t top = saved.top;
    const auto placeable = [](std::int64_t start, int extent) {
        return start >= -kMaxCoordinate && start + extent <= kMaxCoordinate;
    };
    if (!placeable(left, windowSize.width()) || !placeable(top, windowSize.height())) {
        return FirstRunPosition(windowSize, primaryArea);
    }
    const QPoint position(static_cast<int>(left), static_cast<int>(top));
    const QRect window(position, windowSize);
    for (const QRect& screen : screens) {
        if (window.intersects(screen)) {
            return position;
        }
    }
    return Centred(windowSize, primaryArea);
}
