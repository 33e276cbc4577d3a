#pragma once

#include <cstdint>

#include "rules/position.h"

namespace xq::engine {

// Random keys for hashing positions: one per piece code and square, and one for black to move.
std::uint64_t pieceKey(Piece piece, int square);
std::uint64_t blackToMoveKey();

// The key of a position computed from scratch; the search keeps it up to date move by move.
std::uint64_t computeKey(const Position& pos);

}  // namespace xq::engine
