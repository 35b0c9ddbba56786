#include "chartranges.h"

#include "recording/sampleinbox.h"

#include <algorithm>
#include <cmath>

namespace {
const double kZoomFactor = 1.2;
const double kMaxFollowWidth = 30.0;
const double kValueMargin = 0.05; // of the span
const double kMinWholeCurveMargin = 0.5;
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

QCPRange recordingStartWindow(const QCPRange &current, bool wholeCurve)
{
    const double width
        = wholeCurve ? followWindowFromWholeCurve(current, current.upper).size() : current.size();
    return QCPRange(0, width > 0 ? width : kMaxFollowWidth);
}

std::optional<QCPRange> keepValueInView(const QCPRange &current, double value, double floor)
{
    if (!std::isfinite(value) || value == SampleInbox::NoReading
        || (value >= current.lower && value <= current.upper))
        return std::nullopt;
    const double span = current.size();
    const double margin = kValueMargin * span;
    double lower = value < current.lower ? value - margin : value + margin - span;
    lower = std::max(lower, floor);
    return QCPRange(lower, lower + span);
}

QCPRange wholeCurveValueRange(double min, double max)
{
    const double margin = std::max(kValueMargin * (max - min), kMinWholeCurveMargin);
    return QCPRange(min - margin, max + margin);
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
