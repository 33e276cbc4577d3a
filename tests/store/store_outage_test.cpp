// The real server on a PostgreSQL that stops answering (SIGSTOP): the tables play on, a game that
// ends meanwhile is told at once and stored once the database answers again, with the scores shown
// those stored, and a hall login is refused for later instead of hanging.

#include <gtest/gtest.h>

#include <signal.h>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <atomic>

#include "../server/raw_client.h"
#include "../support/bytes.h"
#include "../support/pg_cluster.h"
#include "../support/server_process.h"
#include "net/hall_messages.h"
#include "scratch_store.h"

namespace xq::test {
namespace {

using server::test::RawClient;
using server::test::WaitFor;

const QString kPassword = QStringLiteral("secret pw");
const QString kTerms = QStringLiteral("`100`1000`10`5`50`0`0`30`0`0`30");

std::optional<hall::PlayerRow> OwnRowIn(const QByteArray& message) {
    const auto parsed = hall::parseServerMessage(message);
    if (!parsed || !std::holds_alternative<hall::in::OwnRow>(*parsed)) return std::nullopt;
    return std::get<hall::in::OwnRow>(*parsed).row;
}

class StoreOutageTest : public ::testing::Test {
protected:
    void SetUp() override {
        PgCluster& cluster = sharedPgCluster();
        if (!cluster.running())
            GTEST_SKIP() << "PostgreSQL cannot run here: " << cluster.whyNot().toStdString();
        static std::atomic<int> made{0};
        QString error;
        where_ = cluster.createDatabase(QStringLiteral("outage_%1").arg(++made), &error);
        ASSERT_FALSE(where_.isEmpty()) << error.toStdString();
        auto store = server::PlayerStore::open(where_, &error);
        ASSERT_TRUE(store) << error.toStdString();
        for (const QString& name : names_) {
            ASSERT_EQ(store->createAccount(name, kPassword, 1, &error),
                      server::PlayerStore::Registration::Created)
                << error.toStdString();
        }
        server_ = std::make_unique<ServerProcess>(
            QStringList{QStringLiteral("--db"), where_, QStringLiteral("--tables"),
                        QStringLiteral("2"), QStringLiteral("--spill-dir"), spill_.path()});
        ASSERT_NE(server_->port(), 0) << server_->log().toStdString();
    }
    void TearDown() override {
        if (stopped_) sharedPgCluster().signalServer(SIGCONT);
        if (HasFailure() && server_) server_->dumpLog();
    }
    void stop(bool on) {
        ASSERT_TRUE(sharedPgCluster().signalServer(on ? SIGSTOP : SIGCONT));
        stopped_ = on;
    }

    std::unique_ptr<RawClient> hallIn(const QString& name) {
        auto c = std::make_unique<RawClient>(server_->port());
        c->send(hall::accountHello(name, kPassword, false));
        EXPECT_TRUE(OwnRowIn(c->waitForPrefix(Bytes({200, 0}), 10000))) << name.toStdString();
        return c;
    }
    std::unique_ptr<RawClient> seated(RawClient& hallUser, const QString& name, int table,
                                      int seat) {
        hallUser.send(hall::reserveSeat(table, seat));
        const auto parsed = hall::parseServerMessage(hallUser.waitForPrefix(Bytes({204, 0})));
        const QString ticket = parsed ? std::get<hall::in::Reservation>(*parsed).ticket : QString();
        auto c = std::make_unique<RawClient>(server_->port());
        c->logIn(name, ticket);
        EXPECT_FALSE(c->waitForPrefix(Bytes({130, 3})).isEmpty()) << name.toStdString();
        return c;
    }
    void startGame(RawClient& a, const QString& nameA, RawClient& b, const QString& nameB) {
        a.send(Text({112, 1}, nameA));
        ASSERT_FALSE(a.waitForPrefix(Text({111, 0}, QStringLiteral("1`0`0`1`0`1`0`"))).isEmpty());
        a.send(Text({112, 0}, nameA + kTerms));
        ASSERT_FALSE(b.waitForPrefix(Text({112, 1}, nameA + QStringLiteral("`100"))).isEmpty());
        b.send(Text({112, 1}, nameB));
        ASSERT_FALSE(a.waitForPrefix(Bytes({17})).isEmpty());
        ASSERT_FALSE(b.waitForPrefix(Bytes({17})).isEmpty());
    }
    // Milliseconds until both players saw the move; -1 when they did not within 5 s.
    qint64 move(RawClient& mover, RawClient& other, const std::array<int, 5>& m) {
        QElapsedTimer t;
        t.start();
        mover.send(Bytes({19, 0, m[0], m[1], m[2], m[3], m[4], 0, 0, 0}));
        const QByteArray echo = Bytes({19, 0, m[0], m[1], m[2], m[3], m[4]});
        if (mover.waitForPrefix(echo).isEmpty() || other.waitForPrefix(echo).isEmpty()) return -1;
        return t.elapsed();
    }

    const QStringList names_ = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"),
                                QStringLiteral("丁")};
    QString where_;
    QTemporaryDir spill_;
    std::unique_ptr<ServerProcess> server_;
    bool stopped_ = false;
};

TEST_F(StoreOutageTest, TablesPlayOnAndTheResultIsStoredWhenTheDatabaseAnswersAgain) {
    std::vector<std::unique_ptr<RawClient>> halls;
    for (const QString& name : names_)
        halls.push_back(hallIn(name));
    ASSERT_FALSE(HasFailure());
    auto a = seated(*halls[0], names_[0], 1, 0);
    auto b = seated(*halls[1], names_[1], 1, 1);
    auto c = seated(*halls[2], names_[2], 2, 0);
    auto d = seated(*halls[3], names_[3], 2, 1);
    startGame(*a, names_[0], *b, names_[1]);
    startGame(*c, names_[2], *d, names_[3]);
    ASSERT_FALSE(HasFailure());
    ASSERT_GE(move(*c, *d, {0, 0x77, 19, 0x76, 0}), 0);
    // Table 1 plays two moves each (horses out and back), so that its game counts.
    for (const auto& m : {std::array<int, 5>{0, 0x91, 18, 0x72, 0},
                          {1, 0x01, 2, 0x22, 0},
                          {0, 0x72, 18, 0x91, 0},
                          {1, 0x22, 2, 0x01, 0}})
        ASSERT_GE(move(m[0] == 0 ? *a : *b, m[0] == 0 ? *b : *a, m), 0);

    stop(true);
    // Table 1 ends: told at once, with the score change.
    QElapsedTimer told;
    told.start();
    b->send(Bytes({22, 0, 1}));
    ASSERT_FALSE(a->waitForPrefix(Bytes({25}), 3000).isEmpty()) << "the end is told";
    EXPECT_LT(told.elapsed(), 1000);
    // Table 2 plays on, the moves echoed at once.
    for (const auto& [mover, m] : {std::pair{d.get(), std::array<int, 5>{1, 0x21, 3, 0x26, 0}},
                                   std::pair{c.get(), std::array<int, 5>{0, 0x76, 19, 0x36, 7}}}) {
        RawClient& other = mover == c.get() ? *d : *c;
        const qint64 ms = move(*mover, other, m);
        EXPECT_GE(ms, 0);
        EXPECT_LT(ms, 1000);
    }
    // The hall is told once that games are not rated for now.
    const QByteArray away = hall::notice(QStringLiteral("数据库暂时不可用，对局暂不计分"));
    EXPECT_EQ(halls[3]->waitForPrefix(away, 8000), away);
    // A login of an account is refused for later, not left hanging.
    RawClient late(server_->port());
    QElapsedTimer asked;
    asked.start();
    late.send(hall::accountHello(names_[0], kPassword, false));
    EXPECT_EQ(late.waitForPrefix(Bytes({24}), 12000),
              Text({24}, QStringLiteral("服务器暂时无法登录，请稍后再试")));
    EXPECT_LT(asked.elapsed(), 10000);
    stop(false);
    RawDatabase raw(where_);

    ASSERT_TRUE(WaitFor(
        [&] { return raw.value(QStringLiteral("SELECT COUNT(*) FROM games")).toInt() == 1; },
        20000))
        << "the result is stored after all";
    const int stored0 =
        raw.value(QStringLiteral("SELECT score FROM players WHERE name = '甲'")).toInt();
    const int stored1 =
        raw.value(QStringLiteral("SELECT score FROM players WHERE name = '乙'")).toInt();
    EXPECT_EQ(stored0, 1100);
    EXPECT_EQ(stored1, 900);
    // The hall shows the stored scores, and is told the store is back.
    for (int i : {0, 1}) {
        const int want = i == 0 ? stored0 : stored1;
        EXPECT_TRUE(WaitFor(
            [&] {
                halls[static_cast<std::size_t>(i)]->take();
                for (const QByteArray& m : halls[static_cast<std::size_t>(i)]->received) {
                    const auto row = OwnRowIn(m);
                    if (row && row->score == want) return true;
                }
                return false;
            },
            10000))
            << i;
    }
    const QByteArray back = hall::notice(QStringLiteral("数据库已恢复，对局重新计分"));
    EXPECT_EQ(halls[3]->waitForPrefix(back, 8000), back);
    // And an account logs in again.
    auto again = hallIn(names_[0]);
    ASSERT_TRUE(again);
}

}  // namespace
}  // namespace xq::test
