#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rules/position.h"

namespace xq {

// Standard xiangqi FEN: the first row is rank 0 (black's back rank); red pieces upper case,
// black lower case, letters r n b a k c p (h and e are read as n and b); side to move w (red) or
// b (black). Fields after the side to move are accepted and ignored.
inline constexpr std::string_view kStartFen =
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1";

// Reads a FEN. A malformed text, or a position that cannot arise in a game (not exactly one king
// per side inside its palace, more pieces of a kind than a side owns, an advisor, elephant or
// pawn on a point it can never reach, the side that just moved left with its king exposed),
// gives nothing and a one-line reason in *error. Ranks and points in the reasons are named as
// moves are written: files a..i from red's left, ranks 0..9 from red's side (the FEN's first
// row is rank 9).
std::optional<Position> ParseFen(std::string_view fen, std::string* error = nullptr);

std::string ToFen(const Position& pos);

}  // namespace xq
