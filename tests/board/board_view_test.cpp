#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

#include "../support/table_board_view.h"
#include "board/board_view.h"
#include "game/game_state.h"
#include "prefs/user_settings.h"
#include "startup/session.h"

namespace xq {
namespace {

struct BoardFixture {
    explicit BoardFixture(QSize size,
                          const QString& appPath = QStringLiteral("/nonexistent/game/")) {
        session.strAppPath = appPath;
        settings.bteQiPanStyle = 1;
        view.resize(size);
        view.repaintBoard();
    }
    QColor at(int x, int y) const { return QColor(view.surface().pixel(x, y)); }

    Session session;
    GameState game;
    UserSettings settings;
    test::TableBoardView view{session, game, settings};
};

TEST(BoardGeometry, GridStepRoundsHalvesToEven) {
    const struct {
        int width, grid, piece;
    } cases[] = {{470, 50, 46}, {475, 51, 47}, {479, 52, 48}, {20, 0, -4}, {380, 40, 36}};
    for (const auto& c : cases) {
        const BoardGeometry g(c.width, 600);
        EXPECT_EQ(g.grid, c.grid) << c.width;
        EXPECT_EQ(g.pieceSize, c.piece) << c.width;
        EXPECT_EQ(g.x0, c.grid / 2 + 10);
        EXPECT_EQ(g.y0, (600 - 9 * c.grid) / 2);
    }
}

TEST(BoardGeometry, MousePositionsOwnWholeCells) {
    const BoardGeometry g(470, 560);  // grid 50, cells from (10, 30)
    const int top = (560 - 500) / 2;
    const struct {
        int x, y, row, col;
    } cases[] = {
        {9, 100, -1, -1},
        {10, top, 0, 0},
        {59, top + 49, 0, 0},
        {60, top + 50, 1, 1},
        {10 + 9 * 50 - 1, top, 0, 8},
        {10 + 9 * 50, top, -1, -1},
        {100, top - 1, -1, -1},
        {100, top + 500 - 1, 9, 1},
        {100, top + 500, -1, -1},
        {35, top + 25, 0, 0},
        {-5, -5, -1, -1},
    };
    for (const auto& c : cases) {
        int row = 7, col = 7;
        g.pointAt(c.x, c.y, row, col);
        EXPECT_EQ(row, c.row) << c.x << "," << c.y;
        EXPECT_EQ(col, c.col) << c.x << "," << c.y;
    }
    EXPECT_EQ(g.cell(0, 0), QPoint(11, (560 - 450) / 2 - 1 - 25 + 2));
}

TEST(BoardGeometry, AnimationFrames) {
    const BoardGeometry g(470, 560);
    EXPECT_EQ(MoveFrames(g.cell(5, 4), g.cell(4, 4), g.pieceSize).count, 10);
    EXPECT_EQ(MoveFrames(g.cell(9, 1), g.cell(7, 2), g.pieceSize).count, 20);
    const MoveFrames horse(g.cell(9, 1), g.cell(7, 2), g.pieceSize);
    EXPECT_EQ(horse.at(horse.count), g.cell(7, 2));
    // The piece speeds up and is held on the target before the last frame.
    EXPECT_EQ(horse.at(horse.count - 1), g.cell(7, 2));
    EXPECT_EQ(MoveFrames(g.cell(3, 3), g.cell(3, 3), g.pieceSize).count, 0);
}

TEST(BoardDrawing, LinesBorderPalacesMarksAndRiver) {
    BoardFixture f(QSize(470, 560));
    const BoardGeometry& g = f.view.geometry();
    const int s = g.grid, x0 = g.x0, y0 = g.y0;
    const QColor light = lightLineColour(1), dark = darkLineColour(1), plain = plainBoardColour();
    ASSERT_EQ(s, 50);
    // The light grid and the dark grid one pixel up and left.
    EXPECT_EQ(f.at(x0 + 20, y0 + 3 * s), light);
    EXPECT_EQ(f.at(x0 + 20, y0 + 3 * s - 1), dark);
    EXPECT_EQ(f.at(x0 + 2 * s, y0 + 20), light);
    EXPECT_EQ(f.at(x0 + 2 * s - 1, y0 + 20), dark);
    EXPECT_EQ(f.at(x0 + 20, y0 + 3 * s + 1), plain);
    // The river leaves files 1..7 open; files 0 and 8 run through.
    EXPECT_EQ(f.at(x0 + 3 * s, y0 + 4 * s + s / 2), plain);
    EXPECT_EQ(f.at(x0, y0 + 4 * s + s / 2), light);
    EXPECT_EQ(f.at(x0 + 8 * s, y0 + 4 * s + s / 2), light);
    // Triple border.
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(f.at(x0 - 7 + k, y0 + 100), dark) << k;
    EXPECT_EQ(f.at(x0 - 4, y0 + 100), plain);
    // The top palace's diagonals are shifted one pixel up and left, the bottom one's only left.
    EXPECT_EQ(f.at(x0 + 3 * s - 1 + 20, y0 - 1 + 20), dark);
    EXPECT_EQ(f.at(x0 + 3 * s - 1 + 20, y0 + 20), plain);
    EXPECT_EQ(f.at(x0 + 3 * s - 1 + 20, y0 + 7 * s + 20), dark);
    EXPECT_EQ(f.at(x0 + 3 * s - 1 + 20, y0 + 7 * s + 19), plain);
    // A cannon point mark: corner at P + (d, d), arms 2d long with the far end pixel.
    const int d = s / 16;
    const QPoint p(x0 - 1 + s, y0 - 1 + 2 * s);
    EXPECT_EQ(f.at(p.x() + 3 * d, p.y() + d), dark);
    EXPECT_EQ(f.at(p.x() + 3 * d + 1, p.y() + d), plain);
    EXPECT_EQ(f.at(p.x() - 3 * d, p.y() - d), dark);
    // A pawn point on the left edge has no left-hand marks; the next pawn point has them.
    const QPoint edge(x0 - 1, y0 - 1 + 3 * s);
    EXPECT_EQ(f.at(edge.x() - d, edge.y() - 2 * d), plain);
    EXPECT_EQ(f.at(edge.x() + d, edge.y() - 2 * d), dark);
    EXPECT_EQ(f.at(edge.x() + 2 * s - d, edge.y() - 2 * d), dark);
}

TEST(BoardDrawing, PiecesShowThroughTheirMaskAndClearFromTheCleanTwin) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Res");
    // A strip whose pieces are red discs on black, with the mask black inside the disc.
    QImage strip(456, 57, QImage::Format_RGB32);
    strip.fill(Qt::black);
    {
        QPainter p(&strip);
        p.setPen(Qt::NoPen);
        p.fillRect(399, 0, 57, 57, Qt::white);
        for (int k = 0; k < 8; ++k) {
            p.setBrush(k == 7 ? QColor(Qt::black) : QColor(200, 0, 0));
            p.drawEllipse(57 * k + 4, 4, 49, 49);
        }
    }
    ASSERT_TRUE(strip.save(dir.filePath("Res/big_qz_1_red.BMP"), "BMP"));
    BoardFixture f(QSize(470, 560), dir.path() + '/');
    f.settings.bteQiZiStyle = 1;
    f.game.bteShowQiPan[9][4] = 20;
    f.view.repaintBoard();
    const QPoint cell = f.view.geometry().cell(9, 4);
    const int size = f.view.geometry().pieceSize;
    const QColor centre = f.at(cell.x() + size / 2, cell.y() + size / 2);
    EXPECT_GT(centre.red(), 150);
    EXPECT_LT(centre.green(), 60);
    // Outside the disc the board shows through unchanged.
    EXPECT_EQ(f.at(cell.x() + 1, cell.y() + 1),
              f.view.cleanSurface().pixel(cell.x() + 1, cell.y() + 1));
    // Pieces never reach the clean twin; clearing restores the cell from it.
    EXPECT_NE(QColor(f.view.cleanSurface().pixel(cell.x() + size / 2, cell.y() + size / 2)),
              centre);
    f.view.clearQiZi(9, 4);
    EXPECT_EQ(f.at(cell.x() + size / 2, cell.y() + size / 2),
              QColor(f.view.cleanSurface().pixel(cell.x() + size / 2, cell.y() + size / 2)));
    // Unknown codes and sides draw nothing.
    f.view.paintQiZi(9, 4, 24);
    f.view.paintQiZi(9, 4, 36);
    EXPECT_EQ(f.at(cell.x() + size / 2, cell.y() + size / 2),
              QColor(f.view.cleanSurface().pixel(cell.x() + size / 2, cell.y() + size / 2)));
    // Asked for directly, a piece style above 3 draws style 2 (missing here), not style 1.
    SkinCache skins;
    skins.setBase(dir.path() + '/');
    BoardPainter painter(skins);
    QImage surface = f.view.cleanSurface().copy();
    painter.paintPiece(surface, 20, 5, QRect(cell, QSize(size, size)));
    EXPECT_EQ(surface, f.view.cleanSurface());
    painter.paintPiece(surface, 20, 1, QRect(cell, QSize(size, size)));
    EXPECT_NE(surface, f.view.cleanSurface());
}

TEST(BoardDrawing, FileNumbersFollowTheOrientation) {
    BoardFixture red(QSize(470, 560));
    red.game.bteRedView = 0;
    BoardFixture black(QSize(470, 560));
    black.game.bteRedView = 1;
    red.view.repaintBoard();
    black.view.repaintBoard();
    const BoardGeometry& g = red.view.geometry();
    const QRect upper(g.x0 - 3, g.y0 - 21, 9 * g.grid, 14);
    EXPECT_NE(red.view.surface().copy(upper), black.view.surface().copy(upper));
}

TEST(BoardAnimation, OneRankInTenFramesThenThePieceStandsOnTheTarget) {
    BoardFixture f(QSize(470, 560));
    f.game.bteShowQiPan[5][4] = 23;
    f.view.repaintBoard();
    f.view.animateMove(5, 4, 4, 4, 23);
    EXPECT_EQ(f.view.lastAnimationFrames(), 10);
    const QPoint from = f.view.geometry().cell(5, 4);
    EXPECT_EQ(f.view.surface().copy(QRect(from, QSize(46, 46))),
              f.view.cleanSurface().copy(QRect(from, QSize(46, 46))));
    f.view.animateMove(9, 1, 7, 2, 18);
    EXPECT_EQ(f.view.lastAnimationFrames(), 20);
    // A stop request ends the animation at once.
    f.view.stopWaiting = [] { return true; };
    f.view.animateMove(9, 1, 7, 2, 18);
    EXPECT_EQ(f.view.lastAnimationFrames(), 0);
}

TEST(BoardMarkers, SitOnPieceCellsAndFollowResizes) {
    BoardFixture f(QSize(470, 560));
    f.view.placeRunMarkers(9, 1, 7, 2, false);
    EXPECT_EQ(f.view.markerRect(0), QRect(f.view.geometry().cell(9, 1), QSize(46, 46)));
    EXPECT_TRUE(f.view.markerRect(1).isEmpty());
    f.view.placeSelectMarker(0, 0, true);
    f.view.resize(479, 600);
    f.view.repaintBoard();  // what the resize event does on a shown window
    EXPECT_EQ(f.view.markerRect(2), QRect(f.view.geometry().cell(0, 0), QSize(48, 48)));
    f.view.hideMarkers();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(f.view.markerRect(i).isEmpty());
}

TEST(BoardMarkers, OutlinesCoverTheOuterTwoPixelsOfTheCell) {
    for (const QSize size : {QSize(379, 418), QSize(470, 518), QSize(900, 991)}) {
        BoardFixture f(size);
        f.view.placeRunMarkers(0, 0, 9, 8, true);
        f.view.placeSelectMarker(4, 4, true);
        const QImage shown = f.view.grab().toImage();
        for (int i = 0; i < 3; ++i) {
            const QRect cell = f.view.markerRect(i);
            const QRgb colour = i == 2 ? qRgb(0, 128, 0) : qRgb(255, 0, 0);
            QRect outline;
            int ring = 0;
            for (int y = cell.top() - 3; y <= cell.bottom() + 3; ++y) {
                for (int x = cell.left() - 3; x <= cell.right() + 3; ++x) {
                    if (shown.pixel(x, y) != colour) continue;
                    outline |= QRect(x, y, 1, 1);
                    ++ring;
                }
            }
            EXPECT_EQ(outline, cell) << size.width() << " marker " << i;
            const int side = cell.width();
            EXPECT_EQ(ring, side * side - (side - 4) * (side - 4)) << size.width() << " " << i;
        }
    }
}

TEST(SkinCache, ReadsAFileAgainWhenItChanges) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Res");
    SkinCache cache;
    cache.setBase(dir.path() + '/');
    EXPECT_EQ(cache.image("Res\\a.bmp"), nullptr);
    QImage one(4, 4, QImage::Format_RGB32);
    one.fill(Qt::red);
    one.save(dir.filePath("Res/A.bmp"), "BMP");
    cache.beginPass();
    ASSERT_NE(cache.image("Res\\a.bmp"), nullptr);
    EXPECT_EQ(cache.image("Res\\a.bmp")->size(), QSize(4, 4));
    QImage two(6, 6, QImage::Format_RGB32);
    two.fill(Qt::blue);
    two.save(dir.filePath("Res/A.bmp"), "BMP");
    cache.beginPass();
    ASSERT_NE(cache.image("Res\\a.bmp"), nullptr);
    EXPECT_EQ(cache.image("Res\\a.bmp")->size(), QSize(6, 6));
    QFile::remove(dir.filePath("Res/A.bmp"));
    cache.beginPass();
    EXPECT_EQ(cache.image("Res\\a.bmp"), nullptr);
}

}  // namespace
}  // namespace xq
