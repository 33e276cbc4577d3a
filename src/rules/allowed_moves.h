#pragma once

#include "rules/movegen.h"
#include "rules/position.h"

namespace xq {

// The moves a game record may hold: every move of the side to move that the table's own rule
// check (CanMoveQiZi) allows. A move that leaves the mover's own king attacked is among them,
// since the table lets such a game go on until the king is taken.
void generateAllowedMoves(const Position& pos, MoveList& out);
bool isAllowedMove(const Position& pos, Move m);

}  // namespace xq
