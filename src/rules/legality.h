#pragma once

#include <cstdint>

#include "rules/board.h"

namespace xq {

// Whether the piece on (r1, c1) may go to (r2, c2) by its movement rule, without taking a piece of
// its own side and without leaving the two kings facing each other (a move that stays on its
// file is exempt from that last test). Whose turn it is, and whether the mover's own king is left
// attacked, are not looked at. The board is changed for a trial move and restored before return.
bool CanMoveQiZi(QiPan& board, int r1, int c1, int r2, int c2);

bool RuleJuPao(const QiPan& board, int r1, int c1, int r2, int c2);  // chariot and cannon
bool RuleMa(const QiPan& board, int r1, int c1, int r2, int c2);     // horse
bool RuleXiang(const QiPan& board, int r1, int c1, int r2, int c2);  // elephant
bool RuleJiang(const QiPan& board, int r1, int c1, int r2, int c2);  // king
bool RuleShi(const QiPan& board, int r1, int c1, int r2, int c2);    // advisor
bool RuleBing(const QiPan& board, int r1, int c1, int r2, int c2);   // pawn

// Occupied points strictly between two points of one rank or one file; 0 otherwise.
int CountBetween(const QiPan& board, int r1, int c1, int r2, int c2);

// First point (rank-major scan) holding the code; rank and file are left as they are when no
// point holds it.
void FindQiZi(const QiPan& board, std::uint8_t code, std::uint8_t& rank, std::uint8_t& file);

// The two kings stand on one file with nothing between them.
bool KingsFacing(const QiPan& board);

}  // namespace xq
