// The board backgrounds carry the river words. The client stretches a background over its whole
// board and draws the grid over it, so the words must land inside the river, clear of its lines,
// at any board size.
#include <gtest/gtest.h>

#include <cmath>

#include "hall_files.h"

namespace {

struct River {
    int top, bottom;  // rows strictly between the river's two lines (dark and light included)
    int left, right;  // the outer files 0 and 8
};

// The grid the client lays out on a board surface of w x h pixels.
River RiverOf(int w, int h) {
    const int s = static_cast<int>(std::nearbyint((w - 20) / 9.0 + 0.5));
    const int x0 = s / 2 + 10, y0 = (h - 9 * s) / 2;
    // Rank 4's light line is at y0 + 4s, rank 5's dark line one pixel above y0 + 5s.
    return {y0 + 4 * s + 1, y0 + 5 * s - 2, x0 - 1, x0 + 8 * s};
}

TEST(RiverWords, InsideTheRiverAndClearOfItsLinesAtEveryBoardSize) {
    // The replay window's board, and boards of the main window on a small and a large screen.
    const QSize sizes[] = {{379, 418}, {548, 604}, {900, 991}};
    for (int style = 0; style < 4; ++style) {
        const QImage picture = hallImage(QStringLiteral("game/Res/QiPanBack_%1.jpg").arg(style));
        ASSERT_FALSE(picture.isNull());
        for (const QSize size : sizes) {
            SCOPED_TRACE(testing::Message()
                         << "style " << style << " at " << size.width() << "x" << size.height());
            const QImage board =
                picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            const River river = RiverOf(size.width(), size.height());
            // Ink: darker than any grain of the board well away from the river.
            int darkestGrain = 255;
            for (int y = 0; y < board.height(); ++y) {
                if (std::abs(y - (river.top + river.bottom) / 2) < board.height() / 5) continue;
                for (int x = 0; x < board.width(); ++x)
                    darkestGrain = std::min(darkestGrain, board.pixelColor(x, y).lightness());
            }
            const int inkBelow = darkestGrain - 30;
            int left = 0, right = 0, astray = 0;
            for (int y = 0; y < board.height(); ++y) {
                for (int x = 0; x < board.width(); ++x) {
                    if (board.pixelColor(x, y).lightness() >= inkBelow) continue;
                    const bool inside =
                        y > river.top && y < river.bottom && x > river.left && x < river.right;
                    if (!inside && ++astray <= 3) ADD_FAILURE() << "ink at " << x << "," << y;
                    (x < size.width() / 2 ? left : right) += inside;
                }
            }
            EXPECT_EQ(astray, 0);
            // Two words, one on each side, in strokes a reader can make out.
            const int strokes = size.width() * size.width() / 4000;
            EXPECT_GT(left, strokes);
            EXPECT_GT(right, strokes);
        }
    }
}

}  // namespace
