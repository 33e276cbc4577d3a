#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <map>
#include <memory>

#include "server/store/store_location.h"

namespace xq::server {

// One database connection of its own, under a name no other connection uses, with the statements
// prepared on it. Used from the thread that opened it.
class StoreConnection {
public:
    // Opens the location with its durability settings; nothing, with a reason, when it cannot.
    static std::unique_ptr<StoreConnection> open(const StoreLocation& location, QString* error);
    ~StoreConnection();
    StoreConnection(const StoreConnection&) = delete;
    StoreConnection& operator=(const StoreConnection&) = delete;

    bool isPostgres() const { return location_.kind == StoreLocation::Kind::Postgres; }
    QSqlDatabase& database() { return db_; }

    // A statement prepared once for the connection's life: on PostgreSQL a prepared statement
    // costs a round trip to make and another to drop. Null, with a reason, when it cannot be made.
    QSqlQuery* prepared(const QString& sql, QString* error);

    // A write transaction. On SQLite the write lock is taken at the start, so that a second
    // process waits on the busy timeout rather than failing half-way through.
    bool begin(QString* error);
    bool commit(QString* error);
    void rollback();

    // After a failed statement: true when the connection had been lost and is open again (its
    // prepared statements are made anew on their next use).
    bool reconnectIfLost();

    // Closes the connection; an SQLite file's write-ahead log is first written back into the
    // file and emptied. Empty, or what went wrong.
    QString close();

private:
    explicit StoreConnection(const StoreLocation& location);
    bool connect(QString* error);
    bool exec(const QString& sql, QString* error);

    StoreLocation location_;
    QString name_;
    QSqlDatabase db_;
    std::map<QString, QSqlQuery> statements_;
};

// The database's own words for a failed step.
QString sqlErrorText(const QSqlError& error);

}  // namespace xq::server
