#include "server/stored_accounts.h"

#include "server/store/name_key.h"

namespace xq::server {

AccountBook::Found StoredAccounts::find(const QString& name) {
    const auto stored = store_.storedHash(name);
    if (!stored) return Found{Found::Kind::Failed, {}, {}};
    if (!*stored) return Found{Found::Kind::Missing, {}, {}};
    const PlayerStore::StoredHash& account = **stored;
    if (account.hash.isEmpty()) return Found{Found::Kind::NoPasswordYet, account.name, {}};
    return Found{Found::Kind::Account, account.name, account.hash};
}

AccountBook::Made StoredAccounts::create(const QString& name, const QByteArray& hash, int face,
                                         QString* error) {
    using R = PlayerStore::Registration;
    switch (store_.createAccountWithHash(name, hash, face, error)) {
        case R::Created:
            return Made::Created;
        case R::NameTaken:
            return Made::NameTaken;
        case R::NameConfusable:
            return Made::NameConfusable;
        case R::NameRefused:
            return Made::NameRefused;
        case R::PasswordRefused:
        case R::Failed:
            break;
    }
    return Made::Failed;
}

bool StoredAccounts::setHash(const QString& storedName, const QByteArray& hash, QString* error) {
    return store_.setPasswordHash(storedName, hash, error);
}

QString StoredAccounts::keyOf(const QString& name) {
    // A name ICU cannot key is counted as itself.
    return nameKey(name).value_or(name);
}

}  // namespace xq::server
