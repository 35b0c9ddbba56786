#pragma once

#include "qcp.h"

#include <optional>

// How the chart moves its axes, free of widgets so each rule is checked on its own.

// Follow mode: keep the window's width and slide it right to the newest sample, never left.
QCPRange followRange(const QCPRange &current, double newestKey);

// Back from the whole curve to following: end at the newest sample, at most 30 s wide, in whole seconds.
QCPRange followWindowFromWholeCurve(const QCPRange &current, double newestKey);

// A new recording's time window: from 0, as wide as the follow window (in whole-curve mode, as wide as
// going back to following would make it; 30 s when that is no width).
QCPRange recordingStartWindow(const QCPRange &current, bool wholeCurve);

// Following without auto-fit: the least shift of `current` that shows `value` with a margin of 5 % of the
// span, keeping the span and starting no lower than `floor`. Nothing when the value is in view, is not
// finite or is NoReading.
std::optional<QCPRange> keepValueInView(const QCPRange &current, double value, double floor);

// The temperature range that shows a whole curve of values [min, max], with a margin of 5 % of the span on
// each side and at least 0.5 degrees, so a flat curve is a line in the middle.
QCPRange wholeCurveValueRange(double min, double max);

// One zoom step about the centre (width / 1.2 in, × 1.2 out); nothing when zooming in on a range
// `minWidth` wide or narrower, or out on one `maxWidth` wide or wider.
std::optional<QCPRange> zoomStep(const QCPRange &current, bool zoomIn, double minWidth, double maxWidth);

// A range reaching below `floor` starts at floor instead; one lying wholly below it keeps its width.
// Nothing when the range is already at or above floor.
std::optional<QCPRange> guardedRange(const QCPRange &range, double floor);
