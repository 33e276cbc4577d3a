#pragma once

#include <QImage>
#include <QSize>
#include <array>

namespace xq {

// A piece strip: seven piece pictures and their common mask, 57 x 57 pixels each, side by side.
inline constexpr int kPieceStripCell = 57;
inline constexpr QSize kPieceStripSize{8 * kPieceStripCell, kPieceStripCell};

// A strip's cells at one size in device pixels, ready for the AND of the mask and the OR of a
// picture. The mask is pure black inside the outline and pure white outside, and every picture is
// pure black wherever the mask is white: whatever the board under it, each pixel of the cell comes
// out either the board's or the picture's, never a blend of the two.
struct PieceCells {
    QImage mask;
    std::array<QImage, 7> pictures;  // kind 1..7 at index kind - 1
};

// Null images when the strip does not have the size of a strip.
PieceCells cutPieceStrip(const QImage& strip, int size);

}  // namespace xq
