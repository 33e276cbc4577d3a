#include "server/store/finished_game.h"

namespace xq::server {

SeatTally seatTally(const FinishedGame& game, int seat) {
    SeatTally t;
    if (game.result == 2) {
        t.drawn = 1;
    } else if (game.result != seat) {
        t.won = 1;
    } else if (game.escaped) {
        t.escapes = 1;
    } else {
        t.lost = 1;
    }
    return t;
}

QString finishedGameFault(const FinishedGame& game) {
    for (const QString& name : game.names) {
        if (name.isEmpty()) return QStringLiteral("a player has no name");
    }
    if (game.redSeat != 0 && game.redSeat != 1) {
        return QStringLiteral("red seat %1 is neither 0 nor 1").arg(game.redSeat);
    }
    if (game.result < 0 || game.result > 2) {
        return QStringLiteral("result %1 is neither a seat nor a draw").arg(game.result);
    }
    if (game.escaped && game.result == 2) return QStringLiteral("a drawn game has no runaway");
    return {};
}

}  // namespace xq::server
