// The real server with its SQLite file on a disk that fills up: a game that ends meanwhile is told
// at once, its result waits and is stored when there is room again (or at the next start when the
// server is stopped meanwhile), and no score is shown that the file does not hold.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>

#include "full_disk.h"
#include "room_under_fault.h"
#include "scratch_store.h"

namespace xq::test {
namespace {

using server::test::WaitFor;

class FullDiskServerTest : public RoomUnderFault {
protected:
    void SetUp() override {
        if (!disk_.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
        where_ = disk_.path(QStringLiteral("players.db"));
        makeAccounts(where_);
        ASSERT_FALSE(HasFatalFailure());
        startServer(where_);
        ASSERT_FALSE(HasFatalFailure());
        sitDownAndPlay();
        ASSERT_FALSE(HasFatalFailure());
        disk_.fill();
        // Table 1 ends: told at once, although its result cannot be written.
        QElapsedTimer told;
        told.start();
        tables_[1]->send(Bytes({22, 0, 1}));
        ASSERT_FALSE(tables_[0]->waitForPrefix(Bytes({25}), 3000).isEmpty()) << "the end is told";
        EXPECT_LT(told.elapsed(), 1000);
        const QByteArray away = hall::notice(QStringLiteral("数据库暂时不可用，对局暂不计分"));
        ASSERT_EQ(halls_[3]->waitForPrefix(away, 8000), away);
    }
    void TearDown() override {
        if (HasFailure() && server_) server_->dumpLog();
    }
    int games() {
        RawDatabase raw(where_);
        return raw.value(QStringLiteral("SELECT COUNT(*) FROM games")).toInt();
    }
    int score(const QString& name) {
        RawDatabase raw(where_);
        return raw.value(QStringLiteral("SELECT score FROM players WHERE name = '%1'").arg(name))
            .toInt();
    }
    QStringList spilled() const {
        return QDir(spill_.path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
    }

    FullDisk disk_;
    QString where_;
};

TEST_F(FullDiskServerTest, TheResultWaitsForRoomAndTheScoresShownAreThoseStored) {
    tableTwoPlaysOn();
    // Nobody is shown a score the file does not hold.
    WaitFor([] { return false; }, 1500);
    EXPECT_FALSE(shownScore(0, 1100));
    EXPECT_FALSE(shownScore(1, 900));
    disk_.free();
    ASSERT_TRUE(WaitFor([&] { return games() == 1; }, 20000)) << "the result is stored after all";
    EXPECT_EQ(score(names_[0]), 1100);
    EXPECT_EQ(score(names_[1]), 900);
    EXPECT_TRUE(WaitFor([&] { return shownScore(0, 1100) && shownScore(1, 900); }, 10000));
    const QByteArray back = hall::notice(QStringLiteral("数据库已恢复，对局重新计分"));
    EXPECT_EQ(halls_[3]->waitForPrefix(back, 8000), back);
    // Table 2's moves are kept again; the failed tries meanwhile were logged once.
    EXPECT_TRUE(WaitFor([&] { return server_->log().contains("running games kept again"); }));
    EXPECT_EQ(server_->log().count("running games not kept"), 1) << server_->log().constData();
    ASSERT_TRUE(server_->stop()) << "SIGTERM, exit 0";
    EXPECT_TRUE(spilled().isEmpty());
    EXPECT_EQ(games(), 1) << "the file alone holds it";
    EXPECT_EQ(score(names_[0]), 1100);
}

TEST_F(FullDiskServerTest, WhatIsLeftAtAnOrderlyStopIsWrittenAsideAndTakenUpAtTheNextStart) {
    // Table 2 plays on; none of its moves reach the file.
    tableTwoPlaysOn();
    WaitFor([] { return false; }, 1000);
    QElapsedTimer stopping;
    stopping.start();
    ASSERT_TRUE(server_->stop()) << "SIGTERM, exit 0";
    EXPECT_LT(stopping.elapsed(), 8000);
    EXPECT_FALSE(server_->log().contains("are lost")) << server_->log().constData();
    EXPECT_EQ(spilled().size(), 2) << "the result and the running game are written aside";
    EXPECT_EQ(games(), 0);
    disk_.free();
    startServer(where_);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(
        server_->log().contains("1 of 1 running games written aside at the last stop go on"))
        << server_->log().constData();
    ASSERT_TRUE(WaitFor([&] { return games() == 1; }, 10000)) << server_->log().constData();
    EXPECT_EQ(score(names_[0]), 1100);
    EXPECT_EQ(score(names_[1]), 900);
    ASSERT_TRUE(WaitFor([&] { return spilled().isEmpty(); }, 10000)) << server_->log().constData();
    // 甲 is shown the stored score when he comes back, and is not asked back to the game that
    // ended (the file still held it as running from before the disk filled).
    halls_.clear();
    halls_.push_back(hallIn(names_[0]));
    EXPECT_TRUE(WaitFor([&] { return shownScore(0, 1100); }, 5000));
    EXPECT_TRUE(halls_[0]->waitForPrefix(Bytes({230}), 1000).isEmpty());
    // 丙 and 丁 find their game with the moves played while the disk was full.
    tableTwoComesBack();
}

}  // namespace
}  // namespace xq::test
