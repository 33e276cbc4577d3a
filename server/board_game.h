#pragma once

#include <QString>
#include <optional>

#include "rules/board.h"
#include "rules/history.h"

namespace xq::server {

// How a game ended on the board: the seat that lost and why.
struct BoardEnding {
    int loser = 0;
    QString reason;
};

// The server's own copy of the game: the board it judges moves on, the history, and whose turn
// it is. Seats are 0 and 1; the red seat plays the pieces of side kRed.
class BoardGame {
public:
    BoardGame();

    void start(int redSeat);
    // Continues from a checked record (placeholder at index 0, captured pieces filled in).
    void startFrom(const QiPuHistory& history, int redSeat);

    // Why the seat may not play from -> to now (packed points), or nothing when it may.
    std::optional<QString> refusal(int seat, std::uint8_t from, std::uint8_t to);
    // Plays a move that refusal() let through and passes the turn.
    QiPuItem play(std::uint8_t from, std::uint8_t to);
    // After a move: the king was taken, or the side to move has no legal move.
    std::optional<BoardEnding> ending() const;
    // Takes back the last two half-moves; the turn is the same again afterwards.
    bool undoTwo();

    int redSeat() const { return redSeat_; }
    int toMove() const { return toMove_; }
    int sideOf(int seat) const;
    const QiPan& board() const { return board_; }
    const QiPuHistory& history() const { return history_; }
    long halfMoves() const { return qiPuUpperBound(history_); }

private:
    QiPan board_{};
    QiPuHistory history_;
    int redSeat_ = 0;
    int toMove_ = 0;
};

// Replays an uploaded record from the opening position: points on the board, the recorded piece
// on each from-point, colours alternating from red, every move allowed, no king taken, and a
// legal move left for the side to move at the end. Gives the history with the captured pieces
// taken from the replayed board, or nothing when the record fails any check.
std::optional<QiPuHistory> checkRecord(const std::vector<QiPuItem>& moves);

// The side to move has no legal move: the reason it loses ("被将死" or "困毙"), else nothing.
std::optional<QString> stuckReason(const QiPan& board, int side);

}  // namespace xq::server
