// The results waiting for the store: order, back-off, and when the store counts as away.

#include <gtest/gtest.h>

#include "server/pending_results.h"

namespace xq::server::test {
namespace {

FinishedGame Game(int table) {
    FinishedGame g;
    g.table = table;
    g.names = {QStringLiteral("甲"), QStringLiteral("乙")};
    return g;
}

TEST(PendingResults, OneAtATimeInOrderWithAGrowingBackOff) {
    // Each step: at `at` ms, what happens to the one under way (or a new game, or nothing), and
    // then which table's game is due (0: none) and whether the store counts as away.
    enum class Op { Add, Due, Commit, Fail, Refuse, Answered, Lost };
    const struct {
        qint64 at;
        Op op;
        int table;  // the game added, or the one expected due
        bool away;
    } steps[] = {
        {0, Op::Add, 1, false},         {0, Op::Add, 2, false},
        {0, Op::Due, 1, false},         {0, Op::Due, 0, false},   // the first is under way
        {10, Op::Fail, 0, true},        {500, Op::Due, 0, true},  // 1 s back-off
        {1010, Op::Due, 1, true},       {1020, Op::Fail, 0, true},
        {2500, Op::Due, 0, true},       {3020, Op::Due, 1, true},  // then 2 s
        {3030, Op::Fail, 0, true},      {7029, Op::Due, 0, true},  // then 4 s
        {7030, Op::Due, 1, true},       {7040, Op::Commit, 0, false},
        {7040, Op::Due, 2, false},  // the next at once, its wait counted from now
        {7050, Op::Refuse, 0, false},   {7050, Op::Due, 0, false},
        {8000, Op::Add, 3, false},      {8000, Op::Due, 3, false},
        {11001, Op::Due, 0, true},  // held by the store longer than 3 s
        {11001, Op::Lost, 0, true},     {11002, Op::Fail, 0, true},
        {11004, Op::Answered, 0, true},  // back: tried at once, but still waiting
        {11004, Op::Due, 3, true},      {11005, Op::Commit, 0, false},
    };
    PendingResults pending;
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << "at " << s.at << " op " << static_cast<int>(s.op));
        switch (s.op) {
            case Op::Add:
                pending.add(Game(s.table), s.at);
                break;
            case Op::Due: {
                const auto* due = pending.due(s.at);
                EXPECT_EQ(due ? due->game.table : 0, s.table);
                break;
            }
            case Op::Commit:
                pending.committed(s.at);
                break;
            case Op::Fail:
                pending.failed(s.at);
                break;
            case Op::Refuse:
                pending.refused();
                break;
            case Op::Answered:
                pending.storeAnswered(true, s.at);
                break;
            case Op::Lost:
                pending.storeAnswered(false, s.at);
                break;
        }
        EXPECT_EQ(pending.away(s.at), s.away);
    }
    EXPECT_TRUE(pending.empty());
}

TEST(PendingResults, TheBackOffStopsAtHalfAMinuteAndEverythingCanBeTakenAway) {
    PendingResults pending;
    pending.add(Game(1), 0);
    pending.add(Game(2), 0);
    qint64 now = 0;
    qint64 gap = 0;
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(pending.due(now)) << i;
        pending.failed(now);
        gap = pending.nextTryMs() - now;
        now = pending.nextTryMs();
    }
    EXPECT_EQ(gap, PendingResults::kLongestRetryMs);
    ASSERT_TRUE(pending.due(now));
    const auto all = pending.takeAll();
    ASSERT_EQ(all.size(), 2u) << "the one under way too";
    EXPECT_EQ(all[0].game.table, 1);
    EXPECT_FALSE(pending.underWay());
    EXPECT_FALSE(pending.due(now));
}

}  // namespace
}  // namespace xq::server::test
