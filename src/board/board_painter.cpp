#include "board/board_painter.h"

#include "board/surface_image.h"

#include <QPainter>

#include "rules/notation.h"

namespace xq {
namespace {

// Lines are filled as whole logical pixels in the pen's colour: at a device pixel ratio of 2 a
// pen of width 1 would straddle two logical pixels instead of covering one.
void Pixels(QPainter& p, int x1, int y1, int x2, int y2) {
    p.fillRect(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                     QPoint(std::max(x1, x2), std::max(y1, y2))),
               p.pen().color());
}

// A line as the board has always drawn it: the end pixel is left out.
void Line(QPainter& p, int x1, int y1, int x2, int y2) {
    if (x1 == x2 && y1 == y2) return;
    const int dx = (x2 > x1) - (x2 < x1), dy = (y2 > y1) - (y2 < y1);
    if (x1 == x2 || y1 == y2) {
        Pixels(p, x1, y1, x2 - dx, y2 - dy);
        return;
    }
    // Diagonals: every pixel of the run but the last.
    const int n = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
    for (int i = 0; i < n; ++i) {
        const int x = x1 + (x2 - x1) * i / n, y = y1 + (y2 - y1) * i / n;
        Pixels(p, x, y, x, y);
    }
}

// A horizontal or vertical line with both end pixels.
void fullLine(QPainter& p, int x1, int y1, int x2, int y2) {
    Pixels(p, x1, y1, x2, y2);
}

// A rectangle whose four edges lie on exactly these pixels (drawRect would put the right and
// bottom edges one pixel further out).
void Box(QPainter& p, int left, int top, int right, int bottom) {
    fullLine(p, left, top, right, top);
    fullLine(p, left, bottom, right, bottom);
    fullLine(p, left, top, left, bottom);
    fullLine(p, right, top, right, bottom);
}

void Grid(QPainter& p, int x0, int y0, int s) {
    for (int r = 0; r < 10; ++r)
        Line(p, x0, y0 + r * s, x0 + 8 * s, y0 + r * s);
    for (int c = 0; c < 9; ++c) {
        const int x = x0 + c * s;
        if (c == 0 || c == 8) {
            Line(p, x, y0, x, y0 + 9 * s);
        } else {
            Line(p, x, y0, x, y0 + 4 * s);
            Line(p, x, y0 + 5 * s, x, y0 + 9 * s);
        }
    }
}

void Mark(QPainter& p, int px, int py, int sx, int sy, int d) {
    const int cx = px + sx * d, cy = py + sy * d;
    fullLine(p, cx, cy, cx + sx * 2 * d, cy);
    fullLine(p, cx, cy, cx, cy + sy * 2 * d);
}

}  // namespace

void BoardPainter::paintLines(QImage& surface, const BoardGeometry& g, int boardStyle,
                              std::uint8_t redView, const QFont& font) {
    const int s = g.grid, x0 = g.x0, y0 = g.y0;
    QPainter p(&surface);
    p.setPen(QPen(lightLineColour(boardStyle), 1));
    Grid(p, x0, y0, s);
    const QColor dark = darkLineColour(boardStyle);
    p.setPen(QPen(dark, 1));
    Grid(p, x0 - 1, y0 - 1, s);
    for (int k = 0; k < 3; ++k)
        Box(p, x0 - 7 + k, y0 - 7 + k, x0 + 8 * s + 5 - k, y0 + 9 * s + 5 - k);
    Line(p, x0 + 3 * s - 1, y0 - 1, x0 + 5 * s - 1, y0 + 2 * s - 1);
    Line(p, x0 + 5 * s - 1, y0 - 1, x0 + 3 * s - 1, y0 + 2 * s - 1);
    Line(p, x0 + 3 * s - 1, y0 + 7 * s, x0 + 5 * s - 1, y0 + 9 * s);
    Line(p, x0 + 5 * s - 1, y0 + 7 * s, x0 + 3 * s - 1, y0 + 9 * s);

    const int d = s / 16;
    const auto at = [&](int row, int col) { return QPoint(x0 - 1 + col * s, y0 - 1 + row * s); };
    for (int row : {2, 7}) {
        for (int col : {1, 7}) {
            const QPoint pt = at(row, col);
            for (int sx : {-1, 1}) {
                for (int sy : {-1, 1})
                    Mark(p, pt.x(), pt.y(), sx, sy, d);
            }
        }
    }
    for (int row : {3, 6}) {
        for (int col = 0; col < 9; col += 2) {
            const QPoint pt = at(row, col);
            for (int sy : {-1, 1}) {
                if (col >= 2) Mark(p, pt.x(), pt.y(), -1, sy, d);
                if (col <= 6) Mark(p, pt.x(), pt.y(), 1, sy, d);
            }
        }
    }

    p.setFont(font);
    const QFontMetrics metrics(font);
    for (int a = 1; a <= 9; ++a) {
        const int x = x0 - 3 + (a - 1) * s;
        QString upper, lower;
        if (redView == 1) {
            upper = QString::number(a);
            lower = QString::fromStdString(GetChineseNum(10 - a));
        } else {
            upper = QString::fromStdString(GetChineseNum(a));
            lower = QString::number(10 - a);
        }
        // Texts are placed by their top-left corner.
        p.drawText(x, y0 - 21 + metrics.ascent(), upper);
        p.drawText(x, y0 + 9 * s + 7 + metrics.ascent(), lower);
    }
}

BoardGeometry BoardPainter::paintBoard(QImage& surface, int boardStyle, std::uint8_t redView,
                                       const QFont& font) {
    const QSize logical = logicalSize(surface);
    const BoardGeometry g(logical.width(), logical.height());
    const QImage* picture = skins_.image(QStringLiteral("Res\\QiPanBack_%1.jpg").arg(boardStyle));
    if (picture == nullptr) {
        surface.fill(plainBoardColour());
    } else {
        if (picture->cacheKey() != backgroundKey_ || surface.size() != backgroundSize_) {
            background_ =
                picture->scaled(surface.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                    .convertToFormat(QImage::Format_RGB32);
            background_.setDevicePixelRatio(surface.devicePixelRatio());
            backgroundKey_ = picture->cacheKey();
            backgroundSize_ = surface.size();
        }
        QPainter(&surface).drawImage(0, 0, background_);
    }
    paintLines(surface, g, boardStyle, redView, font);
    return g;
}

void BoardPainter::paintPiece(QImage& surface, std::uint8_t code, int pieceStyle,
                              const QRect& cell) {
    const int side = code >> 4, kind = code & 15;
    if (side >= 2 || kind == 0 || kind > 7 || cell.width() <= 0 || cell.height() <= 0) return;
    if (pieceStyle > 3 || pieceStyle < 0) pieceStyle = 2;
    const QString literal = QStringLiteral("Res\\Big_Qz_%1_%2.bmp")
                                .arg(pieceStyle)
                                .arg(side == 1 ? QStringLiteral("Red") : QStringLiteral("blk"));
    const QImage* strip = skins_.image(literal);
    // A strip of another size is as good as missing: its cells would cut pieces in half.
    if (strip == nullptr || strip->size() != kPieceStripSize) return;

    ScaledStrip& scaled = strips_[literal];
    // The cell in the surface's own pixels: at a higher resolution the piece is cut to it
    // directly instead of being enlarged when drawn.
    const qreal dpr = surface.devicePixelRatio();
    const int size = qRound(cell.width() * dpr);
    if (scaled.sourceKey != strip->cacheKey() || scaled.size != size ||
        scaled.cells.mask.devicePixelRatio() != dpr) {
        scaled.cells = cutPieceStrip(*strip, size);
        scaled.cells.mask.setDevicePixelRatio(dpr);
        for (QImage& picture : scaled.cells.pictures)
            picture.setDevicePixelRatio(dpr);
        scaled.sourceKey = strip->cacheKey();
        scaled.size = size;
    }
    const QImage& picture = scaled.cells.pictures[static_cast<std::size_t>(kind - 1)];
    if (scaled.cells.mask.isNull() || picture.isNull()) return;
    QPainter p(&surface);
    p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    p.drawImage(cell.topLeft(), scaled.cells.mask);
    p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    p.drawImage(cell.topLeft(), picture);
}

}  // namespace xq
