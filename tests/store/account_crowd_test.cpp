// The real server with accounts: a crowd of account logins at once, more than the share of
// connections not logged in yet. Each waits for its password check, which is paced; none is
// closed to make room for a newer one, as a silent socket would be.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <memory>
#include <vector>

#include "../server/raw_client.h"
#include "../support/bytes.h"
#include "../support/server_process.h"
#include "net/hall_messages.h"
#include "server/store/player_store.h"

namespace xq::test {
namespace {

using server::test::RawClient;

TEST(AccountCrowdTest, AccountsLoggingInAtOnceAllGetInWhileTheirPasswordsAreChecked) {
    constexpr int kCrowd = 30;  // fewer than the checks that may wait at once
    QTemporaryDir dir;
    const QString where = dir.filePath(QStringLiteral("players.db"));
    const QString password = QStringLiteral("crowd pass");
    {
        QString error;
        auto store = server::PlayerStore::open(where, &error);
        ASSERT_TRUE(store) << error.toStdString();
        for (int i = 0; i < kCrowd; ++i) {
            ASSERT_EQ(store->createAccount(QStringLiteral("棋友%1").arg(i), password, 1, &error),
                      server::PlayerStore::Registration::Created)
                << error.toStdString();
        }
    }
    // A quarter of 48: 12 connections may be not logged in yet at a time.
    ServerProcess server(
        {QStringLiteral("--db"), where, QStringLiteral("--max-connections"), QStringLiteral("48")});
    ASSERT_NE(server.port(), 0) << server.log().constData();
    std::vector<std::unique_ptr<RawClient>> crowd;
    for (int i = 0; i < kCrowd; ++i) {
        crowd.push_back(std::make_unique<RawClient>(server.port()));
        crowd.back()->send(hall::accountHello(QStringLiteral("棋友%1").arg(i), password, false));
        // A moment for the server to read the hello; the password checks take longer.
        server::test::WaitFor([] { return false; }, 15);
    }
    // Each is either in (his own row came) or was closed.
    const auto count = [&](bool wantIn) {
        int n = 0;
        for (auto& c : crowd) {
            if (c->connected()) c->take();
            const bool in =
                std::any_of(c->received.begin(), c->received.end(), [](const QByteArray& m) {
                    return m.startsWith(Bytes({200, 0}));
                });
            n += (wantIn ? in : !in && !c->connected()) ? 1 : 0;
        }
        return n;
    };
    server::test::WaitFor([&] { return count(true) + count(false) == kCrowd; }, 20000);
    EXPECT_EQ(count(true), kCrowd) << count(false) << " closed\n" << server.log().constData();
    EXPECT_FALSE(server.log().contains("needs its place"));
}

}  // namespace
}  // namespace xq::test
