#include "engine/search_board.h"

#include "engine/evaluation.h"
#include "engine/zobrist.h"

namespace xq::engine {

SearchBoard::SearchBoard(const Position& pos) : pos_(pos) {
    key_ = computeKey(pos_);
    for (int sq = 0; sq < kSquares; ++sq) {
        const Piece p = pos_.at(sq);
        if (p == kNoPiece || p >= 32) continue;
        balance_ += signedValue(p, sq);
        ++counts_[p];
    }
    trail_.reserve(512);
}

int SearchBoard::majorPieces(int side) const {
    return count(makePiece(side, kChariot)) + count(makePiece(side, kHorse)) +
           count(makePiece(side, kCannon));
}

void SearchBoard::place(int square, Piece piece) {
    key_ ^= pieceKey(piece, square);
    balance_ += signedValue(piece, square);
}

void SearchBoard::lift(int square, Piece piece) {
    key_ ^= pieceKey(piece, square);
    balance_ -= signedValue(piece, square);
}

Piece SearchBoard::make(Move m) {
    const Piece moving = pos_.at(m.from);
    const Piece captured = pos_.at(m.to);
    trail_.push_back(Trail{key_, captured != kNoPiece});
    lift(m.from, moving);
    if (captured != kNoPiece) {
        lift(m.to, captured);
        if (captured < 32) --counts_[captured];
    }
    place(m.to, moving);
    key_ ^= blackToMoveKey();
    pos_.makeMove(m);
    return captured;
}

void SearchBoard::unmake(Move m, Piece captured) {
    pos_.unmakeMove(m, captured);
    const Piece moving = pos_.at(m.from);
    balance_ -= signedValue(moving, m.to);
    balance_ += signedValue(moving, m.from);
    if (captured != kNoPiece) {
        balance_ += signedValue(captured, m.to);
        if (captured < 32) ++counts_[captured];
    }
    key_ = trail_.back().key;
    trail_.pop_back();
}

void SearchBoard::makeNull() {
    trail_.push_back(Trail{key_, true});
    key_ ^= blackToMoveKey();
    pos_.setSideToMove(Opponent(pos_.sideToMove()));
}

void SearchBoard::unmakeNull() {
    pos_.setSideToMove(Opponent(pos_.sideToMove()));
    key_ = trail_.back().key;
    trail_.pop_back();
}

bool SearchBoard::repeats() const {
    // Positions with the same side to move lie two, four, ... entries back.
    const auto n = static_cast<std::ptrdiff_t>(trail_.size());
    for (std::ptrdiff_t i = n - 1; i >= 0; --i) {
        const Trail& t = trail_[static_cast<std::size_t>(i)];
        if (t.barrier) return false;
        if ((n - i) % 2 == 0 && t.key == key_) return true;
    }
    return false;
}

}  // namespace xq::engine
