#include "rules/check.h"

#include <cstdlib>

#include "rules/legality.h"

namespace xq {

bool IsJiangJun(QiPan& board, int rank, int file) {
    const Piece p = pieceAt(board, rank, file);
    if (p == kNoPiece) return false;
    const int opposing = std::abs(SideOf(p) - 1);
    std::uint8_t kr = 0, kc = 0;
    FindQiZi(board, makePiece(opposing, kKing), kr, kc);
    return CanMoveQiZi(board, rank, file, kr, kc);
}

}  // namespace xq
