#pragma once

#include <array>
#include <cstdint>

#include "rules/piece.h"

namespace xq {

// The board as the table keeps it: ranks 0..10, files 0..9. Only ranks 0..9 and files 0..8 are
// points of the game; rank 10 and file 9 exist so that every routine can take a board of this
// one shape, and they stay empty.
using QiPan = std::array<std::array<std::uint8_t, 10>, 11>;

inline constexpr int kRanks = 10;  // rank 0 = black's back rank, rank 9 = red's back rank
inline constexpr int kFiles = 9;   // file 0 = left-most file seen from red

constexpr bool inArray(int rank, int file) {
    return rank >= 0 && rank < 11 && file >= 0 && file < 10;
}
constexpr bool OnBoard(int rank, int file) {
    return rank >= 0 && rank < kRanks && file >= 0 && file < kFiles;
}

// Reads a point; anything outside the array reads as empty.
inline Piece pieceAt(const QiPan& board, int rank, int file) {
    return inArray(rank, file) ? board[rank][file] : kNoPiece;
}

// Writes a point; a write outside the array is dropped.
inline void setPiece(QiPan& board, int rank, int file, Piece p) {
    if (inArray(rank, file)) board[rank][file] = p;
}

// A point packed into one byte for records and messages: rank in the high nibble.
constexpr std::uint8_t packPoint(int rank, int file) {
    return static_cast<std::uint8_t>(((rank & 15) << 4) | (file & 15));
}
constexpr int packedRank(std::uint8_t packed) {
    return packed >> 4;
}
constexpr int packedFile(std::uint8_t packed) {
    return packed & 15;
}

// Clears all 11 x 10 cells and sets up the opening position.
void InitQiPan(QiPan& board);

// Logical point -> display point for the given orientation; its own inverse. Points off the
// board leave row and col as they were.
void ToShowPos(std::uint8_t redView, std::uint8_t rank, std::uint8_t file, std::uint8_t& row,
               std::uint8_t& col);

// Fills the display board from the logical board for the given orientation.
void BuildShowQiPan(const QiPan& logical, std::uint8_t redView, QiPan& show);

}  // namespace xq
