#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "rules/movegen.h"
#include "rules/position.h"

namespace xq::engine {

// A position as the search plays on it: the rules' position plus what the search would otherwise
// recompute at every node — the hash key, red's material balance, the piece counts — all kept up
// to date move by move, and the keys of earlier positions for spotting repetitions.
class SearchBoard {
public:
    explicit SearchBoard(const Position& pos);

    const Position& position() const { return pos_; }
    int sideToMove() const { return pos_.sideToMove(); }
    Piece at(int square) const { return pos_.at(square); }
    std::uint64_t key() const { return key_; }
    // Material and placement, red minus black.
    int balance() const { return balance_; }
    int count(Piece piece) const { return piece < 32 ? counts_[piece] : 0; }
    // Chariots, horses and cannons of a side: what can attack and what null moves rely on.
    int majorPieces(int side) const;

    // Plays a pseudo move (no legality test) and returns the captured piece.
    Piece make(Move m);
    void unmake(Move m, Piece captured);
    // Passes the turn without moving.
    void makeNull();
    void unmakeNull();

    bool inCheck() const { return kingExposed(pos_, pos_.sideToMove()); }
    // After make(): the side that just moved left its own king open, so the move was illegal.
    bool moverExposed() const { return kingExposed(pos_, Opponent(pos_.sideToMove())); }

    // The current position occurred before with the same side to move, since the last capture.
    bool repeats() const;
    // Half-moves played on this board (game moves replayed into it plus the search's).
    int plies() const { return static_cast<int>(trail_.size()); }

    void generate(MoveList& out) const { generatePseudoMoves(pos_, out); }

private:
    struct Trail {
        std::uint64_t key;  // the key before the move
        bool barrier;       // a capture or a null move: nothing before it can repeat
    };

    void place(int square, Piece piece);
    void lift(int square, Piece piece);

    Position pos_;
    std::uint64_t key_ = 0;
    int balance_ = 0;
    std::array<int, 32> counts_{};
    std::vector<Trail> trail_;
};

}  // namespace xq::engine
