// The store on its own thread: jobs in order, answers on the caller's thread, deadlines, an
// orderly close; and the results that wait for it, across a full disk and across a restart.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QThread>
#include <atomic>

#include "../support/eventually.h"
#include "full_disk.h"
#include "scratch_store.h"
#include "server/database_stats.h"
#include "server/result_spill.h"
#include "server/store_thread.h"

namespace xq::test {
namespace {

using server::DatabaseStats;
using server::PlayerStore;
using server::StoreThread;

std::unique_ptr<StoreThread> OpenThread(const QString& where) {
    QString error;
    auto thread = StoreThread::open(where, &error);
    EXPECT_TRUE(thread) << error.toStdString();
    return thread;
}

server::GameOutcome Outcome(int table, int change) {
    server::GameOutcome g;
    g.table = table;
    g.names = {QStringLiteral("甲"), QStringLiteral("乙")};
    g.result = 1;
    g.reason = QStringLiteral("认输");
    g.scoreChange = {change, -change};
    g.terms = QStringLiteral("100`1000`10`5`50`0`0`30`0`0`30");
    return g;
}

void MakePlayers(const QString& where) {
    QString error;
    auto store = PlayerStore::open(where, &error);
    ASSERT_TRUE(store) << error.toStdString();
    ASSERT_TRUE(store->enter(QStringLiteral("甲"), 1));
    ASSERT_TRUE(store->enter(QStringLiteral("乙"), 2));
}

using StoreThreadTest = StoreTest;
XQ_ON_BOTH_BACKENDS(StoreThreadTest);

TEST_P(StoreThreadTest, JobsRunInOrderOffTheCallersThreadAndAnswerOnIt) {
    auto thread = OpenThread(where());
    ASSERT_TRUE(thread);
    QList<int> order;
    QList<bool> onCaller;
    std::atomic<bool> offCaller{true};
    QThread* const caller = QThread::currentThread();
    for (int i = 0; i < 5; ++i) {
        thread->run<int>(
            [i, caller, &offCaller](PlayerStore& store) {
                if (QThread::currentThread() == caller) offCaller = false;
                store.enter(QStringLiteral("p%1").arg(i), 0);
                return i;
            },
            [&, caller](int n) {
                order.append(n);
                onCaller.append(QThread::currentThread() == caller);
            });
    }
    ASSERT_TRUE(Eventually([&] { return order.size() == 5; }));
    EXPECT_EQ(order, (QList<int>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(onCaller.contains(false));
    EXPECT_TRUE(offCaller);
    EXPECT_TRUE(thread->finish(5000));
    bool ran = false;
    thread->run<int>([&](PlayerStore&) { return ran = true, 1; }, [&](int) { ran = true; });
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran) << "nothing runs after finish()";
}

TEST_P(StoreThreadTest, ADeadlineAnswersLateAndSkipsAJobThatHasNotStarted) {
    auto thread = OpenThread(where());
    ASSERT_TRUE(thread);
    // A database that holds the thread for a while.
    thread->post([](PlayerStore&) { QThread::msleep(600); });
    std::atomic<bool> ran{false};
    QList<QString> answers;
    QElapsedTimer waited;
    waited.start();
    thread->run<QString>(
        [&](PlayerStore&) {
            ran = true;
            return QStringLiteral("in time");
        },
        [&](QString a) { answers.append(a); }, 100, QStringLiteral("late"));
    // One that gets its answer in time although it waits behind the held one.
    thread->run<QString>([](PlayerStore&) { return QStringLiteral("in time"); },
                         [&](QString a) { answers.append(a); }, 5000, QStringLiteral("late"));
    ASSERT_TRUE(Eventually([&] { return answers.size() == 2; }));
    EXPECT_EQ(answers, (QList<QString>{QStringLiteral("late"), QStringLiteral("in time")}));
    EXPECT_FALSE(ran) << "the late job was left out";
    EXPECT_GE(waited.elapsed(), 550);
    // No second answer comes for either.
    QThread::msleep(50);
    QCoreApplication::processEvents();
    EXPECT_EQ(answers.size(), 2);
}

TEST_P(StoreThreadTest, FinishingRunsWhatWasGivenAndLeavesTheFileAloneHoldingIt) {
    auto thread = OpenThread(where());
    ASSERT_TRUE(thread);
    for (int i = 0; i < 20; ++i)
        thread->post([i](PlayerStore& s) { s.enter(QStringLiteral("n%1").arg(i), 0); });
    EXPECT_TRUE(thread->finish(10000));
    EXPECT_EQ(thread->backlog(), 0);
    if (!postgres()) {
        const QFileInfo wal(where() + QStringLiteral("-wal"));
        EXPECT_TRUE(!wal.exists() || wal.size() == 0) << wal.size();
        // The file alone, copied without its log, has every row.
        const QString copy = where() + QStringLiteral(".copy");
        ASSERT_TRUE(QFile::copy(where(), copy));
        RawDatabase raw(copy);
        EXPECT_EQ(raw.value(QStringLiteral("SELECT COUNT(*) FROM players")).toInt(), 20);
    } else {
        RawDatabase raw(where());
        EXPECT_EQ(raw.value(QStringLiteral("SELECT COUNT(*) FROM players")).toInt(), 20);
    }
}

TEST_P(StoreThreadTest, ResultsPendingAtTheEndAreKeptAndStoredOnceAtTheNextStart) {
    MakePlayers(where());
    QTemporaryDir spillDir;
    const QString spill = server::spillPathFor(where(), spillDir.path(), QString());
    QStringList log;
    const auto sink = [&](const QString& line) { log << line; };
    {
        // The store is held past the end: the results go to the file, the one under way too.
        auto thread = OpenThread(where());
        ASSERT_TRUE(thread);
        DatabaseStats stats(*thread, sink, spill);
        thread->post([](PlayerStore&) { QThread::msleep(800); });
        stats.record(Outcome(1, 10), {});
        stats.record(Outcome(2, 20), {});
        EXPECT_TRUE(stats.settle(200));
        EXPECT_EQ(stats.pending(), 0);
        ASSERT_TRUE(QFile::exists(spill));
        // Held, not dead: the thread then commits both after all.
        EXPECT_TRUE(thread->finish(10000));
    }
    const auto kept = server::readSpill(spill, nullptr);
    ASSERT_TRUE(kept);
    ASSERT_EQ(kept->size(), 2u);
    EXPECT_EQ((*kept)[0].table, 1);
    {
        auto thread = OpenThread(where());
        ASSERT_TRUE(thread);
        DatabaseStats stats(*thread, sink, spill);
        ASSERT_TRUE(stats.takeSpilled());
        ASSERT_TRUE(Eventually([&] { return stats.pending() == 0; }));
        EXPECT_FALSE(QFile::exists(spill)) << "done with once stored";
    }
    auto store = open();
    ASSERT_TRUE(store);
    EXPECT_EQ(store->archivedGames(), 2) << "not counted twice";
    EXPECT_EQ(store->find(QStringLiteral("甲"))->score, 1030);
    EXPECT_EQ(store->find(QStringLiteral("乙"))->lost, 2);
}

TEST_P(StoreThreadTest, ResultsThatNeverReachedTheStoreAreStoredAtTheNextStart) {
    MakePlayers(where());
    QTemporaryDir spillDir;
    const QString spill = server::spillPathFor(where(), spillDir.path(), QString());
    QStringList log;
    const auto sink = [&](const QString& line) { log << line; };
    // Written as an exit writes them, for a store that was away.
    server::FinishedGame first;
    first.table = 4;
    first.names = {QStringLiteral("甲"), QStringLiteral("乙")};
    first.result = 2;
    first.reason = QStringLiteral("双方同意和棋");
    first.moves = "7#9#7#7\r\n";
    first.endedAt = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 678), Qt::UTC);
    server::FinishedGame second = first;
    second.result = 0;
    second.scoreChange = {-30, 30};
    second.endedAt = first.endedAt.addSecs(60);
    ASSERT_TRUE(server::writeSpill(spill, {first, second}, nullptr));
    auto thread = OpenThread(where());
    ASSERT_TRUE(thread);
    DatabaseStats stats(*thread, sink, spill);
    ASSERT_TRUE(stats.takeSpilled());
    // A result of this run comes after them.
    stats.record(Outcome(1, 5), {});
    ASSERT_TRUE(Eventually([&] { return stats.pending() == 0; }));
    EXPECT_TRUE(thread->finish(5000));
    auto store = open();
    ASSERT_TRUE(store);
    const auto games = store->recentGames(10);
    ASSERT_EQ(games.size(), 3u);
    EXPECT_EQ(games[2], first);
    EXPECT_EQ(games[1], second);
    EXPECT_EQ(store->find(QStringLiteral("乙"))->score, 1000 + 30 - 5);
    EXPECT_FALSE(QFile::exists(spill));
}

TEST(ResultSpill, ADamagedFileIsSaidAndLeftAlone) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.json"));
    const struct {
        const char* what;
        QByteArray text;
    } cases[] = {
        {"not JSON", "{{{"},
        {"not a list", "{}"},
        {"a game without its end", R"([{"table":1,"name0":"a","name1":"b"}])"},
        {"bad moves", R"([{"table":1,"name0":"a","name1":"b","redSeat":0,"result":2,)"
                      R"("escaped":false,"reason":"","change0":0,"change1":0,"terms":"",)"
                      R"("moves":"***","endedMs":"5"}])"},
    };
    for (const auto& c : cases) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.text);
        f.close();
        QString error;
        EXPECT_FALSE(server::readSpill(path, &error)) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
        EXPECT_TRUE(QFile::exists(path));
    }
    EXPECT_TRUE(server::readSpill(dir.filePath(QStringLiteral("none.json")), nullptr)->empty());
}

// SQLite on a disk that fills up: the results wait, the room is told the store takes none, and
// they are stored in order once there is room again.
TEST(FullDiskStore, ResultsWaitForRoomAndNoneIsLost) {
    FullDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
    const QString where = disk.path(QStringLiteral("players.db"));
    MakePlayers(where);
    auto thread = OpenThread(where);
    ASSERT_TRUE(thread);
    QStringList log;
    DatabaseStats stats(
        *thread, [&](const QString& line) { log << line; },
        server::spillPathFor(where, QString(), QString()));
    QList<std::pair<QString, int>> shown;
    const auto remember = [&](const QString& name, const server::UserStats& s) {
        shown.append({name, s.score});
    };
    stats.record(Outcome(1, 1), remember);
    ASSERT_TRUE(Eventually([&] { return shown.size() == 2; }));
    disk.fill();
    stats.record(Outcome(1, 10), remember);
    stats.record(Outcome(2, 100), remember);
    ASSERT_TRUE(Eventually([&] { return !stats.takesResults(); }, 5000))
        << log.join(u'\n').toStdString();
    EXPECT_EQ(stats.pending(), 2);
    disk.free();
    ASSERT_TRUE(Eventually([&] { return stats.pending() == 0; }, 20000))
        << log.join(u'\n').toStdString();
    EXPECT_TRUE(stats.takesResults());
    ASSERT_EQ(shown.size(), 6);
    EXPECT_EQ(shown[5], (std::pair<QString, int>{QStringLiteral("乙"), 1000 - 111}))
        << "the stored score is shown";
    EXPECT_TRUE(thread->finish(5000));
    QString error;
    auto store = PlayerStore::open(where, &error);
    ASSERT_TRUE(store) << error.toStdString();
    EXPECT_EQ(store->archivedGames(), 3);
    EXPECT_EQ(store->find(QStringLiteral("甲"))->score, 1111);
    const auto games = store->recentGames(3);
    EXPECT_EQ(games[0].table, 2) << "in order";
}

}  // namespace
}  // namespace xq::test
