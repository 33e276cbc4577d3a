#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rules/position.h"

namespace xq::uci {

// How an engine names the points of a move. Files are a..i from red's left for all of them; ranks
// count from red's side, from 0 (ICCS, as Pikafish and most xiangqi engines write them: "h2e2")
// or from 1 (as Fairy-Stockfish writes every variant: "h3e3", and "a10" for black's back rank).
enum class RankBase { Zero, One };

std::string moveText(Move m, RankBase base);
// Nothing for text that is no move in that style (a rank outside the board, a point that goes
// nowhere, trailing text).
std::optional<Move> parseMove(std::string_view text, RankBase base);

}  // namespace xq::uci
