#include "rules/record_check.h"

#include "rules/legality.h"

namespace xq {

RecordMoveFault checkRecordMove(QiPan& board, const QiPuMove& m, int side) {
    if (!OnBoard(m.fromRank, m.fromFile) || !OnBoard(m.toRank, m.toFile)) {
        return RecordMoveFault::OffBoard;
    }
    if (board[m.fromRank][m.fromFile] != m.piece) {
        return RecordMoveFault::WrongPiece;
    }
    // Stepping back puts the recorded captured piece on the board again: a wrong one would
    // appear from nowhere.
    if (board[m.toRank][m.toFile] != m.eaten) return RecordMoveFault::WrongCapture;
    if (side >= 0 && SideOf(m.piece) != side) return RecordMoveFault::WrongSide;
    if (!CanMoveQiZi(board, m.fromRank, m.fromFile, m.toRank, m.toFile)) {
        return RecordMoveFault::Refused;
    }
    return RecordMoveFault::None;
}

}  // namespace xq
