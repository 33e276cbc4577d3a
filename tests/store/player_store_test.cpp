#include <gtest/gtest.h>

#include "scratch_store.h"

namespace xq::test {
namespace {

using server::FinishedGame;
using server::StoredPlayer;

FinishedGame Game(const QString& a, const QString& b, int result, bool escaped = false,
                  std::array<int, 2> change = {}) {
    FinishedGame g;
    g.table = 3;
    g.names = {a, b};
    g.redSeat = 1;
    g.result = result;
    g.escaped = escaped;
    g.reason = QStringLiteral("被将死");
    g.scoreChange = change;
    g.terms = QStringLiteral("1`0`30`1800`30`0`0`10`50`0`0");
    g.moves = "7#9#7#7\r\n2#0#4#2\r\n";
    g.endedAt = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9, 123), Qt::UTC);
    return g;
}

using PlayerStoreTest = StoreTest;
XQ_ON_BOTH_BACKENDS(PlayerStoreTest);

TEST_P(PlayerStoreTest, NewPlayersStartAt1000AndKeepTheirNumber) {
    auto store = open();
    ASSERT_TRUE(store);
    const auto first = store->enter(QStringLiteral("张三"), 7);
    ASSERT_TRUE(first) << store->lastError().toStdString();
    EXPECT_EQ(first->score, 1000);
    EXPECT_GT(first->userNumber, 10000);
    EXPECT_EQ(first->face, 7);
    EXPECT_EQ(first->games(), 0);
    // A second arrival, with another face, is the same player as stored.
    EXPECT_EQ(store->enter(QStringLiteral("张三"), 12), first);
    const auto second = store->enter(QStringLiteral("李四"), 1);
    ASSERT_TRUE(second);
    EXPECT_NE(second->userNumber, first->userNumber);
    EXPECT_FALSE(store->find(QStringLiteral("王五")));
    EXPECT_TRUE(store->lastError().isEmpty());
}

TEST_P(PlayerStoreTest, AGameChangesExactlyItsPlayersCounters) {
    struct Case {
        const char* name;
        int result;
        bool escaped;
        std::array<StoredPlayer, 2> after;  // counters and scores only
    };
    const Case cases[] = {
        {"seat 1 loses", 1, false, {{{0, 1010, 1, 0, 0, 0}, {0, 990, 0, 1, 0, 0}}}},
        {"seat 0 loses", 0, false, {{{0, 1010, 0, 1, 0, 0}, {0, 990, 1, 0, 0, 0}}}},
        {"draw", 2, false, {{{0, 1010, 0, 0, 1, 0}, {0, 990, 0, 0, 1, 0}}}},
        {"seat 0 runs away", 0, true, {{{0, 1010, 0, 0, 0, 1}, {0, 990, 1, 0, 0, 0}}}},
        {"seat 1 runs away", 1, true, {{{0, 1010, 1, 0, 0, 0}, {0, 990, 0, 0, 0, 1}}}},
    };
    auto store = open();
    ASSERT_TRUE(store);
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Fresh players for each case; names in both orders, as rows are updated by name.
        const QString a = QStringLiteral("%1红").arg(++n), b = QStringLiteral("%1黑").arg(n);
        const auto sideline = store->enter(QStringLiteral("旁观"), 2);
        std::array<StoredPlayer, 2> before{*store->enter(a, 4), *store->enter(b, 5)};
        FinishedGame game = Game(a, b, c.result, c.escaped, {10, -10});
        if (c.result == 2) {
            game.moves.clear();  // a game agreed drawn before any move
            game.reason = QString();
        }
        QString error;
        ASSERT_TRUE(store->record(game, &error)) << error.toStdString();
        for (int seat : {0, 1}) {
            StoredPlayer expected = c.after[seat];
            expected.userNumber = before[seat].userNumber;
            expected.name = before[seat].name;
            expected.face = before[seat].face;
            EXPECT_EQ(store->find(game.names[seat]), expected) << "seat " << seat;
        }
        EXPECT_EQ(store->find(QStringLiteral("旁观")), sideline);
        const auto archived = store->recentGames(1);
        ASSERT_EQ(archived.size(), 1u);
        EXPECT_EQ(archived[0], game);
    }
    EXPECT_EQ(store->archivedGames(), static_cast<qint64>(std::size(cases)));
    const auto newestFirst = store->recentGames(100);
    ASSERT_EQ(newestFirst.size(), std::size(cases));
    EXPECT_EQ(newestFirst.front().result, cases[std::size(cases) - 1].result);
}

TEST_P(PlayerStoreTest, EverythingSurvivesClosingAndReopening) {
    std::optional<StoredPlayer> a, b;
    {
        auto store = open();
        ASSERT_TRUE(store);
        a = store->enter(QStringLiteral("甲"), 3);
        b = store->enter(QStringLiteral("乙"), 4);
        ASSERT_TRUE(store->record(
            Game(QStringLiteral("甲"), QStringLiteral("乙"), 1, false, {25, -25}), nullptr));
        a = store->find(QStringLiteral("甲"));
        b = store->find(QStringLiteral("乙"));
    }
    auto store = open();
    ASSERT_TRUE(store);
    EXPECT_EQ(store->find(QStringLiteral("甲")), a);
    EXPECT_EQ(store->find(QStringLiteral("乙")), b);
    EXPECT_EQ(a->score, 1025);
    ASSERT_EQ(store->recentGames(5).size(), 1u);
    EXPECT_EQ(store->recentGames(5)[0],
              Game(QStringLiteral("甲"), QStringLiteral("乙"), 1, false, {25, -25}));
    // Numbers are never handed out twice.
    const auto c = store->enter(QStringLiteral("丙"), 0);
    ASSERT_TRUE(c);
    EXPECT_GT(c->userNumber, std::max(a->userNumber, b->userNumber));
}

TEST_P(PlayerStoreTest, NamesAndTextAreStoredAsGiven) {
    // Names a new player may take (no blanks), with what SQL would make something of.
    const QStringList names = {
        QStringLiteral("张三"),
        QStringLiteral("O'Brien"),
        QStringLiteral("say\"hi\""),
        QStringLiteral("x');DROP/**/TABLE/**/players;--"),
        QStringLiteral("r'OR'1'='1"),
        QStringLiteral("100%_\\n$1?:name"),
        QStringLiteral("一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二"),
    };
    auto store = open();
    ASSERT_TRUE(store);
    ASSERT_TRUE(store->enter(QStringLiteral("对手"), 1));
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const auto entered = store->enter(name, 9);
        ASSERT_TRUE(entered) << store->lastError().toStdString();
        EXPECT_EQ(store->find(name), entered);
        FinishedGame g = Game(name, QStringLiteral("对手"), 2);
        g.reason = g.terms = name;
        QString error;
        ASSERT_TRUE(store->record(g, &error)) << error.toStdString();
        EXPECT_EQ(store->recentGames(1).at(0), g);
    }
    EXPECT_EQ(RawDatabase(where()).value(QStringLiteral("SELECT COUNT(*) FROM players")).toInt(),
              names.size() + 1);
    EXPECT_FALSE(store->find(QStringLiteral("张")));
    // Names no new player may take, each refused with a reason and nothing stored.
    for (const QString& name :
         {QString::fromUtf16(u"nul\0byte", 8), QString(), QStringLiteral("back`tick"),
          QStringLiteral("😀象棋"), QStringLiteral("  spaced  ")}) {
        EXPECT_FALSE(store->enter(name, 1)) << name.toStdString();
        EXPECT_FALSE(store->lastError().isEmpty()) << name.toStdString();
    }
    EXPECT_EQ(RawDatabase(where()).value(QStringLiteral("SELECT COUNT(*) FROM players")).toInt(),
              names.size() + 1);
}

TEST_P(PlayerStoreTest, AGameThatCannotBeStoredLeavesEverythingAsItWas) {
    auto store = open();
    ASSERT_TRUE(store);
    const QString known = QStringLiteral("b_known"), early = QStringLiteral("a_known");
    ASSERT_TRUE(store->enter(known, 1) && store->enter(early, 2));
    ASSERT_TRUE(store->record(Game(known, early, 0, false, {5, 5}), nullptr));
    struct Case {
        const char* name;
        FinishedGame game;
    };
    FinishedGame noName = Game(known, QString(), 0), redSeat = Game(known, early, 0),
                 result = Game(known, early, 3), escapedDraw = Game(known, early, 2, true),
                 nul = Game(known, early, 1);
    redSeat.redSeat = 2;
    nul.reason = QString::fromUtf16(u"a\0b", 3);
    const Case cases[] = {
        {"no name", noName},
        {"red seat 2", redSeat},
        {"result 3", result},
        {"a drawn runaway", escapedDraw},
        {"NUL in the reason", nul},
        // Rows are updated in name order: the unknown one first, then last.
        {"unknown player first", Game(known, QStringLiteral("0 stranger"), 1, false, {9, 9})},
        {"unknown player last", Game(known, QStringLiteral("z stranger"), 1, false, {9, 9})},
    };
    const auto knownBefore = store->find(known), earlyBefore = store->find(early);
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(store->record(c.game, &error)) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
        EXPECT_EQ(store->find(known), knownBefore) << c.name;
        EXPECT_EQ(store->find(early), earlyBefore) << c.name;
        EXPECT_EQ(store->archivedGames(), 1) << c.name;
    }
}

TEST_P(PlayerStoreTest, AFailedArchiveRowTakesTheScoresBackWithIt) {
    auto store = open();
    ASSERT_TRUE(store);
    ASSERT_TRUE(store->enter(QStringLiteral("甲"), 1) && store->enter(QStringLiteral("乙"), 1));
    const auto before = store->find(QStringLiteral("甲"));
    RawDatabase raw(where());
    // The archive refuses its row after both players' rows have been updated.
    const bool refusing =
        postgres() ? raw.exec(QStringLiteral(
                         "CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS "
                         "$$BEGIN RAISE EXCEPTION 'archive refused'; END$$")) &&
                         raw.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON games "
                                                 "FOR EACH ROW EXECUTE FUNCTION refuse()"))
                   : raw.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON games "
                                             "BEGIN SELECT RAISE(ABORT, 'archive refused'); END"));
    ASSERT_TRUE(refusing) << raw.lastError().toStdString();
    QString error;
    EXPECT_FALSE(
        store->record(Game(QStringLiteral("甲"), QStringLiteral("乙"), 1, false, {7, -7}), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("archive refused"))) << error.toStdString();
    EXPECT_EQ(store->find(QStringLiteral("甲")), before);
    EXPECT_EQ(store->archivedGames(), 0);
    // The store carries on once the archive takes rows again.
    ASSERT_TRUE(raw.exec(QStringLiteral("DROP TRIGGER refuse") +
                         (postgres() ? QStringLiteral(" ON games") : QString())));
    EXPECT_TRUE(
        store->record(Game(QStringLiteral("甲"), QStringLiteral("乙"), 1, false, {7, -7}), &error))
        << error.toStdString();
    EXPECT_EQ(store->find(QStringLiteral("甲"))->score, 1007);
}

TEST_P(PlayerStoreTest, TwoStoresOnOneDatabaseShareThePlayersAndBothCount) {
    auto one = open(), two = open();
    ASSERT_TRUE(one && two);
    const auto a = one->enter(QStringLiteral("甲"), 1);
    EXPECT_EQ(two->find(QStringLiteral("甲")), a);
    EXPECT_EQ(two->enter(QStringLiteral("甲"), 6), a);
    ASSERT_TRUE(two->enter(QStringLiteral("乙"), 2));
    for (int i = 0; i < 10; ++i) {
        auto& store = i % 2 ? one : two;
        ASSERT_TRUE(store->record(
            Game(QStringLiteral("甲"), QStringLiteral("乙"), 1, false, {3, -1}), nullptr));
    }
    for (auto* store : {one.get(), two.get()}) {
        EXPECT_EQ(store->find(QStringLiteral("甲"))->score, 1030);
        EXPECT_EQ(store->find(QStringLiteral("乙"))->lost, 10);
        EXPECT_EQ(store->archivedGames(), 10);
    }
}

}  // namespace
}  // namespace xq::test
