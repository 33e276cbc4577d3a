#pragma once

#include <array>

#include "engine/score.h"
#include "engine/search_board.h"

namespace xq::engine {

// What the search learns about quiet moves while it runs: two killer moves per ply (quiet moves
// that refuted a sibling) and a history score per side and move.
class OrderingTables {
public:
    void clear();
    // Between searches: old history counts less, killers belong to the old tree.
    void age();
    void rewardQuiet(int side, Move m, int depth, int ply);
    void penaliseQuiet(int side, Move m, int depth);

    Move killer(int ply, int slot) const;
    int history(int side, Move m) const;

private:
    static constexpr int kHistoryMax = 1 << 20;
    std::array<std::array<Move, 2>, kMaxPly + 1> killers_{};
    std::array<std::array<int, kSquares * kSquares>, 2> history_{};
};

// Hands out the moves of a node best first: the move the table remembered, captures by most
// valuable victim and least valuable attacker, the killers, then quiet moves by history.
class MovePicker {
public:
    MovePicker(const SearchBoard& board, const MoveList& moves, Move tableMove,
               const OrderingTables& tables, int ply, bool capturesOnly);

    bool next(Move& m);
    int size() const { return size_; }

private:
    std::array<Move, MoveList::kCapacity> moves_{};
    std::array<int, MoveList::kCapacity> scores_{};
    int size_ = 0;
    int index_ = 0;
};

// Ordering weight of a capture by its victim and attacker.
int captureOrder(Piece victim, Piece attacker);

}  // namespace xq::engine
