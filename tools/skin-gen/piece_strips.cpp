// Piece strips: seven piece pictures and a mask, 57×57 each. The client draws a piece with an
// AND of the mask and then an OR of the picture, so the outline must be exact: inside it the
// mask is black and the picture never is; outside it the mask is white and the picture black.
#include <QRgb>
#include <vector>

#include "cjk_font.h"
#include "paint_kit.h"
#include "piece_look.h"
#include "skin_art.h"

namespace skingen {

namespace {

constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kWhite = 0xffffffff;
// A picture pixel that would come out pure black inside the outline would vanish under the OR
// and break the mask rule; this is the darkest colour a piece may use.
constexpr QRgb kDarkest = 0xff0a0a0a;

// The outline as whole pixels: a pixel belongs to the piece when its centre lies inside.
std::vector<bool> insideOutline(const PieceLook& look) {
    const QPainterPath outline = look.outline();
    std::vector<bool> inside(kPieceCell * kPieceCell);
    for (int y = 0; y < kPieceCell; ++y)
        for (int x = 0; x < kPieceCell; ++x)
            inside[y * kPieceCell + x] = outline.contains(QPointF(x + 0.5, y + 0.5));
    return inside;
}

QImage strip(const PieceLook& look, const CjkFont& font, Side side) {
    QImage out(8 * kPieceCell, kPieceCell, QImage::Format_RGB32);
    out.fill(kBlack);
    const std::vector<bool> inside = insideOutline(look);
    for (int kind = 1; kind <= 7; ++kind) {
        QImage face = canvas(kPieceCell, kPieceCell, look.rim(side));
        {
            ArtPainter p(&face);
            look.paint(p, font, pieceName(kind, side), side, kind);
        }
        face = face.convertToFormat(QImage::Format_RGB32);
        const int x0 = (kind - 1) * kPieceCell;
        for (int y = 0; y < kPieceCell; ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(face.constScanLine(y));
            auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < kPieceCell; ++x) {
                if (!inside[y * kPieceCell + x]) continue;
                dst[x0 + x] = (src[x] & 0xffffff) == 0 ? kDarkest : src[x];
            }
        }
    }
    const int maskX = 7 * kPieceCell;
    for (int y = 0; y < kPieceCell; ++y) {
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < kPieceCell; ++x)
            dst[maskX + x] = inside[y * kPieceCell + x] ? kBlack : kWhite;
    }
    return out;
}

}  // namespace

Pictures pieceStrips(const CjkFont& font) {
    Pictures out;
    for (int style = 0; style < 4; ++style) {
        const PieceLook& look = pieceLook(style);
        out.push_back({QStringLiteral("game/Res/Big_Qz_%1_Red.bmp").arg(style),
                       strip(look, font, Side::Red)});
        out.push_back({QStringLiteral("game/Res/Big_Qz_%1_blk.bmp").arg(style),
                       strip(look, font, Side::Black)});
    }
    return out;
}

}  // namespace skingen
