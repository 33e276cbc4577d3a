#pragma once

#include <QPainter>
#include <QPainterPath>
#include <QString>

namespace skingen {

class CjkFont;

constexpr int kPieceCell = 57;

enum class Side { Black, Red };

// One piece style: the outline the client masks with, and how a piece face is painted inside
// it. Painting may spill over the outline; the strip cuts it off exactly.
class PieceLook {
public:
    virtual ~PieceLook() = default;
    virtual QPainterPath outline() const = 0;
    // The colour the outline's edge pixels settle on where the face's antialiasing fades out.
    virtual QColor rim(Side side) const = 0;
    virtual void paint(QPainter& p, const CjkFont& font, const QString& name, Side side,
                       int kind) const = 0;
};

// Styles 0 plain, 1 classic, 2 realistic, 3 fashionable.
const PieceLook& pieceLook(int style);

// The character of a piece kind (1 chariot … 7 pawn) for a side.
QString pieceName(int kind, Side side);

}  // namespace skingen
