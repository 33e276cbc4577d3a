#pragma once

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/search_board.h"
#include "rules/fen.h"
#include "rules/movegen.h"

namespace xq::engine::test {

inline Position FromFen(const std::string& fen) {
    std::string error;
    const auto pos = parseFen(fen, &error);
    EXPECT_TRUE(pos.has_value()) << fen << ": " << error;
    return pos.value_or(Position::Initial());
}

inline MoveList LegalMoves(const Position& pos) {
    Position probe = pos;
    MoveList moves;
    generateLegalMoves(probe, moves);
    return moves;
}

inline bool Contains(const MoveList& moves, Move m) {
    for (Move x : moves) {
        if (x == m) return true;
    }
    return false;
}

// Positions met along seeded random games from the opening: a broad sample of what a search
// sees, from full boards to thin endings.
inline std::vector<Position> RandomPositions(std::uint32_t seed, int games, int maxPlies) {
    std::mt19937 rng(seed);
    std::vector<Position> out;
    for (int g = 0; g < games; ++g) {
        Position pos = Position::Initial();
        for (int ply = 0; ply < maxPlies; ++ply) {
            const MoveList moves = LegalMoves(pos);
            if (moves.empty()) break;
            std::uniform_int_distribution<int> pick(0, moves.size() - 1);
            pos.makeMove(moves[pick(rng)]);
            out.push_back(pos);
        }
    }
    return out;
}

// The same position with the colours swapped and the board turned through half a turn.
inline Position ColourFlipped(const Position& pos) {
    Position flipped;
    for (int sq = 0; sq < kSquares; ++sq) {
        const Piece p = pos.at(sq);
        if (p == kNoPiece) continue;
        const int to = squareOf(kRanks - 1 - rankOfSquare(sq), kFiles - 1 - fileOfSquare(sq));
        flipped.put(to, makePiece(Opponent(SideOf(p)), kindOf(p)));
    }
    flipped.setSideToMove(Opponent(pos.sideToMove()));
    return flipped;
}

}  // namespace xq::engine::test
