#include "board/piece_cells.h"

namespace xq {
namespace {

// A scaled pixel belongs to the piece when at least half of it lay inside the outline.
constexpr int kInside = 128;

QImage Cell(const QImage& strip, int index) {
    return strip.copy(index * kPieceStripCell, 0, kPieceStripCell, kPieceStripCell);
}

}  // namespace

PieceCells cutPieceStrip(const QImage& strip, int size) {
    PieceCells cells;
    if (strip.size() != kPieceStripSize || size <= 0) return cells;
    // The outline as coverage: the mask cell inverted, so inside the piece is opaque.
    QImage outline = Cell(strip, 7).convertToFormat(QImage::Format_Grayscale8);
    outline.invertPixels();

    cells.mask = QImage(size, size, QImage::Format_RGB32);
    for (int k = 0; k < 7; ++k) {
        // Scaled with the outside transparent, so the piece's edge colours are averaged from the
        // piece alone and never darkened by the black around it.
        QImage piece = Cell(strip, k).convertToFormat(QImage::Format_ARGB32);
        piece.setAlphaChannel(outline);
        piece = piece.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                    .scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QImage picture(size, size, QImage::Format_RGB32);
        for (int y = 0; y < size; ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(piece.constScanLine(y));
            auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
            auto* mask = reinterpret_cast<QRgb*>(cells.mask.scanLine(y));
            for (int x = 0; x < size; ++x) {
                const bool inside = qAlpha(src[x]) >= kInside;
                out[x] = inside ? qUnpremultiply(src[x]) | 0xff000000u : 0xff000000u;
                if (k == 0) mask[x] = inside ? 0xff000000u : 0xffffffffu;
            }
        }
        cells.pictures[static_cast<std::size_t>(k)] = picture;
    }
    return cells;
}

}  // namespace xq
