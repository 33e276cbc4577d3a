#include "server/store/player_store.h"

#include <QSqlError>
#include <QSqlQuery>

#include "server/store/name_key.h"
#include "server/store/store_connection.h"
#include "server/store/store_failure.h"
#include "server/store/store_location.h"
#include "server/store/store_schema.h"

namespace xq::server {
namespace {

// A null QString or QByteArray would reach the database as NULL.
QString nonNull(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}
QByteArray nonNull(const QByteArray& bytes) {
    return bytes.isNull() ? QByteArray("") : bytes;
}

const QString kPlayerColumns = QStringLiteral("id, score, won, lost, drawn, escapes, face");

StoredPlayer playerFrom(const QSqlQuery& q) {
    StoredPlayer p;
    p.userNumber = 10000 + q.value(0).toInt();
    p.score = q.value(1).toInt();
    p.won = q.value(2).toInt();
    p.lost = q.value(3).toInt();
    p.drawn = q.value(4).toInt();
    p.escapes = q.value(5).toInt();
    p.face = q.value(6).toInt();
    p.name = q.value(7).toString();
    return p;
}

}  // namespace

PlayerStore::PlayerStore(std::unique_ptr<StoreConnection> connection)
    : connection_(std::move(connection)) {}

PlayerStore::~PlayerStore() = default;

std::unique_ptr<PlayerStore> PlayerStore::open(const QString& where, QString* error) {
    const auto location = parseStoreLocation(where, error);
    if (!location) return nullptr;
    auto connection = StoreConnection::open(*location, error);
    if (!connection || !migrateStore(*connection, error)) return nullptr;
    return std::unique_ptr<PlayerStore>(new PlayerStore(std::move(connection)));
}

bool PlayerStore::isPostgres() const {
    return connection_->isPostgres();
}

QSqlQuery* PlayerStore::lookUp(const QString& columns, const QString& name) {
    lastError_.clear();
    // The exact name before a look-alike: a player whose key was left unset, because an older
    // player's name looks the same, is still found under his own.
    QSqlQuery* q = connection_->prepared(
        QStringLiteral("SELECT %1, name FROM players WHERE name = ? OR name_key = ?"
                       " ORDER BY CASE WHEN name = ? THEN 0 ELSE 1 END LIMIT 1")
            .arg(columns),
        &lastError_);
    if (!q) return nullptr;
    const std::optional<QString> key = nameKey(name);
    q->addBindValue(name);
    // NULL matches no key: without one the name is found only as it is.
    q->addBindValue(key ? QVariant(*key) : QVariant(QMetaType::fromType<QString>()));
    q->addBindValue(name);
    if (!q->exec()) {
        lastError_ = sqlErrorText(q->lastError());
        return nullptr;
    }
    if (q->next()) return q;
    q->finish();
    return nullptr;
}

std::optional<StoredPlayer> PlayerStore::findOnce(const QString& name) {
    QSqlQuery* q = lookUp(kPlayerColumns, name);
    if (!q) return std::nullopt;
    // Finished at once: an open SQLite statement would keep its reader on an old snapshot.
    const StoredPlayer found = playerFrom(*q);
    q->finish();
    return found;
}

std::optional<StoredPlayer> PlayerStore::find(const QString& name) {
    auto found = findOnce(name);
    if (!found && !lastError_.isEmpty() && connection_->reconnectIfLost()) found = findOnce(name);
    return found;
}

std::optional<StoredPlayer> PlayerStore::enterOnce(const QString& name, int face) {
    // Someone who has been here before costs one round trip.
    if (auto found = findOnce(name); found || !lastError_.isEmpty()) return found;
    if (const QString why = newNameProblem(name); !why.isEmpty()) {
        lastError_ = why;
        return std::nullopt;
    }
    const std::optional<QString> key = nameKey(name);
    if (!key) {
        lastError_ = QStringLiteral("the name cannot be compared with the stored ones");
        return std::nullopt;
    }
    // No conflict target: a clash on the name or on its key both leave the row that is there.
    QSqlQuery* q = connection_->prepared(
        QStringLiteral("INSERT INTO players (name, name_key, face) VALUES (?, ?, ?)"
                       " ON CONFLICT DO NOTHING RETURNING %1, name")
            .arg(kPlayerColumns),
        &lastError_);
    if (!q) return std::nullopt;
    q->addBindValue(name);
    q->addBindValue(*key);
    q->addBindValue(face);
    if (!q->exec()) {
        lastError_ = sqlErrorText(q->lastError());
        return std::nullopt;
    }
    std::optional<StoredPlayer> made;
    if (q->next()) made = playerFrom(*q);
    q->finish();
    // Another server entered the same name, or a look-alike, just now: its row is the one.
    if (!made) made = findOnce(name);
    if (!made && lastError_.isEmpty()) lastError_ = QStringLiteral("the new player was not kept");
    return made;
}

QString PlayerStore::nameProblem(const QString& name) {
    if (name.isEmpty()) return QStringLiteral("a player needs a name");
    if (hasNul(name)) return QStringLiteral("a name cannot contain a NUL character");
    return {};
}

std::optional<StoredPlayer> PlayerStore::enter(const QString& name, int face) {
    if (const QString why = nameProblem(name); !why.isEmpty()) {
        lastError_ = why;
        return std::nullopt;
    }
    auto player = enterOnce(name, face);
    if (!player && connection_->reconnectIfLost()) player = enterOnce(name, face);
    return player;
}

QString PlayerStore::gameProblem(const FinishedGame& game) {
    QString fault = finishedGameFault(game);
    if (fault.isEmpty() && (hasNul(game.names[0]) || hasNul(game.names[1]) || hasNul(game.reason) ||
                            hasNul(game.terms))) {
        fault = QStringLiteral("the game's text contains a NUL character");
    }
    return fault;
}

bool PlayerStore::record(const FinishedGame& game, QString* error) {
    if (const QString fault = gameProblem(game); !fault.isEmpty())
        return fail(error, QStringLiteral("game not stored: %1").arg(fault));
    QString why;
    Attempt attempt = tryRecord(game, false, &why);
    // Nothing was committed when the connection broke before the commit: safe to try again.
    if (attempt == Attempt::FailedBeforeCommit && connection_->reconnectIfLost()) {
        attempt = tryRecord(game, false, &why);
    }
    if (attempt == Attempt::Done) return true;
    return fail(error, QStringLiteral("game not stored: %1").arg(why));
}

PlayerStore::Recorded PlayerStore::recordOnce(const FinishedGame& game, QString* error) {
    if (const QString fault = gameProblem(game); !fault.isEmpty()) {
        fail(error, QStringLiteral("game not stored: %1").arg(fault));
        return Recorded::Refused;
    }
    QString why;
    Attempt attempt = tryRecord(game, true, &why);
    // After a lost connection even a commit that was sent is safe to try again: the archive
    // says whether it arrived.
    if ((attempt == Attempt::FailedBeforeCommit || attempt == Attempt::Failed) &&
        connection_->reconnectIfLost()) {
        attempt = tryRecord(game, true, &why);
    }
    switch (attempt) {
        case Attempt::Done:
            return Recorded::Stored;
        case Attempt::AlreadyStored:
            return Recorded::AlreadyStored;
        case Attempt::Refused:
            fail(error, QStringLiteral("game not stored: %1").arg(why));
            return Recorded::Refused;
        case Attempt::Failed:
        case Attempt::FailedBeforeCommit:
            break;
    }
    fail(error, QStringLiteral("game not stored: %1").arg(why));
    return Recorded::Failed;
}

PlayerStore::Attempt PlayerStore::tryRecord(const FinishedGame& game, bool unlessArchived,
                                            QString* error) {
    StoreConnection& c = *connection_;
    const QDateTime ended = game.endedAt.isValid() ? game.endedAt : QDateTime::currentDateTimeUtc();
    QSqlQuery* archived =
        unlessArchived
            ? c.prepared(QStringLiteral("SELECT 1 FROM games WHERE ended_ms = ? AND table_no = ?"
                                        " AND name0 = ? AND name1 = ?"),
                         error)
            : nullptr;
    if (unlessArchived && !archived) return Attempt::FailedBeforeCommit;
    QSqlQuery* update = c.prepared(
        QStringLiteral("UPDATE players SET score = score + ?, won = won + ?, lost = lost + ?,"
                       " drawn = drawn + ?, escapes = escapes + ? WHERE name = ?"),
        error);
    QSqlQuery* insert = c.prepared(
        QStringLiteral("INSERT INTO games (ended_ms, table_no, name0, name1, red_seat, result,"
                       " escaped, reason, change0, change1, terms, moves)"
                       " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        error);
    if (!update || !insert || !c.begin(error)) return Attempt::FailedBeforeCommit;
    auto abandon = [&](QSqlQuery* q, const QString& why, Attempt attempt) {
        fail(error, why.isEmpty() ? sqlErrorText(q->lastError()) : why);
        q->finish();
        c.rollback();
        return attempt;
    };
    if (archived) {
        archived->addBindValue(ended.toMSecsSinceEpoch());
        archived->addBindValue(game.table);
        archived->addBindValue(game.names[0]);
        archived->addBindValue(game.names[1]);
        if (!archived->exec()) return abandon(archived, {}, Attempt::FailedBeforeCommit);
        const bool there = archived->next();
        archived->finish();
        if (there) {
            c.rollback();
            return Attempt::AlreadyStored;
        }
    }
    // Rows are always updated in the order of their names, so that two servers recording games
    // of the same two players never wait for each other in a circle.
    const int first = game.names[0] <= game.names[1] ? 0 : 1;
    for (int seat : {first, 1 - first}) {
        const SeatTally t = seatTally(game, seat);
        for (int v : {game.scoreChange[seat], t.won, t.lost, t.drawn, t.escapes}) {
            update->addBindValue(v);
        }
        update->addBindValue(game.names[seat]);
        if (!update->exec()) return abandon(update, {}, Attempt::FailedBeforeCommit);
        if (update->numRowsAffected() != 1) {
            return abandon(
                update, QStringLiteral("%1 has not entered the room's store").arg(game.names[seat]),
                Attempt::Refused);
        }
        update->finish();
    }
    insert->addBindValue(ended.toMSecsSinceEpoch());
    insert->addBindValue(game.table);
    insert->addBindValue(game.names[0]);
    insert->addBindValue(game.names[1]);
    insert->addBindValue(game.redSeat);
    insert->addBindValue(game.result);
    insert->addBindValue(game.escaped ? 1 : 0);
    insert->addBindValue(nonNull(game.reason));
    insert->addBindValue(game.scoreChange[0]);
    insert->addBindValue(game.scoreChange[1]);
    insert->addBindValue(nonNull(game.terms));
    insert->addBindValue(nonNull(game.moves));
    if (!insert->exec()) return abandon(insert, {}, Attempt::FailedBeforeCommit);
    insert->finish();
    if (c.commit(error)) return Attempt::Done;
    c.rollback();
    return Attempt::Failed;
}

QString PlayerStore::close() {
    QString problem = connection_->close();
    return problem;
}

int PlayerStore::schemaVersion() {
    return storedSchemaVersion(*connection_);
}

qint64 PlayerStore::archivedGames() {
    lastError_.clear();
    QSqlQuery q(connection_->database());
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM games")) || !q.next()) {
        lastError_ = sqlErrorText(q.lastError());
        return -1;
    }
    return q.value(0).toLongLong();
}

std::vector<FinishedGame> PlayerStore::recentGames(int count) {
    lastError_.clear();
    std::vector<FinishedGame> games;
    if (count <= 0) return games;
    QSqlQuery q(connection_->database());
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral(
            "SELECT table_no, name0, name1, red_seat, result, escaped, reason, change0, change1,"
            " terms, moves, ended_ms FROM games ORDER BY ended_ms DESC, id DESC LIMIT ?"))) {
        lastError_ = sqlErrorText(q.lastError());
        return games;
    }
    q.addBindValue(count);
    if (!q.exec()) {
        lastError_ = sqlErrorText(q.lastError());
        return games;
    }
    while (q.next()) {
        FinishedGame g;
        g.table = q.value(0).toInt();
        g.names = {q.value(1).toString(), q.value(2).toString()};
        g.redSeat = q.value(3).toInt();
        g.result = q.value(4).toInt();
        g.escaped = q.value(5).toInt() != 0;
        g.reason = q.value(6).toString();
        g.scoreChange = {q.value(7).toInt(), q.value(8).toInt()};
        g.terms = q.value(9).toString();
        g.moves = q.value(10).toByteArray();
        g.endedAt = QDateTime::fromMSecsSinceEpoch(q.value(11).toLongLong(), Qt::UTC);
        games.push_back(std::move(g));
    }
    return games;
}

}  // namespace xq::server
