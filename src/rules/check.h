#pragma once

#include "rules/board.h"

namespace xq {

// The piece on (rank, file) could move onto the opposing king's point. Only that one piece is
// examined: this is the check announcement after a move, not a full check test.
bool IsJiangJun(QiPan& board, int rank, int file);

}  // namespace xq
