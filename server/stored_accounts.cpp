#include "server/stored_accounts.h"

#include "server/database_stats.h"
#include "server/store/name_key.h"

namespace xq::server {
namespace {

const QString kLate = QStringLiteral("the players' store did not answer in time");

}  // namespace

void StoredAccounts::find(const QString& name, std::function<void(Found)> then) {
    store_.run<Found>(
        [name](PlayerStore& store) {
            const auto stored = store.storedHash(name);
            if (!stored) return Found{Found::Kind::Failed, {}, {}, {}};
            if (!*stored) return Found{Found::Kind::Missing, {}, {}, {}};
            const PlayerStore::StoredHash& account = **stored;
            Found found{account.hash.isEmpty() ? Found::Kind::NoPasswordYet : Found::Kind::Account,
                        account.name,
                        account.hash,
                        {}};
            // His figures come with him, so that his first rows in the hall are the stored ones.
            if (const auto player = store.find(account.name)) found.stats = statsOf(*player);
            return found;
        },
        std::move(then), deadlineMs_, Found{Found::Kind::Failed, {}, {}, {}});
}

void StoredAccounts::create(const QString& name, const QByteArray& hash, int face,
                            std::function<void(Creation)> then) {
    store_.run<Creation>(
        [name, hash, face](PlayerStore& store) {
            using R = PlayerStore::Registration;
            Creation c;
            switch (store.createAccountWithHash(name, hash, face, &c.error)) {
                case R::Created:
                    c.made = Made::Created;
                    if (const auto player = store.find(name)) c.stats = statsOf(*player);
                    break;
                case R::NameTaken:
                    c.made = Made::NameTaken;
                    break;
                case R::NameConfusable:
                    c.made = Made::NameConfusable;
                    break;
                case R::NameRefused:
                    c.made = Made::NameRefused;
                    break;
                case R::PasswordRefused:
                case R::Failed:
                    c.made = Made::Failed;
                    break;
            }
            return c;
        },
        std::move(then), deadlineMs_, Creation{Made::Failed, kLate, {}});
}

void StoredAccounts::setHash(const QString& storedName, const QByteArray& hash,
                             std::function<void(QString)> then) {
    store_.run<QString>(
        [storedName, hash](PlayerStore& store) {
            QString error;
            if (store.setPasswordHash(storedName, hash, &error)) return QString();
            return error.isEmpty() ? QStringLiteral("the store failed") : error;
        },
        std::move(then), deadlineMs_, kLate);
}

QString StoredAccounts::keyOf(const QString& name) {
    // A name ICU cannot key is counted as itself.
    return nameKey(name).value_or(name);
}

}  // namespace xq::server
