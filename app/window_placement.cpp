#include "app/window_placement.h"

#include <algorithm>
#include <cstdint>

#include <QRegion>
#include <QWidget>

namespace {

constexpr int kFirstRunOffset = 100;
// Qt's own bound on a widget's geometry: anything beyond it cannot be a window's place.
constexpr std::int64_t kMaxCoordinate = QWIDGETSIZE_MAX;
// A saved place is kept when at least this share of the title bar and of the whole window
// lies on a present screen.
constexpr std::int64_t kVisibleNumerator = 2;
constexpr std::int64_t kVisibleDenominator = 3;

std::int64_t Area(const QRect& rect) {
    return static_cast<std::int64_t>(rect.width()) * rect.height();
}

// The area of `rect` that lies on `screens`, counting overlapping screens once.
std::int64_t VisibleArea(const QRect& rect, const QRegion& screens) {
    std::int64_t area = 0;
    for (const QRect& part : screens.intersected(rect)) {
        area += Area(part);
    }
    return area;
}

bool MostlyVisible(const QRect& rect, const QRegion& screens) {
    return VisibleArea(rect, screens) * kVisibleDenominator >= Area(rect) * kVisibleNumerator;
}

// `rect` moved the least distance into `area`; a rectangle larger than the area keeps its
// top-left corner in the area's.
QRect KeptInside(QRect rect, const QRect& area) {
    rect.moveLeft(std::max(area.left(), std::min(rect.left(), area.right() + 1 - rect.width())));
    rect.moveTop(std::max(area.top(), std::min(rect.top(), area.bottom() + 1 - rect.height())));
    return rect;
}

QRect Centred(QSize frameSize, const QRect& area) {
    QRect rect(QPoint(), frameSize);
    rect.moveCenter(area.center());
    return KeptInside(rect, area);
}

} // namespace

SettingsRect ToSettingsRect(const QRect& rect) {
    return SettingsRect{rect.left(), rect.top(), rect.left() + rect.width(),
                        rect.top() + rect.height()};
}

QRect FirstRunPlace(QSize frameSize, const QRect& primaryArea) {
    return KeptInside(Centred(frameSize, primaryArea).translated(kFirstRunOffset, kFirstRunOffset),
                      primaryArea);
}

QRect RestoredPlace(const SettingsRect& saved, QSize frameSize, int titleBarHeight,
                    const QList<QRect>& screens, const QRect& primaryArea) {
    const std::int64_t left = saved.left;
    const std::int64_t top = saved.top;
    const auto placeable = [](std::int64_t start, int extent) {
        return start >= -kMaxCoordinate && start + extent <= kMaxCoordinate;
    };
    if (placeable(left, frameSize.width()) && placeable(top, frameSize.height())) {
        const QRect window(QPoint(static_cast<int>(left), static_cast<int>(top)), frameSize);
        const QRect titleBar(window.topLeft(), QSize(frameSize.width(),
                                                     std::min(titleBarHeight, frameSize.height())));
        QRegion present;
        for (const QRect& screen : screens) {
            present += screen;
        }
        if (!window.isEmpty() && MostlyVisible(titleBar, present) &&
            MostlyVisible(window, present)) {
            return window;
        }
    }
    return Centred(frameSize, primaryArea);
}
