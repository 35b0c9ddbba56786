#include "chartranges.h"

#include <algorithm>
#include <cmath>

namespace {
const double kZoomFactor = 1.2;
const double kMaxFollowWidth = 30.0;
} // namespace

QCPRange followRange(const QCPRange &current, double newestKey)
{
    const double upper = std::max(current.upper, newestKey);
    return QCPRange(upper - current.size(), upper);
}

QCPRange followWindowFromWholeCurve(const QCPRange &current, double newestKey)
{
    const double upper = std::max(current.upper, newestKey);
    const double width = std::trunc(std::min(current.size(), kMaxFollowWidth));
    return QCPRange(upper - width, upper);
}

std::optional<QCPRange> zoomStep(const QCPRange &current, bool zoomIn, double minWidth, double maxWidth)
{
    const double w = current.size();
    if (zoomIn ? !(w > minWidth) : !(w < maxWidth))
        return std::nullopt;
    const double shift = zoomIn ? (w - w / kZoomFactor) / 2 : -(kZoomFactor * w - w) / 2;
    return QCPRange(current.lower + shift, current.upper - shift);
}

std::optional<QCPRange> guardedRange(const QCPRange &range, double floor)
{
    if (!(range.lower < floor))
        return std::nullopt;
    // Clamping only the lower end of a range lying wholly below the floor would leave it zero wide.
    if (range.upper > floor)
        return QCPRange(floor, range.upper);
    return QCPRange(floor, floor + range.size());
}
