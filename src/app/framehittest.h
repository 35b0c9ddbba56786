#pragma once

#include <QPoint>
#include <QSize>
#include <Qt>

// Where a point lies on the resize border of a frameless window. The values are Windows' WM_NCHITTEST
// answers, so the Windows build can return them as they are.
enum class FrameHit {
    None = 0, // inside the window: the platform's own hit test decides
    Left = 10,
    Right = 11,
    Top = 12,
    TopLeft = 13,
    TopRight = 14,
    Bottom = 15,
    BottomLeft = 16,
    BottomRight = 17,
};

// `pos` is relative to the window's top-left corner, `size` the window's size. A point is on a border
// when it lies strictly between the window's edge and `border` pixels inside it; corners win over edges.
FrameHit frameHitTest(QPoint pos, QSize size, int border = 5);
// The edges a system resize from `hit` moves; none for FrameHit::None.
Qt::Edges frameEdges(FrameHit hit);
// The cursor that offers the resize from `hit`.
Qt::CursorShape frameCursor(FrameHit hit);
