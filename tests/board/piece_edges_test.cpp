// Pieces are drawn through their masks with AND and OR. Wherever the two meet, each pixel must
// come out either the board's or the piece's own: a blend of mask and board would leave a rim of
// odd colours around every piece.
#include <gtest/gtest.h>

#include "board/board_painter.h"
#include "board/surface_image.h"
#include "look/ui_font.h"

namespace xq {
namespace {

// Draws the pieces of one style on a board and on a flat surface, cell for cell alike.
struct TwoBoards {
    TwoBoards(QSize size, qreal dpr, int boardStyle) {
        skins.setBase(QStringLiteral(XQ_TEST_GAME_DIR "/"));
        board = surfaceImage(size, dpr);
        geometry = painter.paintBoard(board, boardStyle, 1, paneFont());
        flat = surfaceImage(size, dpr);
        flat.fill(QColor(0, 255, 255));
        cleanBoard = board.copy();
        cleanFlat = flat.copy();
    }

    SkinCache skins;
    BoardPainter painter{skins};
    BoardGeometry geometry{0, 0};
    QImage board, flat, cleanBoard, cleanFlat;
};

TEST(PieceEdges, EveryPixelIsTheBoardsOrThePiecesOnEveryBoardAndRatio) {
    for (const qreal dpr : {1.0, 2.0}) {
        for (const QSize size : {QSize(379, 418), QSize(548, 604)}) {
            for (int boardStyle = 0; boardStyle < 4; ++boardStyle) {
                SCOPED_TRACE(testing::Message()
                             << "board " << boardStyle << " " << size.width() << " @" << dpr);
                TwoBoards t(size, dpr, boardStyle);
                ASSERT_NE(t.cleanBoard.pixel(0, 0), qRgb(222, 184, 135)) << "skins not found";
                int pieces = 0, piecePixels = 0, wrong = 0;
                for (int pieceStyle = 0; pieceStyle < 4; ++pieceStyle) {
                    for (const int side : {0, 1}) {
                        for (int kind = 1; kind <= 7; ++kind) {
                            const int row = pieceStyle * 2 + side, col = kind - 1;
                            const QRect cell(t.geometry.cell(row, col),
                                             QSize(t.geometry.pieceSize, t.geometry.pieceSize));
                            const auto code = static_cast<std::uint8_t>(side << 4 | kind);
                            t.painter.paintPiece(t.board, code, pieceStyle, cell);
                            t.painter.paintPiece(t.flat, code, pieceStyle, cell);
                            ++pieces;
                            const QRect around = deviceRect(t.board, cell.adjusted(-2, -2, 2, 2));
                            for (int y = around.top(); y <= around.bottom(); ++y) {
                                for (int x = around.left(); x <= around.right(); ++x) {
                                    const QRgb onBoard = t.board.pixel(x, y);
                                    const QRgb onFlat = t.flat.pixel(x, y);
                                    const bool boardShows = onBoard == t.cleanBoard.pixel(x, y);
                                    const bool flatShows = onFlat == t.cleanFlat.pixel(x, y);
                                    // A piece pixel is the same whatever lies under it.
                                    if ((!boardShows || !flatShows) && onBoard != onFlat) {
                                        if (++wrong <= 3) {
                                            ADD_FAILURE() << "style " << pieceStyle << " code "
                                                          << int{code} << " at " << x << "," << y;
                                        }
                                    }
                                    piecePixels += !flatShows;
                                }
                            }
                        }
                    }
                }
                EXPECT_EQ(wrong, 0);
                // The pieces were drawn at all: most of each cell is piece.
                EXPECT_GT(piecePixels,
                          pieces * t.geometry.pieceSize * t.geometry.pieceSize * dpr * dpr / 2);
            }
        }
    }
}

}  // namespace
}  // namespace xq
