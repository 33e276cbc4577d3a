#include "server/board_game.h"

#include "rules/legality.h"
#include "rules/movegen.h"

namespace xq::server {

BoardGame::BoardGame() {
    start(0);
}

void BoardGame::start(int redSeat) {
    InitQiPan(board_);
    resetQiPu(history_);
    redSeat_ = redSeat & 1;
    toMove_ = redSeat_;
}

void BoardGame::startFrom(const QiPuHistory& history, int redSeat) {
    start(redSeat);
    history_ = history;
    if (history_.empty()) resetQiPu(history_);
    replayQiPu(history_, board_);
    // Red made the odd half-moves; the colour that did not make the last one is to move.
    if (halfMoves() % 2 == 1) toMove_ = redSeat_ ^ 1;
}

int BoardGame::sideOf(int seat) const {
    return seat == redSeat_ ? kRed : kBlack;
}

std::optional<QString> BoardGame::refusal(int seat, std::uint8_t from, std::uint8_t to) {
    if (seat != toMove_) return QStringLiteral("还没轮到你走棋");
    const int r1 = packedRank(from), c1 = packedFile(from);
    const int r2 = packedRank(to), c2 = packedFile(to);
    if (!OnBoard(r1, c1) || !OnBoard(r2, c2)) return QStringLiteral("位置不在棋盘上");
    const Piece p = pieceAt(board_, r1, c1);
    if (p == kNoPiece || SideOf(p) != sideOf(seat)) return QStringLiteral("起点没有你的棋子");
    if (!CanMoveQiZi(board_, r1, c1, r2, c2)) return QStringLiteral("不符合走棋规则");
    return std::nullopt;
}

QiPuItem BoardGame::play(std::uint8_t from, std::uint8_t to) {
    const int r1 = packedRank(from), c1 = packedFile(from);
    const int r2 = packedRank(to), c2 = packedFile(to);
    const Piece p = pieceAt(board_, r1, c1);
    const Piece eaten = pieceAt(board_, r2, c2);
    setPiece(board_, r1, c1, kNoPiece);
    setPiece(board_, r2, c2, p);
    const QiPuItem item{from, p, to, eaten};
    history_.push_back(item);
    toMove_ ^= 1;
    return item;
}

std::optional<BoardEnding> BoardGame::ending() const {
    if (halfMoves() < 1) return std::nullopt;
    const QiPuItem& last = history_.back();
    if (kindOf(last.bteEatQiZi) == kKing) return BoardEnding{toMove_, QStringLiteral("老将被吃")};
    if (auto why = stuckReason(board_, sideOf(toMove_))) return BoardEnding{toMove_, *why};
    return std::nullopt;
}

bool BoardGame::undoTwo() {
    if (halfMoves() < 2) return false;
    for (int i = 0; i < 2; ++i) {
        const QiPuItem item = history_.back();
        setPiece(board_, packedRank(item.bteFromPos), packedFile(item.bteFromPos), item.bteQiZi);
        setPiece(board_, packedRank(item.bteToPos), packedFile(item.bteToPos), item.bteEatQiZi);
        history_.pop_back();
    }
    return true;
}

std::optional<QString> stuckReason(const QiPan& board, int side) {
    Position pos = Position::fromQiPan(board, side);
    MoveList moves;
    generateLegalMoves(pos, moves);
    if (!moves.empty()) return std::nullopt;
    return kingExposed(pos, side) ? QStringLiteral("被将死") : QStringLiteral("困毙");
}

std::optional<QiPuHistory> checkRecord(const std::vector<QiPuItem>& moves) {
    QiPan board{};
    InitQiPan(board);
    QiPuHistory history;
    resetQiPu(history);
    int side = kRed;
    for (const QiPuItem& m : moves) {
        const int r1 = packedRank(m.bteFromPos), c1 = packedFile(m.bteFromPos);
        const int r2 = packedRank(m.bteToPos), c2 = packedFile(m.bteToPos);
        if (!OnBoard(r1, c1) || !OnBoard(r2, c2)) return std::nullopt;
        const Piece p = pieceAt(board, r1, c1);
        if (p == kNoPiece || p != m.bteQiZi || SideOf(p) != side) return std::nullopt;
        if (!CanMoveQiZi(board, r1, c1, r2, c2)) return std::nullopt;
        const Piece eaten = pieceAt(board, r2, c2);
        if (kindOf(eaten) == kKing) return std::nullopt;
        setPiece(board, r1, c1, kNoPiece);
        setPiece(board, r2, c2, p);
        history.push_back(QiPuItem{m.bteFromPos, p, m.bteToPos, eaten});
        side = Opponent(side);
    }
    if (stuckReason(board, side)) return std::nullopt;
    return history;
}

}  // namespace xq::server
