// Games in progress kept in the players' store, for a room that restarts.

#include <QSqlError>
#include <QSqlQuery>

#include "server/store/player_store.h"
#include "server/store/store_connection.h"
#include "server/store/store_failure.h"

namespace xq::server {
namespace {}  // namespace

bool PlayerStore::keepRunningGames(const QString& room, const std::vector<RunningGame>& games,
                                   const std::vector<int>& ended, QString* error) {
    if (hasNul(room)) return fail(error, QStringLiteral("the room's name contains a NUL"));
    for (const RunningGame& g : games) {
        if (hasNul(g.names[0]) || hasNul(g.names[1]) || hasNul(g.terms))
            return fail(error, QStringLiteral("a kept game's text contains a NUL character"));
    }
    QString why;
    Attempt attempt = keepRunningOnce(room, games, ended, &why);
    if (attempt == Attempt::FailedBeforeCommit && connection_->reconnectIfLost())
        attempt = keepRunningOnce(room, games, ended, &why);
    if (attempt == Attempt::Done) return true;
    return fail(error, QStringLiteral("running games not kept: %1").arg(why));
}

PlayerStore::Attempt PlayerStore::keepRunningOnce(const QString& room,
                                                  const std::vector<RunningGame>& games,
                                                  const std::vector<int>& ended, QString* error) {
    StoreConnection& c = *connection_;
    QSqlQuery* upsert = c.prepared(
        QStringLiteral("INSERT INTO running_games (room, table_no, name0, name1, red_seat, terms,"
                       " tally0, tally1, bank0, bank1, moves, moves_at_start, rated, saved_ms)"
                       " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                       " ON CONFLICT (room, table_no) DO UPDATE SET name0 = excluded.name0,"
                       " name1 = excluded.name1, red_seat = excluded.red_seat,"
                       " terms = excluded.terms, tally0 = excluded.tally0,"
                       " tally1 = excluded.tally1, bank0 = excluded.bank0,"
                       " bank1 = excluded.bank1, moves = excluded.moves,"
                       " moves_at_start = excluded.moves_at_start, rated = excluded.rated,"
                       " saved_ms = excluded.saved_ms"),
        error);
    QSqlQuery* forget = c.prepared(
        QStringLiteral("DELETE FROM running_games WHERE room = ? AND table_no = ?"), error);
    if (!upsert || !forget || !c.begin(error)) return Attempt::FailedBeforeCommit;
    const auto abandon = [&](QSqlQuery* q) {
        fail(error, sqlErrorText(q->lastError()));
        q->finish();
        c.rollback();
        return Attempt::FailedBeforeCommit;
    };
    for (int table : ended) {
        forget->addBindValue(room);
        forget->addBindValue(table);
        if (!forget->exec()) return abandon(forget);
        forget->finish();
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (const RunningGame& g : games) {
        upsert->addBindValue(room);
        upsert->addBindValue(g.table);
        upsert->addBindValue(g.names[0]);
        upsert->addBindValue(g.names[1]);
        upsert->addBindValue(g.redSeat);
        upsert->addBindValue(g.terms);
        upsert->addBindValue(g.tally[0]);
        upsert->addBindValue(g.tally[1]);
        upsert->addBindValue(g.bankSeconds[0]);
        upsert->addBindValue(g.bankSeconds[1]);
        // Never NULL: an empty record is still a record.
        upsert->addBindValue(g.moves.isNull() ? QByteArray("") : g.moves);
        upsert->addBindValue(g.movesAtStart);
        upsert->addBindValue(g.rated ? 1 : 0);
        upsert->addBindValue(g.savedAt.isValid() ? g.savedAt.toMSecsSinceEpoch() : now);
        if (!upsert->exec()) return abandon(upsert);
        upsert->finish();
    }
    if (c.commit(error)) return Attempt::Done;
    c.rollback();
    return Attempt::Failed;
}

std::optional<std::vector<RunningGame>> PlayerStore::runningGames(const QString& room) {
    lastError_.clear();
    QSqlQuery q(connection_->database());
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral(
            "SELECT table_no, name0, name1, red_seat, terms, tally0, tally1, bank0, bank1, moves,"
            " moves_at_start, rated, saved_ms FROM running_games WHERE room = ? ORDER BY "
            "table_no")) ||
        (q.addBindValue(room), !q.exec())) {
        lastError_ = sqlErrorText(q.lastError());
        return std::nullopt;
    }
    std::vector<RunningGame> games;
    while (q.next()) {
        RunningGame g;
        g.table = q.value(0).toInt();
        g.names = {q.value(1).toString(), q.value(2).toString()};
        g.redSeat = q.value(3).toInt();
        g.terms = q.value(4).toString();
        g.tally = {q.value(5).toInt(), q.value(6).toInt()};
        g.bankSeconds = {q.value(7).toInt(), q.value(8).toInt()};
        g.moves = q.value(9).toByteArray();
        g.movesAtStart = q.value(10).toInt();
        g.rated = q.value(11).toInt() != 0;
        g.savedAt = QDateTime::fromMSecsSinceEpoch(q.value(12).toLongLong(), Qt::UTC);
        games.push_back(std::move(g));
    }
    return games;
}

}  // namespace xq::server
