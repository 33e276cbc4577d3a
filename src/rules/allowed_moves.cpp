#include "rules/allowed_moves.h"

#include "rules/legality.h"

namespace xq {

void generateAllowedMoves(const Position& pos, MoveList& out) {
    MoveList pseudo;
    generatePseudoMoves(pos, pseudo);
    QiPan board = pos.toQiPan();
    out.clear();
    for (Move m : pseudo) {
        if (CanMoveQiZi(board, rankOfSquare(m.from), fileOfSquare(m.from), rankOfSquare(m.to),
                        fileOfSquare(m.to))) {
            out.push(m);
        }
    }
}

bool isAllowedMove(const Position& pos, Move m) {
    if (m.from >= kSquares || m.to >= kSquares) return false;
    const Piece p = pos.at(m.from);
    if (p == kNoPiece || SideOf(p) != pos.sideToMove()) return false;
    QiPan board = pos.toQiPan();
    return CanMoveQiZi(board, rankOfSquare(m.from), fileOfSquare(m.from), rankOfSquare(m.to),
                       fileOfSquare(m.to));
}

}  // namespace xq
