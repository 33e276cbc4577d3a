#pragma once

#include <random>
#include <vector>

#include "engine/search_board.h"
#include "rules/history.h"
#include "rules/movegen.h"

namespace xq::server::test {

// A legal game from the opening in which red loses nearly everything: black always takes the
// most valuable piece it can, red never takes anything. It stops once red has at most a pawn
// or two besides king and guards, with `toMove` to move and a legal move left.
inline std::vector<QiPuItem> LopsidedRecord(int toMove) {
    for (std::uint32_t seed = 1; seed < 200; ++seed) {
        std::mt19937 rng(seed);
        Position pos = Position::Initial();
        std::vector<QiPuItem> record;
        for (int ply = 0; ply < 600; ++ply) {
            MoveList moves;
            generateLegalMoves(pos, moves);
            if (moves.empty()) break;
            int redAttackers = 0;
            for (int sq = 0; sq < kSquares; ++sq) {
                const Piece p = pos.at(sq);
                const int k = kindOf(p);
                if (p != kNoPiece && SideOf(p) == kRed &&
                    (k == kChariot || k == kHorse || k == kCannon))
                    ++redAttackers;
            }
            if (redAttackers == 0 && pos.sideToMove() == toMove && !record.empty()) return record;
            std::vector<Move> pick;
            int best = 0;
            for (Move m : moves) {
                const int victim = pos.at(m.to) == kNoPiece ? 0 : kindOf(pos.at(m.to));
                const int worth = victim == 0 ? 0 : 8 - victim + (victim == kChariot ? 10 : 0);
                if (pos.sideToMove() == kRed) {
                    if (victim == 0) pick.push_back(m);
                } else if (worth > best) {
                    best = worth;
                    pick = {m};
                } else if (worth == best) {
                    pick.push_back(m);
                }
            }
            if (pick.empty()) break;
            const Move m =
                pick[std::uniform_int_distribution<std::size_t>(0, pick.size() - 1)(rng)];
            const Piece piece = pos.at(m.from);
            const Piece eaten = pos.makeMove(m);
            record.push_back(QiPuItem{packPoint(rankOfSquare(m.from), fileOfSquare(m.from)), piece,
                                      packPoint(rankOfSquare(m.to), fileOfSquare(m.to)), eaten});
        }
    }
    return {};
}

}  // namespace xq::server::test
