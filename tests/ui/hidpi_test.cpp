// At a device pixel ratio of 2 (run with QT_SCALE_FACTOR=2) the window keeps its layout in
// logical pixels and draws its picture surfaces with the screen's own pixels, so that lines,
// letters and pieces are not enlarged from half the resolution.

#include <gtest/gtest.h>

#include <QApplication>

#include "board/board_view.h"
#include "ui/control_panel.h"
#include "ui/game_pane.h"
#include "window_fixture.h"

namespace xq {
namespace {

TEST(HiDpi, SurfacesHoldTheScreensPixelsAndTheLayoutStaysLogical) {
    WindowFixture f(QStringLiteral(XQ_TEST_GAME_DIR));
    f.window->startLayoutFor(QSize(1366, 768));
    f.window->setGeometry(0, 0, 1366, 736);
    f.window->show();
    QApplication::processEvents();
    const qreal dpr = f.window->devicePixelRatioF();
    if (dpr < 2) GTEST_SKIP() << "needs QT_SCALE_FACTOR=2";
    BoardView& board = f.window->gamePane().board();
    board.repaintBoard();
    const QImage& surface = board.surface();
    EXPECT_EQ(surface.devicePixelRatio(), dpr);
    EXPECT_EQ(surface.size(), board.size() * dpr) << "every logical pixel has dpr x dpr";
    EXPECT_EQ(f.window->gamePane().surface().size(), f.window->gamePane().size() * dpr);
    EXPECT_EQ(f.window->gamePane().surface().devicePixelRatio(), dpr);
    // A piece is drawn from its picture at the cell's device size: inside its cell, pixels
    // side by side differ (an enlarged half-resolution piece would repeat each pixel).
    const QRect cell(board.geometry().cell(9, 4),
                     QSize(board.geometry().pieceSize, board.geometry().pieceSize));
    ASSERT_GT(cell.width(), 10);
    int differing = 0, pairs = 0;
    for (int y = cell.top() * 2; y < cell.bottom() * 2; y += 2) {
        for (int x = cell.left() * 2; x < cell.right() * 2; x += 2) {
            ++pairs;
            differing += surface.pixel(x, y) != surface.pixel(x + 1, y);
        }
    }
    EXPECT_GT(differing, pairs / 20) << differing << " of " << pairs;
    // The layout is that of 1366 x 768 in logical pixels.
    EXPECT_EQ(f.window->vSplitLeft(), 986);
    EXPECT_TRUE(f.window->controlPanel().isVisible());
}

}  // namespace
}  // namespace xq
