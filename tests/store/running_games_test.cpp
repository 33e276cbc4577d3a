#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "scratch_store.h"
#include "server/running_spill.h"

namespace xq::test {
namespace {

using server::RunningGame;

RunningGame Kept(int table, const QString& a, const QString& b, const QByteArray& moves) {
    RunningGame g;
    g.table = table;
    g.names = {a, b};
    g.redSeat = 1;
    g.terms = QStringLiteral("100`1000`10`5`50`0`0`30`0`0`30");
    g.tally = {2, 1};
    g.movesAtStart = 3;
    g.rated = false;
    g.bankSeconds = {17, 240};
    g.moves = moves;
    g.savedAt = QDateTime(QDate(2026, 12, 9), QTime(20, 1, 2, 345), Qt::UTC);
    return g;
}

using RunningGamesTest = StoreTest;
XQ_ON_BOTH_BACKENDS(RunningGamesTest);

TEST_P(RunningGamesTest, KeptGamesOutliveTheStoreAndEachRoomHasItsOwn) {
    const RunningGame first =
        Kept(3, QStringLiteral("张三"), QStringLiteral("李四"), "7#9#7#7\r\n2#0#4#2\r\n");
    const RunningGame other = Kept(5, QStringLiteral("王五"), QStringLiteral("赵六"), "");
    {
        auto store = open();
        ASSERT_TRUE(store);
        QString error;
        ASSERT_TRUE(store->keepRunningGames(QStringLiteral("room-a"), {first, other}, {}, &error))
            << error.toStdString();
        // The next move is written over the first; a room next door keeps its own table 3.
        RunningGame moved = first;
        moved.moves += "9#1#7#2\r\n";
        moved.bankSeconds = {18, 240};
        ASSERT_TRUE(store->keepRunningGames(QStringLiteral("room-a"), {moved}, {}, &error));
        ASSERT_TRUE(store->keepRunningGames(QStringLiteral("room-b"), {first}, {}, &error));
    }
    auto store = open();
    ASSERT_TRUE(store);
    const auto kept = store->runningGames(QStringLiteral("room-a"));
    ASSERT_TRUE(kept) << store->lastError().toStdString();
    ASSERT_EQ(kept->size(), 2u);
    EXPECT_EQ((*kept)[0].table, 3);
    EXPECT_EQ((*kept)[0].moves, QByteArray("7#9#7#7\r\n2#0#4#2\r\n9#1#7#2\r\n"));
    EXPECT_EQ((*kept)[0].bankSeconds, (std::array<int, 2>{18, 240}));
    EXPECT_EQ((*kept)[0].tally, (std::array<int, 2>{2, 1}));
    EXPECT_EQ((*kept)[0].redSeat, 1);
    EXPECT_EQ((*kept)[0].movesAtStart, 3);
    EXPECT_FALSE((*kept)[0].rated);
    EXPECT_EQ((*kept)[0].savedAt, first.savedAt);
    EXPECT_EQ((*kept)[1], other) << "an empty record is still one";

    // A game over is forgotten, in the same step as another is kept.
    QString error;
    ASSERT_TRUE(store->keepRunningGames(QStringLiteral("room-a"), {}, {3, 5, 9}, &error));
    EXPECT_TRUE(store->runningGames(QStringLiteral("room-a"))->empty());
    EXPECT_EQ(store->runningGames(QStringLiteral("room-b"))->size(), 1u);
}

TEST_P(RunningGamesTest, AGameThatCannotBeKeptLeavesTheOthersAsTheyWere) {
    auto store = open();
    ASSERT_TRUE(store);
    const RunningGame good = Kept(1, QStringLiteral("甲"), QStringLiteral("乙"), "");
    QString error;
    ASSERT_TRUE(store->keepRunningGames(QStringLiteral("r"), {good}, {}, &error));
    RunningGame bad = Kept(2, QStringLiteral("丙") + QChar(u'\0'), QStringLiteral("丁"), "");
    EXPECT_FALSE(store->keepRunningGames(QStringLiteral("r"), {bad}, {1}, &error));
    EXPECT_FALSE(error.isEmpty());
    const auto kept = store->runningGames(QStringLiteral("r"));
    ASSERT_TRUE(kept);
    ASSERT_EQ(kept->size(), 1u);
    EXPECT_EQ(kept->front(), good);
}

// What a room could not keep in its store at the stop, written aside for the next start.
TEST(RunningSpillTest, TheGamesComeBackAsTheyWereForTheirOwnRoomOnly) {
    QTemporaryDir dir;
    const QString results = dir.filePath(QStringLiteral("players.db.unsaved-results.json"));
    const QString path = server::runningSpillPathFor(results, QStringLiteral("room-a"));
    EXPECT_NE(path, server::runningSpillPathFor(results, QStringLiteral("room-b")));
    EXPECT_NE(path, results);
    EXPECT_EQ(server::readRunningSpill(path, QStringLiteral("room-a")).state,
              server::RunningSpill::State::NoFile);

    const std::vector<RunningGame> games = {
        Kept(3, QStringLiteral("张三"), QStringLiteral("李四"), "7#9#7#7\r\n2#0#4#2\r\n"),
        Kept(5, QStringLiteral("王五"), QStringLiteral("赵六"), "")};
    QString error;
    ASSERT_TRUE(server::writeRunningSpill(path, QStringLiteral("room-a"), games, &error))
        << error.toStdString();
    const auto back = server::readRunningSpill(path, QStringLiteral("room-a"));
    ASSERT_EQ(back.state, server::RunningSpill::State::Read) << back.error.toStdString();
    ASSERT_EQ(back.games, games);
    EXPECT_EQ(back.games[0].savedAt, games[0].savedAt);
    // Nothing running is a state too: every game of the room had ended.
    ASSERT_TRUE(server::writeRunningSpill(path, QStringLiteral("room-a"), {}, &error));
    const auto none = server::readRunningSpill(path, QStringLiteral("room-a"));
    EXPECT_EQ(none.state, server::RunningSpill::State::Read);
    EXPECT_TRUE(none.games.empty());
}

TEST(RunningSpillTest, AFileThatCannotBeTrustedIsSaidAndNotUsed) {
    const struct {
        const char* what;
        QByteArray text;
    } cases[] = {
        {"cut short", R"({"room":"r","games":[{"table":1,)"},
        {"another room's", R"({"room":"other","games":[]})"},
        {"no games", R"({"room":"r"})"},
        {"a game without names",
         R"({"room":"r","games":[{"table":1,"redSeat":0,"terms":"","tally":[0,0],)"
         R"("bankSeconds":[0,0],"moves":"","movesAtStart":0,"rated":true,"savedMs":"1"}]})"},
        {"moves that are not base64",
         R"({"room":"r","games":[{"table":1,"names":["a","b"],"redSeat":0,"terms":"",)"
         R"("tally":[0,0],"bankSeconds":[0,0],"moves":"@@","movesAtStart":0,"rated":true,)"
         R"("savedMs":"1"}]})"},
        {"a tally of one", R"({"room":"r","games":[{"table":1,"names":["a","b"],"redSeat":0,)"
                           R"("terms":"","tally":[0],"bankSeconds":[0,0],"moves":"",)"
                           R"("movesAtStart":0,"rated":true,"savedMs":"1"}]})"},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("spill.json"));
    for (const auto& c : cases) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.text);
        file.close();
        const auto read = server::readRunningSpill(path, QStringLiteral("r"));
        EXPECT_EQ(read.state, server::RunningSpill::State::Unreadable) << c.what;
        EXPECT_TRUE(read.games.empty()) << c.what;
        EXPECT_TRUE(read.error.contains(path)) << c.what;
    }
}

}  // namespace
}  // namespace xq::test
