#pragma once

#include <cstdint>

namespace xq {

// A piece is one byte: side * 16 + kind; 0 is an empty point.
using Piece = std::uint8_t;

inline constexpr int kBlack = 0;
inline constexpr int kRed = 1;

inline constexpr int kChariot = 1;
inline constexpr int kHorse = 2;
inline constexpr int kCannon = 3;
inline constexpr int kKing = 4;
inline constexpr int kAdvisor = 5;
inline constexpr int kElephant = 6;
inline constexpr int kPawn = 7;

inline constexpr Piece kNoPiece = 0;

constexpr int SideOf(Piece p) {
    return p >> 4;
}
constexpr int kindOf(Piece p) {
    return p & 15;
}
constexpr Piece makePiece(int side, int kind) {
    return static_cast<Piece>(side * 16 + kind);
}
constexpr int Opponent(int side) {
    return side == kRed ? kBlack : kRed;
}

}  // namespace xq
