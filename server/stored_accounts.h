#pragma once

#include "server/account_book.h"
#include "server/store_thread.h"

namespace xq::server {

// The room's accounts as the players' store keeps them, asked through the store's thread. An
// answer that does not come within the deadline counts as a failed store, so that a login is
// refused ("try later") instead of hanging on a database that does not answer.
class StoredAccounts : public AccountBook {
public:
    static constexpr int kDeadlineMs = 5000;

    explicit StoredAccounts(StoreThread& store, int deadlineMs = kDeadlineMs)
        : store_(store), deadlineMs_(deadlineMs) {}

    void find(const QString& name, std::function<void(Found)> then) override;
    void create(const QString& name, const QByteArray& hash, int face,
                std::function<void(Creation)> then) override;
    void setHash(const QString& storedName, const QByteArray& hash,
                 std::function<void(QString)> then) override;
    QString keyOf(const QString& name) override;

private:
    StoreThread& store_;
    int deadlineMs_;
};

}  // namespace xq::server
