// The accounts of the players' store: names with a password hash.

#include <QSqlError>
#include <QSqlQuery>

#include "server/store/password_hash.h"
#include "server/store/player_store.h"
#include "server/store/store_connection.h"

namespace xq::server {
namespace {

bool fail(QString* error, const QString& why) {
    if (error) *error = why;
    return false;
}

}  // namespace

// Each returns true or false for what the database said, nothing when it failed (lastError_).
std::optional<bool> PlayerStore::createOnce(const QString& name, const QByteArray& hash, int face) {
    lastError_.clear();
    QSqlQuery* q = connection_->prepared(
        QStringLiteral("INSERT INTO players (name, face, password_hash) VALUES (?, ?, ?)"
                       " ON CONFLICT (name) DO NOTHING RETURNING id"),
        &lastError_);
    if (!q) return std::nullopt;
    q->addBindValue(name);
    q->addBindValue(face);
    q->addBindValue(QString::fromLatin1(hash));
    if (!q->exec()) {
        lastError_ = sqlErrorText(q->lastError());
        return std::nullopt;
    }
    const bool made = q->next();
    q->finish();
    return made;
}

std::optional<bool> PlayerStore::setHashOnce(const QString& name, const QByteArray& hash) {
    lastError_.clear();
    QSqlQuery* q = connection_->prepared(
        QStringLiteral("UPDATE players SET password_hash = ? WHERE name = ?"), &lastError_);
    if (!q) return std::nullopt;
    q->addBindValue(QString::fromLatin1(hash));
    q->addBindValue(name);
    if (!q->exec()) {
        lastError_ = sqlErrorText(q->lastError());
        return std::nullopt;
    }
    const bool changed = q->numRowsAffected() == 1;
    q->finish();
    return changed;
}

// The outer nothing: the store failed; the inner one: no such name. An empty hash is a player
// from before accounts.
std::optional<std::optional<QByteArray>> PlayerStore::storedHashOnce(const QString& name) {
    lastError_.clear();
    QSqlQuery* q = connection_->prepared(
        QStringLiteral("SELECT password_hash FROM players WHERE name = ?"), &lastError_);
    if (!q) return std::nullopt;
    q->addBindValue(name);
    if (!q->exec()) {
        lastError_ = sqlErrorText(q->lastError());
        return std::nullopt;
    }
    std::optional<QByteArray> hash;
    if (q->next()) hash = q->value(0).isNull() ? QByteArray() : q->value(0).toString().toLatin1();
    q->finish();
    return hash;
}

bool PlayerStore::createAccount(const QString& name, const QString& password, int face,
                                QString* error) {
    if (const QString why = nameProblem(name); !why.isEmpty()) return fail(error, why);
    if (const QString why = passwordProblem(password); !why.isEmpty()) return fail(error, why);
    const auto hash = hashPassword(password);
    if (!hash) return fail(error, QStringLiteral("the password could not be hashed"));
    auto made = createOnce(name, *hash, face);
    if (!made && connection_->reconnectIfLost()) made = createOnce(name, *hash, face);
    if (!made) return fail(error, lastError_);
    if (!*made) return fail(error, QStringLiteral("the name %1 is taken").arg(name));
    return true;
}

bool PlayerStore::setPassword(const QString& name, const QString& password, QString* error) {
    if (const QString why = nameProblem(name); !why.isEmpty()) return fail(error, why);
    if (const QString why = passwordProblem(password); !why.isEmpty()) return fail(error, why);
    const auto hash = hashPassword(password);
    if (!hash) return fail(error, QStringLiteral("the password could not be hashed"));
    auto changed = setHashOnce(name, *hash);
    if (!changed && connection_->reconnectIfLost()) changed = setHashOnce(name, *hash);
    if (!changed) return fail(error, lastError_);
    if (!*changed) return fail(error, QStringLiteral("there is no player named %1").arg(name));
    return true;
}

PlayerStore::Login PlayerStore::checkPassword(const QString& name, const QString& password) {
    if (!nameProblem(name).isEmpty()) return Login::NoSuchAccount;
    auto stored = storedHashOnce(name);
    if (!stored && connection_->reconnectIfLost()) stored = storedHashOnce(name);
    if (!stored) return Login::Failed;
    if (!*stored) return Login::NoSuchAccount;
    if ((*stored)->isEmpty()) return Login::NoPasswordYet;
    return passwordMatches(**stored, password) ? Login::Ok : Login::WrongPassword;
}

}  // namespace xq::server
