#pragma once

#include <cstdlib>

#include "rules/movegen.h"
#include "rules/piece.h"
#include "rules/position.h"

namespace xq::test {

inline int Distance(Move m) {
    return std::abs(RankOfSquare(m.from) - RankOfSquare(m.to)) +
           std::abs(FileOfSquare(m.from) - FileOfSquare(m.to));
}

// The longest legal move of the side to move (ties: the first found), the king only when nothing
// else can move: long moves make long animations. False when the side has no legal move.
inline bool LongestMove(const QiPan& board, int side, Move& out) {
    Position pos = Position::FromQiPan(board, side);
    MoveList moves;
    GenerateLegalMoves(pos, moves);
    if (moves.empty()) return false;
    int best = -1000;
    for (Move m : moves) {
        const int score = KindOf(pos.at(m.from)) == kKing ? Distance(m) - 100 : Distance(m);
        if (score > best) {
            best = score;
            out = m;
        }
    }
    return true;
}

// The move that leaves the most valuable piece open to capture (then the longest): a player who
// gives everything away, so that a strong opponent mates him soon. Never a king move while
// another exists, never one that leaves the own king open.
inline bool GiveAwayMove(const QiPan& board, int side, Move& out) {
    const auto value = [](Piece p) {
        constexpr int kValue[8] = {0, 9, 4, 4, 0, 2, 2, 1};  // by kind
        return p == kNoPiece ? 0 : kValue[KindOf(p) & 7];
    };
    Position pos = Position::FromQiPan(board, side);
    MoveList moves;
    GenerateLegalMoves(pos, moves);
    if (moves.empty()) return false;
    int best = -1000;
    for (Move m : moves) {
        const bool king = KindOf(pos.at(m.from)) == kKing;
        const Piece taken = pos.makeMove(m);
        MoveList replies;
        GeneratePseudoMoves(pos, replies);
        int open = 0;
        for (Move r : replies)
            open = std::max(open, value(pos.at(r.to)));
        pos.unmakeMove(m, taken);
        const int score = open * 20 + Distance(m) - (king ? 500 : 0);
        if (score > best) {
            best = score;
            out = m;
        }
    }
    return true;
}

}  // namespace xq::test
