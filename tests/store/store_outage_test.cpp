// The real server on a PostgreSQL that stops answering (SIGSTOP): the tables play on, a game that
// ends meanwhile is told at once and stored once the database answers again, with the scores shown
// those stored, and a hall login is refused for later instead of hanging.

#include <gtest/gtest.h>

#include <signal.h>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <atomic>

#include "../support/pg_cluster.h"
#include "room_under_fault.h"
#include "scratch_store.h"

namespace xq::test {
namespace {

using server::test::WaitFor;

class StoreOutageTest : public RoomUnderFault {
protected:
    void SetUp() override {
        PgCluster& cluster = sharedPgCluster();
        if (!cluster.running())
            GTEST_SKIP() << "PostgreSQL cannot run here: " << cluster.whyNot().toStdString();
        static std::atomic<int> made{0};
        QString error;
        where_ = cluster.createDatabase(QStringLiteral("outage_%1").arg(++made), &error);
        ASSERT_FALSE(where_.isEmpty()) << error.toStdString();
        makeAccounts(where_);
        ASSERT_FALSE(HasFatalFailure());
        startServer(where_);
    }
    void TearDown() override {
        if (stopped_) sharedPgCluster().signalServer(SIGCONT);
        if (HasFailure() && server_) server_->dumpLog();
    }
    void stop(bool on) {
        ASSERT_TRUE(sharedPgCluster().signalServer(on ? SIGSTOP : SIGCONT));
        stopped_ = on;
    }

    QString where_;
    bool stopped_ = false;
};

TEST_F(StoreOutageTest, TablesPlayOnAndTheResultIsStoredWhenTheDatabaseAnswersAgain) {
    sitDownAndPlay();
    ASSERT_FALSE(HasFatalFailure());
    RawClient& a = *tables_[0];
    RawClient& b = *tables_[1];

    stop(true);
    // Table 1 ends: told at once, with the score change.
    QElapsedTimer told;
    told.start();
    b.send(Bytes({22, 0, 1}));
    ASSERT_FALSE(a.waitForPrefix(Bytes({25}), 3000).isEmpty()) << "the end is told";
    EXPECT_LT(told.elapsed(), 1000);
    tableTwoPlaysOn();
    // The hall is told once that games are not rated for now.
    const QByteArray away = hall::notice(QStringLiteral("数据库暂时不可用，对局暂不计分"));
    EXPECT_EQ(halls_[3]->waitForPrefix(away, 8000), away);
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
    for (std::size_t i : {0, 1})
        EXPECT_TRUE(WaitFor([&] { return shownScore(i, i == 0 ? stored0 : stored1); }, 10000)) << i;
    const QByteArray back = hall::notice(QStringLiteral("数据库已恢复，对局重新计分"));
    EXPECT_EQ(halls_[3]->waitForPrefix(back, 8000), back);
    // And an account logs in again.
    auto again = hallIn(names_[0]);
    ASSERT_TRUE(again);
}

TEST_F(StoreOutageTest, AStopWhileTheDatabaseHangsKeepsTheGamesAsideForTheNextStart) {
    sitDownAndPlay();
    ASSERT_FALSE(HasFatalFailure());
    stop(true);
    tables_[1]->send(Bytes({22, 0, 1}));
    ASSERT_FALSE(tables_[0]->waitForPrefix(Bytes({25}), 3000).isEmpty());
    tableTwoPlaysOn();
    // The database holds the store's thread: the server leaves it, and still keeps everything.
    QElapsedTimer stopping;
    stopping.start();
    ASSERT_TRUE(server_->stop()) << server_->log().constData();
    EXPECT_LT(stopping.elapsed(), 12000);
    EXPECT_TRUE(server_->log().contains("leaving without closing it")) << server_->log().data();
    EXPECT_TRUE(server_->log().contains("1 running games written to")) << server_->log().data();
    stop(false);
    startServer(where_);
    ASSERT_FALSE(HasFatalFailure());
    RawDatabase raw(where_);
    ASSERT_TRUE(WaitFor(
        [&] { return raw.value(QStringLiteral("SELECT COUNT(*) FROM games")).toInt() == 1; },
        10000))
        << server_->log().constData();
    halls_.clear();
    tableTwoComesBack();
}

}  // namespace
}  // namespace xq::test
