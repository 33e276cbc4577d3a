#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "rules/board.h"
#include "rules/piece.h"

namespace xq {

// Squares of the playing area only: rank * 9 + file, 0..89. This compact form is what search
// and move generation work on; the table keeps the 11 x 10 form.
inline constexpr int kSquares = kRanks * kFiles;
constexpr int squareOf(int rank, int file) {
    return rank * kFiles + file;
}
constexpr int rankOfSquare(int sq) {
    return sq / kFiles;
}
constexpr int fileOfSquare(int sq) {
    return sq % kFiles;
}

struct Move {
    std::uint8_t from = 0;
    std::uint8_t to = 0;

    friend bool operator==(const Move&, const Move&) = default;
};

// Coordinate text of a move as engines write it: file letter a..i from red's left, rank digit
// 0..9 from red's side, e.g. "h2e2" for the red cannon's opening move to the centre.
std::string moveToText(Move m);

// A board of the playing area and the side to move.
class Position {
public:
    Position();  // empty board, red to move

    static Position Initial();
    static Position fromQiPan(const QiPan& board, int sideToMove);
    QiPan toQiPan() const;

    Piece at(int sq) const { return squares_[static_cast<std::size_t>(sq)]; }
    int sideToMove() const { return side_; }
    void setSideToMove(int side) { side_ = side; }
    // Square of the side's king, -1 when it has none.
    int kingSquare(int side) const { return kings_[static_cast<std::size_t>(side)]; }

    void put(int sq, Piece p);

    // Plays a move (no legality test) and passes the turn; returns the piece captured.
    Piece makeMove(Move m);
    // Takes back a move played by makeMove.
    void unmakeMove(Move m, Piece captured);

private:
    std::array<Piece, kSquares> squares_{};
    int side_ = kRed;
    std::array<int, 2> kings_{-1, -1};
};

}  // namespace xq
