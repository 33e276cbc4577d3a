#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <array>

namespace xq::server {

// One finished game: archived and applied to both players in one transaction.
struct FinishedGame {
    int table = 1;                 // table number in the room
    std::array<QString, 2> names;  // seat 0, seat 1
    int redSeat = 0;
    int result = 2;                    // the losing seat (0 or 1), or 2 for a draw
    bool escaped = false;              // the loser ran away
    QString reason;                    // e.g. "被将死"
    std::array<int, 2> scoreChange{};  // added to each seat's score
    QString terms;                     // the 11-field table settings record, "`"-joined
    QByteArray moves;                  // the .drak text of the game
    QDateTime endedAt;                 // UTC

    bool operator==(const FinishedGame&) const = default;
};

// What one game adds to one seat's counters.
struct SeatTally {
    int won = 0, lost = 0, drawn = 0, escapes = 0;
};

// A runaway counts as an escape, not also as a loss, so that the four counters add up to the games.
SeatTally seatTally(const FinishedGame& game, int seat);

// Why the game cannot be stored as it is; empty when it can.
QString finishedGameFault(const FinishedGame& game);

}  // namespace xq::server
