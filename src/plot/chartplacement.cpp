#include "chartplacement.h"

#include <algorithm>
#include <array>

namespace {
// Between the popup and its button, so the button stays visible and clickable.
const int kPopupGap = 4;
} // namespace

QPoint popupPosition(const QRect &button, const QSize &popup, const QRect &screen)
{
    int x = button.left() - kPopupGap - popup.width();
    if (x < screen.left())
        x = button.right() + 1 + kPopupGap;
    int y = button.top() + (button.height() - popup.height()) / 2;
    x = std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - popup.width()));
    y = std::clamp(y, screen.top(), std::max(screen.top(), screen.bottom() + 1 - popup.height()));
    return QPoint(x, y);
}

QRect legendRect(LegendCorner corner, const QRect &area, const QSize &legend, int margin)
{
    const bool left = corner == LegendCorner::TopLeft || corner == LegendCorner::BottomLeft;
    const bool top = corner == LegendCorner::TopLeft || corner == LegendCorner::TopRight;
    const int x = left ? area.left() + margin : area.right() + 1 - margin - legend.width();
    const int y = top ? area.top() + margin : area.bottom() + 1 - margin - legend.height();
    return QRect(QPoint(x, y), legend);
}

LegendCorner quietestCorner(
    const QVector<QPointF> &points, const QRect &area, const QSize &legend, int margin, LegendCorner current)
{
    static const std::array<LegendCorner, 4> kOrder {
        LegendCorner::TopRight, LegendCorner::TopLeft, LegendCorner::BottomRight, LegendCorner::BottomLeft};
    std::array<int, 4> covered {};
    for (size_t i = 0; i < kOrder.size(); ++i) {
        const QRectF rect = legendRect(kOrder[i], area, legend, margin);
        covered[i] = int(std::count_if(
            points.cbegin(), points.cend(), [&rect](const QPointF &p) { return rect.contains(p); }));
    }
    const size_t now = size_t(std::find(kOrder.cbegin(), kOrder.cend(), current) - kOrder.cbegin());
    size_t best = now;
    for (size_t i = 0; i < kOrder.size(); ++i) {
        if (covered[i] < covered[best])
            best = i;
    }
    return kOrder[best];
}
