#pragma once

#include "qcp.h"

#include <optional>

// How the chart moves its axes, free of widgets so each rule is checked on its own.

// Follow mode: keep the window's width and slide it right to the newest sample, never left.
QCPRange followRange(const QCPRange &current, double newestKey);

// Back from the whole curve to following: end at the newest sample, at most 30 s wide, in whole seconds.
QCPRange followWindowFromWholeCurve(const QCPRange &current, double newestKey);

// One zoom step about the centre (width / 1.2 in, × 1.2 out); nothing when zooming in on a range
// `minWidth` wide or narrower, or out on one `maxWidth` wide or wider.
std::optional<QCPRange> zoomStep(const QCPRange &current, bool zoomIn, double minWidth, double maxWidth);

// A range reaching below `floor` starts at floor instead; one lying wholly below it keeps its width.
// Nothing when the range is already at or above floor.
std::optional<QCPRange> guardedRange(const QCPRange &range, double floor);
