// The accounts of the players' store: names with a password hash.

#include <QSqlError>
#include <QSqlQuery>

#include "server/store/name_key.h"
#include "server/store/password_hash.h"
#include "server/store/player_store.h"
#include "server/store/store_connection.h"
#include "server/store/store_failure.h"

namespace xq::server {
namespace {

using Registration = PlayerStore::Registration;

Registration refuse(QString* error, Registration why, const QString& text) {
    if (error) *error = text;
    return why;
}

// A login for a name without a hash still verifies one, so that an unknown name answers no
// sooner than a known one. Made once: hashing costs what verifying does.
const QByteArray& standInHash() {
    static const QByteArray hash =
        hashPassword(QStringLiteral("no account has this password")).value_or(QByteArray());
    return hash;
}

}  // namespace

// Which stored name stops a new one; Created when none does.
std::optional<Registration> PlayerStore::clashOnce(const QString& name, QString* clash) {
    QSqlQuery* q = lookUp(QStringLiteral("id"), name);
    if (!q) {
        if (!lastError_.isEmpty()) return std::nullopt;
        return Registration::Created;
    }
    *clash = q->value(1).toString();
    q->finish();
    return *clash == name ? Registration::NameTaken : Registration::NameConfusable;
}

std::optional<Registration> PlayerStore::createOnce(const QString& name, const QByteArray& hash,
                                                    int face, QString* clash) {
    const std::optional<QString> key = nameKey(name);
    if (!key) {
        lastError_ = QStringLiteral("the name cannot be compared with the stored ones");
        return std::nullopt;
    }
    lastError_.clear();
    // No conflict target: whether another server has just stored the name or a look-alike, the
    // unique indexes let one row in and this one does nothing, and the lookup below says which.
    QSqlQuery* q = connection_->prepared(
        QStringLiteral("INSERT INTO players (name, name_key, face, password_hash)"
                       " VALUES (?, ?, ?, ?) ON CONFLICT DO NOTHING RETURNING id"),
        &lastError_);
    if (!q) return std::nullopt;
    q->addBindValue(name);
    q->addBindValue(*key);
    q->addBindValue(face);
    q->addBindValue(QString::fromLatin1(hash));
    if (!q->exec()) {
        lastError_ = sqlErrorText(q->lastError());
        return std::nullopt;
    }
    const bool made = q->next();
    q->finish();
    if (made) return Registration::Created;
    const auto clashed = clashOnce(name, clash);
    if (clashed && *clashed == Registration::Created) {
        lastError_ = QStringLiteral("the name was taken and given up again at once; try again");
        return std::nullopt;
    }
    return clashed;
}

std::optional<QString> PlayerStore::setHashOnce(const QString& name, const QByteArray& hash) {
    lastError_.clear();
    const std::optional<QString> key = nameKey(name);
    // The row lookUp() would find, in one statement so that it cannot change in between.
    QSqlQuery* q = connection_->prepared(
        QStringLiteral("UPDATE players SET password_hash = ? WHERE id = ("
                       "SELECT id FROM players WHERE name = ? OR name_key = ?"
                       " ORDER BY CASE WHEN name = ? THEN 0 ELSE 1 END LIMIT 1) RETURNING name"),
        &lastError_);
    if (!q) return std::nullopt;
    q->addBindValue(QString::fromLatin1(hash));
    q->addBindValue(name);
    q->addBindValue(key ? QVariant(*key) : QVariant(QMetaType::fromType<QString>()));
    q->addBindValue(name);
    if (!q->exec()) {
        lastError_ = sqlErrorText(q->lastError());
        return std::nullopt;
    }
    const QString changed = q->next() ? q->value(0).toString() : QString();
    q->finish();
    return changed;
}

// The outer nothing: the store failed; the inner one: no such name.
std::optional<std::optional<PlayerStore::StoredHash>> PlayerStore::storedHashOnce(
    const QString& name) {
    QSqlQuery* q = lookUp(QStringLiteral("password_hash"), name);
    if (!q) {
        if (!lastError_.isEmpty()) return std::nullopt;
        return std::optional<StoredHash>();
    }
    StoredHash stored;
    if (!q->value(0).isNull()) stored.hash = q->value(0).toString().toLatin1();
    stored.name = q->value(1).toString();
    q->finish();
    return std::optional<StoredHash>(std::move(stored));
}

PlayerStore::Registration PlayerStore::createAccount(const QString& name, const QString& password,
                                                     int face, QString* error) {
    if (const QString why = newNameProblem(name); !why.isEmpty()) {
        return refuse(error, Registration::NameRefused, why);
    }
    if (const QString why = passwordProblem(password); !why.isEmpty()) {
        return refuse(error, Registration::PasswordRefused, why);
    }
    // Asked before hashing, which is slow on purpose; the insert settles a race for the name.
    QString clash;
    auto result = clashOnce(name, &clash);
    if (!result && connection_->reconnectIfLost()) result = clashOnce(name, &clash);
    if (result && *result == Registration::Created) {
        const auto hash = hashPassword(password);
        if (!hash) {
            return refuse(error, Registration::Failed,
                          QStringLiteral("the password could not be hashed"));
        }
        result = createOnce(name, *hash, face, &clash);
        if (!result && connection_->reconnectIfLost())
            result = createOnce(name, *hash, face, &clash);
    }
    if (!result) return refuse(error, Registration::Failed, lastError_);
    switch (*result) {
        case Registration::NameTaken:
            return refuse(error, *result, QStringLiteral("the name %1 is taken").arg(name));
        case Registration::NameConfusable:
            return refuse(error, *result,
                          QStringLiteral("the name %1 looks the same as %2, who is already here")
                              .arg(name, clash));
        default:
            return *result;
    }
}

PlayerStore::Registration PlayerStore::createAccountWithHash(const QString& name,
                                                             const QByteArray& hash, int face,
                                                             QString* error) {
    if (const QString why = newNameProblem(name); !why.isEmpty()) {
        return refuse(error, Registration::NameRefused, why);
    }
    QString clash;
    auto result = createOnce(name, hash, face, &clash);
    if (!result && connection_->reconnectIfLost()) result = createOnce(name, hash, face, &clash);
    if (!result) return refuse(error, Registration::Failed, lastError_);
    if (*result == Registration::NameTaken || *result == Registration::NameConfusable)
        return refuse(error, *result, clash);
    return *result;
}

bool PlayerStore::setPasswordHash(const QString& name, const QByteArray& hash, QString* error) {
    if (const QString why = nameProblem(name); !why.isEmpty()) return fail(error, why);
    auto changed = setHashOnce(name, hash);
    if (!changed && connection_->reconnectIfLost()) changed = setHashOnce(name, hash);
    if (!changed) return fail(error, lastError_);
    if (changed->isEmpty()) {
        return fail(error, QStringLiteral("there is no player named %1").arg(name));
    }
    return true;
}

std::optional<std::optional<PlayerStore::StoredHash>> PlayerStore::storedHash(const QString& name) {
    lastError_.clear();
    if (!nameProblem(name).isEmpty()) return std::optional<StoredHash>();
    auto stored = storedHashOnce(name);
    if (!stored && connection_->reconnectIfLost()) stored = storedHashOnce(name);
    return stored;
}

bool PlayerStore::setPassword(const QString& name, const QString& password, QString* error,
                              QString* storedName) {
    if (const QString why = nameProblem(name); !why.isEmpty()) return fail(error, why);
    if (const QString why = passwordProblem(password); !why.isEmpty()) return fail(error, why);
    const auto hash = hashPassword(password);
    if (!hash) return fail(error, QStringLiteral("the password could not be hashed"));
    auto changed = setHashOnce(name, *hash);
    if (!changed && connection_->reconnectIfLost()) changed = setHashOnce(name, *hash);
    if (!changed) return fail(error, lastError_);
    if (changed->isEmpty()) {
        return fail(error, QStringLiteral("there is no player named %1").arg(name));
    }
    if (storedName) *storedName = *changed;
    return true;
}

PlayerStore::Login PlayerStore::checkPassword(const QString& name, const QString& password,
                                              QString* storedName) {
    if (!nameProblem(name).isEmpty()) return Login::NoSuchAccount;
    auto stored = storedHashOnce(name);
    if (!stored && connection_->reconnectIfLost()) stored = storedHashOnce(name);
    if (!stored) return Login::Failed;
    if (*stored && storedName) *storedName = (*stored)->name;
    if (!*stored || (*stored)->hash.isEmpty()) {
        (void)passwordMatches(standInHash(), password);
        return *stored ? Login::NoPasswordYet : Login::NoSuchAccount;
    }
    return passwordMatches((*stored)->hash, password) ? Login::Ok : Login::WrongPassword;
}

}  // namespace xq::server
