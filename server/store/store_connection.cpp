#include "server/store/store_connection.h"
#include "server/store/store_failure.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlError>
#include <QThread>
#include <atomic>

namespace xq::server {
namespace {

QString uniqueConnectionName() {
    static std::atomic<int> made{0};
    return QStringLiteral("xq_store_%1").arg(++made);
}

}  // namespace

QString sqlErrorText(const QSqlError& error) {
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("unknown database error") : text;
}

StoreConnection::StoreConnection(const StoreLocation& location)
    : location_(location), name_(uniqueConnectionName()) {}

StoreConnection::~StoreConnection() {
    // Qt's rule: no query and no handle of the connection may outlive its removal.
    statements_.clear();
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
}

std::unique_ptr<StoreConnection> StoreConnection::open(const StoreLocation& location,
                                                       QString* error) {
    std::unique_ptr<StoreConnection> c(new StoreConnection(location));
    auto db = addStoreDatabase(location, c->name_, error);
    if (!db) return nullptr;
    c->db_ = *db;
    if (!c->isPostgres()) {
        const QFileInfo file(location.path);
        if (!QDir().mkpath(file.absolutePath())) {
            fail(error, QStringLiteral("cannot create the folder %1").arg(file.absolutePath()));
            return nullptr;
        }
    }
    if (!c->connect(error)) return nullptr;
    return c;
}

bool StoreConnection::connect(QString* error) {
    if (!db_.open()) {
        return fail(error, QStringLiteral("cannot open the players' store: %1")
                               .arg(sqlErrorText(db_.lastError())));
    }
    // A statement that the database server takes too long over fails instead of holding the
    // store's thread (a database that does not answer at all holds it until it does).
    if (isPostgres()) {
        return exec(QStringLiteral("SET statement_timeout = %1").arg(kPostgresStatementMs), error);
    }
    // A committed result must survive a crash of the machine, and readers must not wait for the
    // writer: the write-ahead log, synced at every commit.
    // Switching a new file to it needs the file to itself and SQLite does not wait for that, so
    // a second server opening the same new file at once tries again for the busy timeout.
    QSqlQuery q(db_);
    QElapsedTimer waited;
    waited.start();
    while (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !q.next()) {
        const QString code = q.lastError().nativeErrorCode();
        const bool busy = code == u"5" || code == u"6";  // SQLITE_BUSY, SQLITE_LOCKED
        if (!busy || waited.elapsed() > kSqliteBusyMs) {
            return fail(error, QStringLiteral("cannot use %1 as the players' store: %2")
                                   .arg(location_.path, sqlErrorText(q.lastError())));
        }
        q.finish();
        QThread::msleep(10);
    }
    const QString mode = q.value(0).toString().toLower();
    q.finish();
    if (mode != u"wal" && mode != u"memory") {
        return fail(error, QStringLiteral("%1 cannot keep a write-ahead log (journal mode %2)")
                               .arg(location_.path, mode));
    }
    return exec(QStringLiteral("PRAGMA synchronous=FULL"), error);
}

bool StoreConnection::exec(const QString& sql, QString* error) {
    QSqlQuery q(db_);
    if (q.exec(sql)) return true;
    return fail(error, sqlErrorText(q.lastError()));
}

QSqlQuery* StoreConnection::prepared(const QString& sql, QString* error) {
    auto it = statements_.find(sql);
    if (it == statements_.end()) {
        QSqlQuery q(db_);
        q.setForwardOnly(true);
        if (!q.prepare(sql)) {
            fail(error, sqlErrorText(q.lastError()));
            return nullptr;
        }
        it = statements_.emplace(sql, std::move(q)).first;
    }
    return &it->second;
}

bool StoreConnection::begin(QString* error) {
    if (isPostgres()) {
        if (db_.transaction()) return true;
        return fail(error, sqlErrorText(db_.lastError()));
    }
    return exec(QStringLiteral("BEGIN IMMEDIATE"), error);
}

bool StoreConnection::commit(QString* error) {
    if (isPostgres()) {
        // Qt reads the server's answer, which says ROLLBACK when the transaction had failed.
        if (db_.commit()) return true;
        return fail(error, sqlErrorText(db_.lastError()));
    }
    return exec(QStringLiteral("COMMIT"), error);
}

void StoreConnection::rollback() {
    if (isPostgres()) {
        db_.rollback();
    } else {
        exec(QStringLiteral("ROLLBACK"), nullptr);
    }
}

QString StoreConnection::close() {
    QString problem;
    if (!isPostgres() && db_.isOpen()) {
        statements_.clear();
        QSqlQuery q(db_);
        // Busy readers of another process may keep part of the log: then it is said.
        if (!q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")) || !q.next()) {
            problem = sqlErrorText(q.lastError());
        } else if (q.value(0).toInt() != 0) {
            problem = QStringLiteral("the write-ahead log could not be written back (busy)");
        }
    }
    statements_.clear();
    db_.close();
    if (!isPostgres() && problem.isEmpty()) {
        const QFileInfo wal(location_.path + QStringLiteral("-wal"));
        if (wal.exists() && wal.size() > 0)
            problem = QStringLiteral("%1 is not empty after closing").arg(wal.filePath());
    }
    return problem;
}

bool StoreConnection::reconnectIfLost() {
    if (!isPostgres()) return false;
    {
        QSqlQuery probe(db_);
        if (probe.exec(QStringLiteral("SELECT 1"))) return false;
    }
    statements_.clear();
    db_.close();
    return connect(nullptr);
}

}  // namespace xq::server
