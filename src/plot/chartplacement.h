#pragma once

#include <QPointF>
#include <QRect>
#include <QVector>

// Where the chart puts what floats over it, free of widgets so each rule is checked on its own.

// Top-left corner of a zoom popup of `popup` size beside `button` (both in screen coordinates): left of
// the button, vertically centred on it, where there is room on `screen`, else right of it; always wholly
// on the screen.
QPoint popupPosition(const QRect &button, const QSize &popup, const QRect &screen);

// The legend's place: one of the corners of the plot area.
enum class LegendCorner { TopRight, TopLeft, BottomRight, BottomLeft };

// The corner where a legend of `legend` size, `margin` pixels in from the edges of `area`, covers the
// fewest of `points` (pixels). The current corner is kept unless another covers fewer; among other
// corners the earlier one in the order above wins.
LegendCorner quietestCorner(
    const QVector<QPointF> &points, const QRect &area, const QSize &legend, int margin, LegendCorner current);

// The rectangle a legend takes in that corner.
QRect legendRect(LegendCorner corner, const QRect &area, const QSize &legend, int margin);
