#pragma once

#include <string>
#include <utility>
#include <vector>

#include "rules/board.h"

namespace xq {

// Why a piece may not make a move, in the words a player understands; kNone when it may (exactly
// when CanMoveQiZi allows it).
enum class MoveReason {
    kNone,
    kNoPiece,        // nothing on the from-point
    kOwnPiece,       // the target holds a piece of the same side
    kNotHowItMoves,  // the piece's rule has no such step at all
    kPathBlocked,    // a chariot, or a cannon without capture, has pieces in its way
    kCannonScreen,   // a cannon captures over exactly one piece
    kHorseLeg,       // the horse's leg is blocked
    kElephantEye,    // the elephant's eye is blocked
    kElephantRiver,  // an elephant cannot cross the river
    kPalace,         // king and advisor stay in their palace
    kPawnBackward,   // a pawn never goes back
    kPawnSideways,   // a pawn goes sideways only after crossing the river
    kKingsFace,      // after the move the kings would face each other on an open file
};

MoveReason WhyNot(QiPan& board, int r1, int c1, int r2, int c2);

// The text of a reason (UTF-8), in Chinese; empty for kNone.
std::string moveReasonText(MoveReason reason);

// Every point the piece on (rank, file) may move to (logical points, rank first).
std::vector<std::pair<int, int>> legalTargets(QiPan& board, int rank, int file);

}  // namespace xq
