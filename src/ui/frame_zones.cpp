#include "ui/frame_zones.h"

#include <algorithm>

#include "ui/window_layout.h"

namespace xq {

FrameZone classifyFrameZone(const QRect& window, QPoint cursor, bool overSysButton) {
    const int l = window.x(), t = window.y();
    const int r = window.x() + window.width(), b = window.y() + window.height();
    const int cx = cursor.x(), cy = cursor.y();
    const int m = kFrameMargin;
    if (cx < l + m && cy < t + m) return FrameZone::LeftUp;
    if (cx > r - m && cy > b - m) return FrameZone::RightDown;
    if (cy < t + m && cx > r - m) return FrameZone::RightUp;
    if (cx < l + m && cy > b - m) return FrameZone::LeftDown;
    if (cx < l + m) return FrameZone::Left;
    if (cx > r - m) return FrameZone::Right;
    if (cy < t + m) return FrameZone::Up;
    if (cy > b - m) return FrameZone::Down;
    if (t + m < cy && cy < t + kCaptionHeight && !overSysButton) return FrameZone::Move;
    return FrameZone::None;
}

Qt::CursorShape zoneCursor(FrameZone zone) {
    switch (zone) {
        case FrameZone::LeftUp:
        case FrameZone::RightDown:
            return Qt::SizeFDiagCursor;
        case FrameZone::RightUp:
        case FrameZone::LeftDown:
            return Qt::SizeBDiagCursor;
        case FrameZone::Left:
        case FrameZone::Right:
            return Qt::SizeHorCursor;
        case FrameZone::Up:
        case FrameZone::Down:
            return Qt::SizeVerCursor;
        case FrameZone::Move:
        case FrameZone::None:
            break;
    }
    return Qt::ArrowCursor;
}

Qt::Edges zoneEdges(FrameZone zone) {
    switch (zone) {
        case FrameZone::Left:
            return Qt::LeftEdge;
        case FrameZone::Right:
            return Qt::RightEdge;
        case FrameZone::Up:
            return Qt::TopEdge;
        case FrameZone::Down:
            return Qt::BottomEdge;
        case FrameZone::LeftUp:
            return Qt::LeftEdge | Qt::TopEdge;
        case FrameZone::RightUp:
            return Qt::RightEdge | Qt::TopEdge;
        case FrameZone::LeftDown:
            return Qt::LeftEdge | Qt::BottomEdge;
        case FrameZone::RightDown:
            return Qt::RightEdge | Qt::BottomEdge;
        case FrameZone::Move:
        case FrameZone::None:
            break;
    }
    return {};
}

QPoint SysButtonPos(int clientWidth, int slot) {
    return QPoint(clientWidth - 73 + 20 * slot, 3);
}

int HitSysButton(int clientWidth, QPoint at) {
    for (int slot = 0; slot < 3; ++slot) {
        const QPoint p = SysButtonPos(clientWidth, slot);
        if (p.x() < at.x() && at.x() < p.x() + 20 && p.y() < at.y() && at.y() < p.y() + 23)
            return slot;
    }
    return -1;
}

QRect draggedGeometry(const QRect& start, FrameZone zone, QPoint delta, QSize minimum) {
    if (zone == FrameZone::Move) return start.translated(delta);
    const Qt::Edges edges = zoneEdges(zone);
    int l = start.left(), t = start.top();
    int r = start.x() + start.width(), b = start.y() + start.height();
    if (edges & Qt::LeftEdge) l = std::min(l + delta.x(), r - minimum.width());
    if (edges & Qt::RightEdge) r = std::max(r + delta.x(), l + minimum.width());
    if (edges & Qt::TopEdge) t = std::min(t + delta.y(), b - minimum.height());
    if (edges & Qt::BottomEdge) b = std::max(b + delta.y(), t + minimum.height());
    return QRect(l, t, r - l, b - t);
}

}  // namespace xq
