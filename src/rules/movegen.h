#pragma once

#include <array>
#include <cstdint>

#include "rules/position.h"

namespace xq {

// Room for every move of any position with at most the standard set of pieces (at most 119).
class MoveList {
public:
    static constexpr int kCapacity = 160;

    void push(Move m) {
        if (size_ < kCapacity) moves_[static_cast<std::size_t>(size_++)] = m;
    }
    void clear() { size_ = 0; }
    int size() const { return size_; }
    bool empty() const { return size_ == 0; }
    Move operator[](int i) const { return moves_[static_cast<std::size_t>(i)]; }
    const Move* begin() const { return moves_.data(); }
    const Move* end() const { return moves_.data() + size_; }

private:
    std::array<Move, kCapacity> moves_{};
    int size_ = 0;
};

// Every move of the side to move that its piece's rule allows, captures of own pieces excluded;
// the kings and king safety are not looked at.
void generatePseudoMoves(const Position& pos, MoveList& out);

// The side's king could be taken by an opposing piece, or it faces the opposing king on an open
// file. False for a side without a king.
bool kingExposed(const Position& pos, int side);

// Pseudo moves after which the mover's king is not exposed. The position is used for trial moves
// and is the same again on return.
void generateLegalMoves(Position& pos, MoveList& out);

// Whether one pseudo move is legal in the sense above.
bool isLegalMove(Position& pos, Move m);

// Leaf count of the legal move tree of the given depth.
std::uint64_t perft(Position& pos, int depth);

}  // namespace xq
