#pragma once

#include "rules/piece.h"

namespace xq::engine {

class SearchBoard;

// The worth of a kind of piece in material alone (the king has none: losing it ends the game).
int kindValue(int kind);

// Material plus the placement bonus of a piece on a square, for the piece's own side.
int pieceSquareValue(Piece piece, int square);

// The same, positive for red pieces and negative for black ones, so that a sum over the board
// is red's balance.
inline int signedValue(Piece piece, int square) {
    const int v = pieceSquareValue(piece, square);
    return SideOf(piece) == kRed ? v : -v;
}

// Neither side has a piece that can ever give check: nothing left to play for.
bool isDeadDrawn(const SearchBoard& board);

// Static evaluation from the point of view of the side to move.
int evaluate(const SearchBoard& board);

}  // namespace xq::engine
