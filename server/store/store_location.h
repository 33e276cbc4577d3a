#pragma once

#include <QMap>
#include <QString>
#include <optional>

class QSqlDatabase;

namespace xq::server {

// How long a write to an SQLite file waits for another process's write before it fails.
constexpr int kSqliteBusyMs = 15000;
// How long PostgreSQL may work on one statement before it fails.
constexpr int kPostgresStatementMs = 5000;

// Where the players and the archive live: an SQLite file, or a PostgreSQL database given as a
// "postgresql://" URI or as libpq "keyword=value" pairs.
struct StoreLocation {
    enum class Kind { Sqlite, Postgres };
    Kind kind = Kind::Sqlite;
    QString path;                   // SQLite: the database file
    QMap<QString, QString> params;  // PostgreSQL: libpq keywords and their values, decoded
};

// A "postgresql://" or "postgres://" URI, or text that starts with a libpq keyword and '=', is a
// PostgreSQL connection; anything else is a file path ("./host=x" names a file). Nothing, with a
// reason in *error, for an empty string or a PostgreSQL string that cannot be read.
std::optional<StoreLocation> parseStoreLocation(const QString& where, QString* error);

// Adds a connection for the location under the given name (not opened yet). Nothing, with a reason,
// when the driver is missing or a value cannot be passed on.
std::optional<QSqlDatabase> addStoreDatabase(const StoreLocation& location,
                                             const QString& connectionName, QString* error);

}  // namespace xq::server
