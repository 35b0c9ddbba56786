#pragma once

#include <QPolygonF>
#include <QRect>
#include <QVector>

// How a line denser than the pixels is painted. A pixel column whose points lie further apart than the pen
// is wide (noise that fills the plot) becomes one solid vertical span, filled without antialiasing: a
// stroked zigzag of hundreds of pixels per column costs tens of milliseconds a frame, the span looks the
// same. Every other segment stays a stroked line, so flat stretches keep their smooth look and the line
// runs on into each span. Widget-free, so the split can be checked point by point.
struct ColumnSpans
{
    // Rectangles to fill, covering exactly each spanned column's pixels: as wide as the pen, reaching half a
    // pen beyond the column's extremes. Neighbouring columns share horizontal bands, as filling costs per
    // row of each rectangle.
    QVector<QRect> spans;
    // The segments no span covers, joined into polylines.
    QVector<QPolygonF> lines;
};

// `points` in pixels, x never decreasing. A column is [x, x + 1); its reach includes the last point of the
// column just left of it, so the step into it is covered too.
ColumnSpans splitIntoColumnSpans(const QVector<QPointF> &points, double penWidth);
