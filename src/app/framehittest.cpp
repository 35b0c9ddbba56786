#include "framehittest.h"

FrameHit frameHitTest(QPoint pos, QSize size, int border)
{
    const int x = pos.x();
    const int y = pos.y();
    const int w = size.width();
    const int h = size.height();
    const bool left = 0 < x && x < border;
    const bool right = w - border < x && x < w;
    const bool top = 0 < y && y < border;
    const bool bottom = h - border < y && y < h;
    if (left && top)
        return FrameHit::TopLeft;
    if (right && top)
        return FrameHit::TopRight;
    if (left && bottom)
        return FrameHit::BottomLeft;
    if (right && bottom)
        return FrameHit::BottomRight;
    if (bottom)
        return FrameHit::Bottom;
    if (top)
        return FrameHit::Top;
    if (right)
        return FrameHit::Right;
    if (left)
        return FrameHit::Left;
    return FrameHit::None;
}

Qt::Edges frameEdges(FrameHit hit)
{
    switch (hit) {
    case FrameHit::Left:
        return Qt::LeftEdge;
    case FrameHit::Right:
        return Qt::RightEdge;
    case FrameHit::Top:
        return Qt::TopEdge;
    case FrameHit::Bottom:
        return Qt::BottomEdge;
    case FrameHit::TopLeft:
        return Qt::TopEdge | Qt::LeftEdge;
    case FrameHit::TopRight:
        return Qt::TopEdge | Qt::RightEdge;
    case FrameHit::BottomLeft:
        return Qt::BottomEdge | Qt::LeftEdge;
    case FrameHit::BottomRight:
        return Qt::BottomEdge | Qt::RightEdge;
    case FrameHit::None:
        break;
    }
    return {};
}

Qt::CursorShape frameCursor(FrameHit hit)
{
    switch (hit) {
    case FrameHit::Left:
    case FrameHit::Right:
        return Qt::SizeHorCursor;
    case FrameHit::Top:
    case FrameHit::Bottom:
        return Qt::SizeVerCursor;
    case FrameHit::TopLeft:
    case FrameHit::BottomRight:
        return Qt::SizeFDiagCursor;
    case FrameHit::TopRight:
    case FrameHit::BottomLeft:
        return Qt::SizeBDiagCursor;
    case FrameHit::None:
        break;
    }
    return Qt::ArrowCursor;
}
