#pragma once

#include "server/account_book.h"
#include "server/store/player_store.h"

namespace xq::server {

// The room's accounts as the players' store keeps them.
class StoredAccounts : public AccountBook {
public:
    explicit StoredAccounts(PlayerStore& store) : store_(store) {}

    Found find(const QString& name) override;
    Made create(const QString& name, const QByteArray& hash, int face, QString* error) override;
    bool setHash(const QString& storedName, const QByteArray& hash, QString* error) override;
    QString keyOf(const QString& name) override;

private:
    PlayerStore& store_;
};

}  // namespace xq::server
