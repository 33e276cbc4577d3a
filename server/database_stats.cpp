#include "server/database_stats.h"

#include <QDateTime>

#include "server/user_row_text.h"

namespace xq::server {

UserStats statsOf(const StoredPlayer& stored) {
    UserStats s;
    s.userNumber = stored.userNumber;
    s.score = stored.score;
    s.games = stored.games();
    s.won = stored.won;
    s.lost = stored.lost + stored.escapes;
    s.drawn = stored.drawn;
    s.escapes = stored.escapes;
    s.face = stored.face;
    return s;
}

std::optional<UserStats> DatabaseStats::enter(const QString& name) {
    const auto stored = store_.enter(name, facePicture(name));
    if (!stored) {
        log_(QStringLiteral("the players' database did not give %1: %2")
                 .arg(name, store_.lastError()));
        return std::nullopt;
    }
    return statsOf(*stored);
}

bool DatabaseStats::record(const GameOutcome& game, QString* error) {
    FinishedGame finished;
    finished.table = game.table;
    finished.names = game.names;
    finished.redSeat = game.redSeat;
    finished.result = game.result;
    finished.escaped = game.escaped;
    finished.reason = game.reason;
    finished.scoreChange = game.scoreChange;
    finished.terms = game.terms;
    finished.moves = game.moves;
    finished.endedAt = QDateTime::currentDateTimeUtc();
    return store_.record(finished, error);
}

}  // namespace xq::server
