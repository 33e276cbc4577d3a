#include "look/board_geometry.h"

#include <cmath>
#include <cstdlib>

namespace xq {

int roundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

BoardGeometry::BoardGeometry(int w, int h)
    : width(w),
      height(h),
      grid(roundHalfEven((w - 20) / 9.0 + 0.5)),
      pieceSize(grid - 4),
      x0(grid / 2 + 10),
      y0((h - 9 * grid) / 2) {}

QPoint BoardGeometry::cell(int row, int col) const {
    return {11 + col * grid, (height - 9 * grid) / 2 - 1 - grid / 2 + row * grid + 2};
}

void BoardGeometry::pointAt(int x, int y, int& row, int& col) const {
    row = -1;
    col = -1;
    if (grid <= 0) return;
    const int top = (height - 10 * grid) / 2;
    if (x < 10 || y < top) return;
    const int r = (y - top) / grid;
    if (r >= 10) return;
    const int c = (x - 10) / grid;
    if (c >= 9) return;
    row = r;
    col = c;
}

QColor darkLineColour(int boardStyle) {
    return boardStyle == 0 ? QColor(222, 40, 0) : QColor(132, 81, 24);
}

QColor lightLineColour(int boardStyle) {
    switch (boardStyle) {
        case 1:
            return {237, 233, 209};
        case 3:
            return {247, 243, 229};
        default:
            return {239, 219, 181};
    }
}

MoveFrames::MoveFrames(QPoint from, QPoint to, int pieceSize)
    : count(0), from_(from), to_(to), unit_(roundHalfEven(pieceSize / 10.0 + 0.5)) {
    if (unit_ <= 0) return;
    count = std::max(std::abs(to.x() - from.x()) / unit_, std::abs(to.y() - from.y()) / unit_);
}

QPoint MoveFrames::at(int frame) const {
    if (count <= 0) return to_;
    const int ddx = to_.x() - from_.x(), ddy = to_.y() - from_.y();
    int dx = roundHalfEven(static_cast<double>(ddx) / count + 0.5);
    int dy = roundHalfEven(static_cast<double>(ddy) / count + 0.5);
    int cx = from_.x(), cy = from_.y();
    for (int i = 1; i <= frame && i <= count; ++i) {
        cx += dx;
        cy += dy;
        if ((dx > 0 && cx > to_.x()) || (dx <= 0 && cx < to_.x())) cx = to_.x();
        if ((dy > 0 && cy > to_.y()) || (dy <= 0 && cy < to_.y())) cy = to_.y();
        if (i != count) {
            // The whole distance over the frames left, not the rest of the way: the piece speeds
            // up and the clamp holds it on the target.
            dx = roundHalfEven(static_cast<double>(ddx) / (count - i) + 0.5);
            dy = roundHalfEven(static_cast<double>(ddy) / (count - i) + 0.5);
        }
    }
    return {cx, cy};
}

}  // namespace xq
