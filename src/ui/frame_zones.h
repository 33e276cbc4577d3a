#pragma once

#include <QPoint>
#include <QRect>
#include <Qt>

namespace xq {

// Where the pointer is on the frameless table window: an edge or corner to size it from, the
// caption to move it by, or nothing.
enum class FrameZone { None, Left, Right, Up, Down, LeftUp, RightUp, LeftDown, RightDown, Move };

inline constexpr int kFrameMargin = 5;

// The zone for a pointer at `cursor`, both in screen pixels, for a window at `window` (its right
// and bottom are left + width and top + height). `overSysButton`: the pointer is on one of the
// caption's system buttons. The first matching test wins: corners, then edges, then the caption.
FrameZone classifyFrameZone(const QRect& window, QPoint cursor, bool overSysButton);

// The pointer shape that goes with a zone (the default arrow for the caption and nothing).
Qt::CursorShape zoneCursor(FrameZone zone);
// The window edges a drag in this zone resizes; none for Move and None.
Qt::Edges zoneEdges(FrameZone zone);

// The caption's system buttons (0 minimise, 1 maximise or restore, 2 close), 20 x 23 each.
QPoint SysButtonPos(int clientWidth, int slot);
// The slot under a point of the client area, strictly inside a button; -1 for none.
int HitSysButton(int clientWidth, QPoint at);

// A window dragged by hand (where the system has no move/size loop of its own): the new
// geometry after the pointer moved by `delta` from where the drag began, never below the
// minimum size; an edge being dragged moves, the opposite one stays.
QRect draggedGeometry(const QRect& start, FrameZone zone, QPoint delta, QSize minimum);

}  // namespace xq
