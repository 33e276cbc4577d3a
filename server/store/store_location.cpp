#include "server/store/store_location.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QStringList>

#include "server/store/store_failure.h"

namespace xq::server {
namespace {

bool isLibpqKeyword(const QString& key) {
    static const QStringList keywords = {
        QStringLiteral("host"),
        QStringLiteral("hostaddr"),
        QStringLiteral("port"),
        QStringLiteral("dbname"),
        QStringLiteral("user"),
        QStringLiteral("password"),
        QStringLiteral("passfile"),
        QStringLiteral("channel_binding"),
        QStringLiteral("connect_timeout"),
        QStringLiteral("client_encoding"),
        QStringLiteral("options"),
        QStringLiteral("application_name"),
        QStringLiteral("fallback_application_name"),
        QStringLiteral("keepalives"),
        QStringLiteral("keepalives_idle"),
        QStringLiteral("keepalives_interval"),
        QStringLiteral("keepalives_count"),
        QStringLiteral("tcp_user_timeout"),
        QStringLiteral("gssencmode"),
        QStringLiteral("sslmode"),
        QStringLiteral("requiressl"),
        QStringLiteral("sslcompression"),
        QStringLiteral("sslcert"),
        QStringLiteral("sslkey"),
        QStringLiteral("sslpassword"),
        QStringLiteral("sslrootcert"),
        QStringLiteral("sslcrl"),
        QStringLiteral("sslcrldir"),
        QStringLiteral("sslsni"),
        QStringLiteral("requirepeer"),
        QStringLiteral("ssl_min_protocol_version"),
        QStringLiteral("ssl_max_protocol_version"),
        QStringLiteral("krbsrvname"),
        QStringLiteral("gsslib"),
        QStringLiteral("service"),
        QStringLiteral("target_session_attrs"),
        QStringLiteral("load_balance_hosts"),
    };
    return keywords.contains(key);
}

// Whether the text begins as a libpq keyword string does: a known keyword, then '='.
bool looksLikeKeywords(const QString& text) {
    static const QRegularExpression start(QStringLiteral("^\\s*(\\w+)\\s*="));
    const auto m = start.match(text);
    return m.hasMatch() && isLibpqKeyword(m.captured(1));
}

// libpq's "key = value" pairs: values plain (a backslash takes the next character as it is) or
// single-quoted (with \' and \\).
std::optional<QMap<QString, QString>> readKeywords(const QString& text, QString* error) {
    QMap<QString, QString> params;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipSpace = [&] {
        while (i < n && text[i].isSpace()) {
            ++i;
        }
    };
    auto refuse = [&](const QString& why) {
        fail(error, QStringLiteral("cannot read the PostgreSQL connection string: %1").arg(why));
        return std::nullopt;
    };
    skipSpace();
    while (i < n) {
        const qsizetype keyStart = i;
        while (i < n && text[i] != u'=' && !text[i].isSpace()) {
            ++i;
        }
        const QString key = text.mid(keyStart, i - keyStart);
        skipSpace();
        if (i == n || text[i] != u'=') return refuse(QStringLiteral("%1 has no value").arg(key));
        if (!isLibpqKeyword(key)) return refuse(QStringLiteral("unknown setting %1").arg(key));
        ++i;
        skipSpace();
        QString value;
        if (i < n && text[i] == u'\'') {
            ++i;
            bool closed = false;
            while (i < n && !closed) {
                if (text[i] == u'\\' && i + 1 < n) {
                    value += text[i + 1];
                    i += 2;
                } else if (text[i] == u'\'') {
                    ++i;
                    closed = true;
                } else {
                    value += text[i++];
                }
            }
            if (!closed) return refuse(QStringLiteral("the quote of %1 is not closed").arg(key));
        } else {
            while (i < n && !text[i].isSpace()) {
                if (text[i] == u'\\' && i + 1 < n) ++i;
                value += text[i++];
            }
        }
        params.insert(key, value);
        skipSpace();
    }
    return params;
}

bool isPortNumber(QStringView text) {
    bool ok = false;
    const int port = text.toInt(&ok);
    return ok && port > 0 && port < 65536;
}

QString percentDecoded(QStringView part) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(part.toUtf8()));
}

// postgresql://[user[:password]@][host[:port][,...]][/dbname][?keyword=value&...]
std::optional<QMap<QString, QString>> readUri(const QString& uri, QString* error) {
    QStringView rest(uri);
    rest = rest.mid(rest.indexOf(u"://") + 3);
    QMap<QString, QString> params;
    QStringView query;
    if (const qsizetype q = rest.indexOf(u'?'); q >= 0) {
        query = rest.mid(q + 1);
        rest = rest.first(q);
    }
    QStringView authority = rest;
    if (const qsizetype slash = rest.indexOf(u'/'); slash >= 0) {
        authority = rest.first(slash);
        const QString db = percentDecoded(rest.mid(slash + 1));
        if (!db.isEmpty()) params.insert(QStringLiteral("dbname"), db);
    }
    if (const qsizetype at = authority.lastIndexOf(u'@'); at >= 0) {
        const QStringView userInfo = authority.first(at);
        authority = authority.mid(at + 1);
        const qsizetype colon = userInfo.indexOf(u':');
        const QString user = percentDecoded(colon >= 0 ? userInfo.first(colon) : userInfo);
        if (!user.isEmpty()) params.insert(QStringLiteral("user"), user);
        if (colon >= 0)
            params.insert(QStringLiteral("password"), percentDecoded(userInfo.mid(colon + 1)));
    }
    // Each host may carry its port; several hosts are tried in turn by libpq.
    QStringList hosts, ports;
    bool anyPort = false;
    for (QStringView item : authority.split(u',')) {
        QStringView host = item, port;
        if (item.startsWith(u'[')) {
            const qsizetype close = item.indexOf(u']');
            if (close < 0) {
                if (error) *error = QStringLiteral("an IPv6 address in the URI lacks its ']'");
                return std::nullopt;
            }
            host = item.mid(1, close - 1);
            if (item.mid(close + 1).startsWith(u':')) port = item.mid(close + 2);
        } else if (const qsizetype colon = item.lastIndexOf(u':'); colon >= 0) {
            host = item.first(colon);
            port = item.mid(colon + 1);
        }
        if (!port.isEmpty() && !isPortNumber(port)) {
            if (error)
                *error = QStringLiteral("port \"%1\" in the URI is not a port number").arg(port);
            return std::nullopt;
        }
        hosts << percentDecoded(host);
        ports << port.toString();
        anyPort = anyPort || !port.isEmpty();
    }
    if (hosts.size() > 1 || !hosts.constFirst().isEmpty()) {
        params.insert(QStringLiteral("host"), hosts.join(u','));
    }
    if (anyPort) params.insert(QStringLiteral("port"), ports.join(u','));
    if (!query.isEmpty()) {
        for (QStringView pair : query.split(u'&', Qt::SkipEmptyParts)) {
            const qsizetype eq = pair.indexOf(u'=');
            const QString key = percentDecoded(eq >= 0 ? pair.first(eq) : pair);
            if (eq < 0 || !isLibpqKeyword(key)) {
                if (error)
                    *error =
                        QStringLiteral("\"%1\" in the URI is not a connection setting").arg(key);
                return std::nullopt;
            }
            params.insert(key, percentDecoded(pair.mid(eq + 1)));
        }
    }
    return params;
}

// Qt passes the options on to libpq with ';' turned into blanks, so each value is quoted here.
std::optional<QString> connectOptions(const QMap<QString, QString>& params, QString* error) {
    static const QStringList ownSetters = {QStringLiteral("host"), QStringLiteral("dbname"),
                                           QStringLiteral("user"), QStringLiteral("password")};
    QStringList options;
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        if (ownSetters.contains(it.key())) continue;
        if (it.key() == u"port" && isPortNumber(it.value())) continue;
        if (it.value().contains(u';')) {
            if (error) *error = QStringLiteral("the value of %1 cannot contain ';'").arg(it.key());
            return std::nullopt;
        }
        QString value = it.value();
        value.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
        options << QStringLiteral("%1='%2'").arg(it.key(), value);
    }
    // A server that does not answer must not hold the room's start, or a reconnection, for
    // ever; a connection whose peer is gone (a lost host, a cut network) is found out by the
    // system's keep-alives within half a minute instead of hours.
    const std::pair<const char*, const char*> defaults[] = {
        {"connect_timeout", "5"},     {"keepalives", "1"},       {"keepalives_idle", "10"},
        {"keepalives_interval", "5"}, {"keepalives_count", "3"},
    };
    for (const auto& [key, value] : defaults) {
        if (!params.contains(QString::fromLatin1(key)))
            options << QStringLiteral("%1=%2").arg(QString::fromLatin1(key),
                                                   QString::fromLatin1(value));
    }
    return options.join(u';');
}

}  // namespace

std::optional<StoreLocation> parseStoreLocation(const QString& where, QString* error) {
    if (where.trimmed().isEmpty()) {
        fail(error, QStringLiteral("no place for the players' store was given"));
        return std::nullopt;
    }
    StoreLocation location;
    if (where.startsWith(u"postgresql://") || where.startsWith(u"postgres://")) {
        auto params = readUri(where, error);
        if (!params) return std::nullopt;
        location.kind = StoreLocation::Kind::Postgres;
        location.params = *params;
    } else if (looksLikeKeywords(where)) {
        auto params = readKeywords(where, error);
        if (!params) return std::nullopt;
        location.kind = StoreLocation::Kind::Postgres;
        location.params = *params;
    } else {
        location.path = where;
    }
    return location;
}

std::optional<QSqlDatabase> addStoreDatabase(const StoreLocation& location,
                                             const QString& connectionName, QString* error) {
    const bool postgres = location.kind == StoreLocation::Kind::Postgres;
    const QString driver = postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        fail(error, QStringLiteral("the Qt SQL driver %1 is not installed").arg(driver));
        return std::nullopt;
    }
    if (!postgres) {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, connectionName);
        db.setDatabaseName(location.path);
        // Two processes on one file wait for each other's writes instead of failing at once.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kSqliteBusyMs));
        return db;
    }
    const auto options = connectOptions(location.params, error);
    if (!options) return std::nullopt;
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, connectionName);
    const auto& p = location.params;
    db.setHostName(p.value(QStringLiteral("host")));
    db.setDatabaseName(p.value(QStringLiteral("dbname")));
    db.setUserName(p.value(QStringLiteral("user")));
    db.setPassword(p.value(QStringLiteral("password")));
    if (const QString port = p.value(QStringLiteral("port")); isPortNumber(port)) {
        db.setPort(port.toInt());
    }
    db.setConnectOptions(*options);
    return db;
}

}  // namespace xq::server
