#pragma once

#include <algorithm>
#include <cstdlib>

#include "rules/movegen.h"
#include "rules/piece.h"
#include "rules/position.h"

namespace xq::test {

inline int Distance(Move m) {
    return std::abs(rankOfSquare(m.from) - rankOfSquare(m.to)) +
           std::abs(fileOfSquare(m.from) - fileOfSquare(m.to));
}

// The legal move of the side to move that scores highest (ties: the first found); false when the
// side has no legal move. The score sees the position before the move.
template <typename Score>
bool BestLegalMove(const QiPan& board, int side, Move& out, Score score) {
    Position pos = Position::fromQiPan(board, side);
    MoveList moves;
    generateLegalMoves(pos, moves);
    if (moves.empty()) return false;
    int best = 0;
    bool first = true;
    for (Move m : moves) {
        const int s = score(pos, m);
        if (first || s > best) {
            best = s;
            out = m;
            first = false;
        }
    }
    return true;
}

// The longest legal move, the king only when nothing else can move: long moves make long
// animations.
inline bool LongestMove(const QiPan& board, int side, Move& out) {
    return BestLegalMove(board, side, out, [](Position& pos, Move m) {
        return Distance(m) - (kindOf(pos.at(m.from)) == kKing ? 100 : 0);
    });
}

// The move that leaves the most valuable piece open to capture (then the longest): a player who
// gives everything away, so that a strong opponent mates him soon. Never a king move while
// another exists, never one that leaves the own king open.
inline bool GiveAwayMove(const QiPan& board, int side, Move& out) {
    return BestLegalMove(board, side, out, [](Position& pos, Move m) {
        constexpr int kValue[8] = {0, 9, 4, 4, 0, 2, 2, 1};  // by kind
        const bool king = kindOf(pos.at(m.from)) == kKing;
        const Piece taken = pos.makeMove(m);
        MoveList replies;
        generatePseudoMoves(pos, replies);
        int open = 0;
        for (Move r : replies) {
            const Piece p = pos.at(r.to);
            open = std::max(open, p == kNoPiece ? 0 : kValue[kindOf(p) & 7]);
        }
        pos.unmakeMove(m, taken);
        return open * 20 + Distance(m) - (king ? 500 : 0);
    });
}

}  // namespace xq::test
