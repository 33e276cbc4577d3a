#pragma once

#include <QFont>
#include <QHash>
#include <QImage>
#include <QRect>
#include <cstdint>

#include "board/piece_cells.h"
#include "look/board_geometry.h"
#include "look/skin_cache.h"

namespace xq {

// Draws boards and pieces onto picture surfaces: the background picture of a board style, the
// grid with its light and dark lines, border, palaces, point marks and file numbers, and pieces
// through their masks.
class BoardPainter {
public:
    explicit BoardPainter(SkinCache& skins) : skins_(skins) {}

    // Background, lines, marks and numbers over the whole surface; the geometry they used.
    BoardGeometry paintBoard(QImage& surface, int boardStyle, std::uint8_t redView,
                             const QFont& font);

    // One piece into a cell: the mask is ANDed in, then the picture ORed, so the board shows
    // through outside the piece's outline. Unknown codes draw nothing; styles above 3 draw style 2.
    void paintPiece(QImage& surface, std::uint8_t code, int pieceStyle, const QRect& cell);

    // The grid, border, palaces, marks and numbers alone.
    static void paintLines(QImage& surface, const BoardGeometry& g, int boardStyle,
                           std::uint8_t redView, const QFont& font);

private:
    struct ScaledStrip {
        qint64 sourceKey = 0;
        int size = 0;
        PieceCells cells;
    };

    SkinCache& skins_;
    QHash<QString, ScaledStrip> strips_;
    qint64 backgroundKey_ = 0;
    QSize backgroundSize_;
    QImage background_;
};

}  // namespace xq
