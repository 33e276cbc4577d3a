#pragma once

#include "rules/board.h"
#include "rules/history.h"

namespace xq {

enum class RecordMoveFault {
    None,
    OffBoard,      // a point lies off the board
    WrongPiece,    // the from-point holds another piece than the record says
    WrongCapture,  // the to-point holds another piece than the record says was taken
    WrongSide,     // the piece is not of the side whose turn it is
    Refused,       // the rules refuse the move
};

// Whether a stored move can be played on the board just as it is stored. side is the side whose
// turn it is, or -1 when turns are not looked at. The board is the same again on return.
RecordMoveFault checkRecordMove(QiPan& board, const QiPuMove& m, int side);

}  // namespace xq
