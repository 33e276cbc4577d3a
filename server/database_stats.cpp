#include "server/database_stats.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QPointer>

#include "server/result_spill.h"

namespace xq::server {
namespace {

FinishedGame finishedOf(const GameOutcome& game) {
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
    // Fixed now, not at the commit: a game tried again must be known again by the archive.
    finished.endedAt = QDateTime::currentDateTimeUtc();
    return finished;
}

QString describe(const FinishedGame& g) {
    return QStringLiteral("table %1, %2 against %3, result %4%5, scores %6 / %7, ended %8")
        .arg(g.table)
        .arg(g.names[0], g.names[1])
        .arg(g.result)
        .arg(g.escaped ? QStringLiteral(" (escaped)") : QString())
        .arg(g.scoreChange[0])
        .arg(g.scoreChange[1])
        .arg(g.endedAt.toString(Qt::ISODateWithMs));
}

struct LookedUp {
    bool ok = false;
    std::optional<StoredPlayer> player;
    QString error;
};

struct Committed {
    PlayerStore::Recorded outcome = PlayerStore::Recorded::Failed;
    QString error;
    std::array<std::optional<StoredPlayer>, 2> players;
};

}  // namespace

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

DatabaseStats::DatabaseStats(StoreThread& store, LogSink log, QString spillFile, QObject* parent)
    : QObject(parent), store_(store), log_(std::move(log)), spillFile_(std::move(spillFile)) {
    clock_.start();
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &DatabaseStats::pump);
}

void DatabaseStats::look(const QString& name, Looked answer) {
    QPointer<DatabaseStats> self(this);
    store_.run<LookedUp>(
        [name](PlayerStore& store) {
            LookedUp found;
            found.player = store.find(name);
            found.ok = found.player || store.lastError().isEmpty();
            if (!found.ok) found.error = store.lastError();
            return found;
        },
        [self, name, answer = std::move(answer)](LookedUp found) {
            if (self) {
                if (!found.ok)
                    self->log_(QStringLiteral("the players' database did not give %1: %2")
                                   .arg(name, found.error));
                self->pending_.storeAnswered(found.ok, self->now());
                self->pump();
            }
            if (answer) answer(found.player ? std::optional(statsOf(*found.player)) : std::nullopt);
        });
}

void DatabaseStats::record(const GameOutcome& game, Stored stored) {
    const FinishedGame finished = finishedOf(game);
    pending_.add(finished, now(),
                 [stored = std::move(stored), names = finished.names](const StoredPlayer& a,
                                                                      const StoredPlayer& b) {
                     if (!stored) return;
                     stored(names[0], statsOf(a));
                     stored(names[1], statsOf(b));
                 });
    pump();
}

bool DatabaseStats::takesResults() const {
    return !pending_.away(now());
}

void DatabaseStats::pump() {
    const PendingResults::Entry* due = pending_.due(now());
    if (!due) {
        if (!pending_.empty() && !pending_.underWay())
            retry_.start(static_cast<int>(std::max<qint64>(0, pending_.nextTryMs() - now())));
        return;
    }
    retry_.stop();
    const FinishedGame game = due->game;
    QPointer<DatabaseStats> self(this);
    store_.run<Committed>(
        [game](PlayerStore& store) {
            Committed c;
            c.outcome = store.recordOnce(game, &c.error);
            if (c.outcome == PlayerStore::Recorded::Stored ||
                c.outcome == PlayerStore::Recorded::AlreadyStored) {
                // The figures shown from now on are the stored ones.
                for (int seat : {0, 1})
                    c.players[static_cast<std::size_t>(seat)] =
                        store.find(game.names[static_cast<std::size_t>(seat)]);
            }
            return c;
        },
        [self](Committed c) {
            if (!self) return;
            const bool ok = c.outcome == PlayerStore::Recorded::Stored ||
                            c.outcome == PlayerStore::Recorded::AlreadyStored;
            self->onCommitted(ok, c.outcome == PlayerStore::Recorded::Refused, c.error, c.players);
        });
}

void DatabaseStats::onCommitted(bool ok, bool refused, const QString& error,
                                const std::array<std::optional<StoredPlayer>, 2>& players) {
    // Written to the spill file meanwhile: nothing of it is here any more.
    if (!pending_.underWay()) return;
    if (ok || refused) {
        const bool wasAway = pending_.away(now());
        const PendingResults::Entry done = ok ? pending_.committed(now()) : pending_.refused();
        if (refused) {
            log_(QStringLiteral("a result can never be stored and is given up: %1; the game: %2")
                     .arg(error, describe(done.game)));
        } else if (wasAway) {
            log_(QStringLiteral("a result waiting for the store is stored: %1")
                     .arg(describe(done.game)));
        }
        if (spilledLeft_ > 0 && --spilledLeft_ == 0) {
            QFile::remove(spillFile_);
            log_(QStringLiteral("the results the last run left in %1 are stored").arg(spillFile_));
        }
        if (ok && players[0] && players[1] && done.stored) done.stored(*players[0], *players[1]);
    } else {
        const bool first = !pending_.away(now());
        pending_.failed(now());
        if (first || !settling_)
            log_(QStringLiteral("%1 result(s) wait for the store (%2); next try in %3 s")
                     .arg(pending_.size())
                     .arg(error)
                     .arg((pending_.nextTryMs() - now() + 999) / 1000));
    }
    pump();
}

bool DatabaseStats::takeSpilled() {
    QString error;
    const auto games = readSpill(spillFile_, &error);
    if (!games) {
        log_(QStringLiteral("results of an earlier run are not stored: %1").arg(error));
        return false;
    }
    if (games->empty()) return true;
    log_(QStringLiteral("%1 result(s) the last run could not store, from %2, go to the store first")
             .arg(games->size())
             .arg(spillFile_));
    for (const FinishedGame& g : *games)
        pending_.add(g, now());
    spilledLeft_ += static_cast<int>(games->size());
    pump();
    return true;
}

bool DatabaseStats::settle(int ms) {
    settling_ = true;
    const QDeadlineTimer deadline(ms);
    while (!pending_.empty() && !deadline.hasExpired()) {
        if (!pending_.underWay()) pending_.tryNow(now());
        pump();
        QEventLoop loop;
        QTimer::singleShot(std::clamp<qint64>(deadline.remainingTime(), 0, 50), &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
    settling_ = false;
    if (pending_.empty()) return true;
    // The store is away (or held): the results go to a file, the one under way too, since its
    // answer will not be waited for. The next start commits them, and the archive tells a game
    // that arrived after all.
    std::vector<FinishedGame> games;
    for (const PendingResults::Entry& e : pending_.takeAll())
        games.push_back(e.game);
    spilledLeft_ = 0;
    retry_.stop();
    QString error;
    if (!writeSpill(spillFile_, games, &error)) {
        log_(QStringLiteral("%1 result(s) are lost: %2").arg(games.size()).arg(error));
        for (const FinishedGame& g : games)
            log_(QStringLiteral("lost result: %1").arg(describe(g)));
        return false;
    }
    log_(QStringLiteral("%1 result(s) the store could not take are kept in %2 for the next start")
             .arg(games.size())
             .arg(spillFile_));
    return true;
}

}  // namespace xq::server
