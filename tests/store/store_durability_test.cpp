#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QMap>
#include <QRandomGenerator>
#include <QThread>
#include <climits>

#include "../support/test_seed.h"
#include "scratch_store.h"
#include "store_child.h"

namespace xq::test {
namespace {

using server::StoredPlayer;

// Every player's counters and score are what the archive adds up to; gives the games per table.
QMap<int, int> ExpectArchiveMatchesPlayers(server::PlayerStore& store) {
    QMap<QString, StoredPlayer> expected;
    QMap<int, int> perTable;
    for (const auto& g : store.recentGames(INT_MAX)) {
        ++perTable[g.table];
        for (int seat : {0, 1}) {
            StoredPlayer& p = expected[g.names[seat]];
            p.score += g.scoreChange[seat];
            if (g.result == 2) {
                ++p.drawn;
            } else if (g.result != seat) {
                ++p.won;
            } else {
                ++(g.escaped ? p.escapes : p.lost);
            }
        }
    }
    for (const QString& name : childPlayers()) {
        const auto stored = store.find(name);
        if (!stored) {
            ADD_FAILURE() << name.toStdString() << " is not stored";
            continue;
        }
        StoredPlayer want = expected.value(name);
        want.userNumber = stored->userNumber;
        want.face = stored->face;
        want.name = name;
        EXPECT_EQ(*stored, want) << name.toStdString();
    }
    return perTable;
}

using StoreDurabilityTest = StoreTest;
XQ_ON_BOTH_BACKENDS(StoreDurabilityTest);

// Two servers record games of the same players at once and are killed at random moments: every
// commit they reported is kept, at most the one under way besides, and never half of one.
TEST_P(StoreDurabilityTest, KilledWhileCommittingLosesAtMostTheGameUnderWay) {
    const quint32 seed = TestSeed();
    SCOPED_TRACE(testing::Message() << "XQ_TEST_SEED=" << seed);
    QRandomGenerator random(seed);
    int reported[2] = {0, 0};
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        // The children draw their games from seeds of this test's own.
        StoreChild first({QStringLiteral("commit"), where(), QStringLiteral("1"),
                          QString::number(random.generate())});
        StoreChild second({QStringLiteral("commit"), where(), QStringLiteral("2"),
                           QString::number(random.generate())});
        StoreChild* children[2] = {&first, &second};
        QElapsedTimer started;
        started.start();
        auto running = [&] {
            return first.process().state() != QProcess::NotRunning &&
                   second.process().state() != QProcess::NotRunning;
        };
        while ((first.commits() == 0 || second.commits() == 0) && running() &&
               started.elapsed() < 30000) {
            for (auto* c : children) {
                c->process().waitForReadyRead(50);
            }
        }
        ASSERT_GT(first.commits() * second.commits(), 0) << "the children did not commit";
        QThread::msleep(random.bounded(5, 150));
        first.kill();
        QThread::msleep(random.bounded(30));
        second.kill();
        if (postgres()) {
            // A commit the server had received finishes even though its sender is gone.
            RawDatabase raw(where());
            QElapsedTimer gone;
            gone.start();
            while (raw.value(QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE datname ="
                                            " current_database() AND pid <> pg_backend_pid()"))
                           .toInt() > 0 &&
                   gone.elapsed() < 10000) {
                QThread::msleep(10);
            }
        }
        auto store = open();
        ASSERT_TRUE(store);
        const QMap<int, int> archived = ExpectArchiveMatchesPlayers(*store);
        for (int i : {0, 1}) {
            reported[i] += children[i]->commits();
            EXPECT_GE(archived.value(i + 1), reported[i]) << "child " << i;
            EXPECT_LE(archived.value(i + 1), reported[i] + 1) << "child " << i;
            reported[i] = archived.value(i + 1);
        }
        if (!postgres()) {
            RawDatabase raw(where());
            EXPECT_EQ(raw.value(QStringLiteral("PRAGMA integrity_check")).toString(), "ok");
            EXPECT_EQ(raw.value(QStringLiteral("PRAGMA journal_mode")).toString(), "wal");
        }
    }
}

}  // namespace
}  // namespace xq::test
