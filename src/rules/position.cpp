#include "rules/position.h"

namespace xq {

std::string moveToText(Move m) {
    std::string s(4, ' ');
    s[0] = static_cast<char>('a' + fileOfSquare(m.from));
    s[1] = static_cast<char>('0' + 9 - rankOfSquare(m.from));
    s[2] = static_cast<char>('a' + fileOfSquare(m.to));
    s[3] = static_cast<char>('0' + 9 - rankOfSquare(m.to));
    return s;
}

Position::Position() = default;

Position Position::Initial() {
    QiPan board{};
    InitQiPan(board);
    return fromQiPan(board, kRed);
}

Position Position::fromQiPan(const QiPan& board, int sideToMove) {
    Position pos;
    for (int r = 0; r < kRanks; ++r) {
        for (int f = 0; f < kFiles; ++f)
            pos.put(squareOf(r, f), board[r][f]);
    }
    pos.side_ = sideToMove == kBlack ? kBlack : kRed;
    return pos;
}

QiPan Position::toQiPan() const {
    QiPan board{};
    for (int sq = 0; sq < kSquares; ++sq)
        board[rankOfSquare(sq)][fileOfSquare(sq)] = at(sq);
    return board;
}

void Position::put(int sq, Piece p) {
    const Piece old = at(sq);
    if (kindOf(old) == kKing && SideOf(old) < 2 && kings_[SideOf(old)] == sq) {
        kings_[SideOf(old)] = -1;
    }
    squares_[static_cast<std::size_t>(sq)] = p;
    if (kindOf(p) == kKing && SideOf(p) < 2) kings_[SideOf(p)] = sq;
}

Piece Position::makeMove(Move m) {
    const Piece moving = at(m.from);
    const Piece captured = at(m.to);
    squares_[m.to] = moving;
    squares_[m.from] = kNoPiece;
    if (kindOf(moving) == kKing && SideOf(moving) < 2) kings_[SideOf(moving)] = m.to;
    if (kindOf(captured) == kKing && SideOf(captured) < 2) kings_[SideOf(captured)] = -1;
    side_ = Opponent(side_);
    return captured;
}

void Position::unmakeMove(Move m, Piece captured) {
    const Piece moving = at(m.to);
    squares_[m.from] = moving;
    squares_[m.to] = captured;
    if (kindOf(moving) == kKing && SideOf(moving) < 2) kings_[SideOf(moving)] = m.from;
    if (kindOf(captured) == kKing && SideOf(captured) < 2) kings_[SideOf(captured)] = m.to;
    side_ = Opponent(side_);
}

}  // namespace xq
