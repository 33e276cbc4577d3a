// The river words 楚河 and 汉界, written into the river of each board background.
//
// The client stretches the picture over its whole board surface and lays the grid out from the
// surface's width: step s = (W - 20) / 9 + 0.5 rounded, first file at s \ 2 + 10, first rank at
// (H - 9s) \ 2, the river between ranks 4 and 5. So the river's middle always lies at half the
// height, and its files at nearly the same share of the width whatever the size. Laid out on the
// grid of a surface of the picture's own size, each character sits in the middle of its square
// of the river at every board size; they are kept well inside it, as the river takes a little
// less of the picture on small boards, where the fixed 10-pixel margins weigh more.
#include <cmath>

#include "cjk_font.h"
#include "paint_kit.h"
#include "skin_art.h"

namespace skingen {

namespace {

struct Grid {
    int s, x0, y0;
};

Grid gridOf(QSize size) {
    const int s = static_cast<int>(std::nearbyint((size.width() - 20) / 9.0 + 0.5));
    return {s, s / 2 + 10, (size.height() - 9 * s) / 2};
}

// Dark enough to read on the darkest grain of each board.
QColor ink(int style) {
    switch (style) {
        case 0:
            return {184, 34, 0};  // the plain board's red lines, a shade deeper
        case 1:
            return {96, 52, 14};
        case 2:
            return {52, 24, 6};
        default:
            return {122, 54, 48};
    }
}

}  // namespace

void addRiverWords(Pictures& boards, const CjkFont& font) {
    const QString words[2] = {QStringLiteral("楚河"), QStringLiteral("汉界")};
    for (std::size_t style = 0; style < boards.size(); ++style) {
        QImage& image = boards[style].image;
        const Grid g = gridOf(image.size());
        ArtPainter p(&image);
        for (int side = 0; side < 2; ++side) {
            for (int i = 0; i < 2; ++i) {
                // Left of the palace files and right of them: squares 1-2, 2-3, 5-6 and 6-7.
                const int file = 1 + 4 * side + i;
                const QRectF square(g.x0 + file * g.s, g.y0 + 4 * g.s, g.s, g.s);
                drawText(p, font, square, words[side].mid(i, 1), g.s * 6 / 11,
                         ink(static_cast<int>(style)));
            }
        }
    }
}

}  // namespace skingen
