#include "rules/allowed_moves.h"

#include "rules/legality.h"

namespace xq {

void GenerateAllowedMoves(const Position& pos, MoveList& out) {
    MoveList pseudo;
    GeneratePseudoMoves(pos, pseudo);
    QiPan board = pos.ToQiPan();
    out.clear();
    for (Move m : pseudo) {
        if (CanMoveQiZi(board, RankOfSquare(m.from), FileOfSquare(m.from), RankOfSquare(m.to),
                        FileOfSquare(m.to))) {
            out.push(m);
        }
    }
}

bool IsAllowedMove(const Position& pos, Move m) {
    if (m.from >= kSquares || m.to >= kSquares) return false;
    const Piece p = pos.at(m.from);
    if (p == kNoPiece || SideOf(p) != pos.sideToMove()) return false;
    QiPan board = pos.ToQiPan();
    return CanMoveQiZi(board, RankOfSquare(m.from), FileOfSquare(m.from), RankOfSquare(m.to),
                       FileOfSquare(m.to));
}

}  // namespace xq
