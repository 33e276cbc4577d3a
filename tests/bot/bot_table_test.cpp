// The bot at a real table in the process: the room server's table logic and clock, a person
// played by the test through the same in-process seam, and the bot with short delays.

#include <gtest/gtest.h>

#include <QStandardPaths>
#include <algorithm>
#include <memory>

#include "lopsided_record.h"
#include "server/bot/bot_player.h"
#include "table_client.h"

namespace xq::server::test {
namespace {

const QString kBotName = QStringLiteral("电脑");
const QString kTerms = QStringLiteral("100`1000`10`5`50`0`0`30`0`0`30");

Cmd Chunk(int seat, int total, int firstMinusOne, const std::vector<QiPuItem>& moves) {
    Cmd c = Bytes({23, 3, seat});
    for (int v : {total, firstMinusOne}) {
        for (int shift : {24, 16, 8, 0})
            c.append(static_cast<char>((v >> shift) & 0xFF));
    }
    for (const QiPuItem& m : moves) {
        c.append(static_cast<char>(m.bteFromPos));
        c.append(static_cast<char>(m.bteQiZi));
        c.append(static_cast<char>(m.bteToPos));
        c.append(static_cast<char>(m.bteEatQiZi));
    }
    return c;
}

class BotTableTest : public ::testing::Test {
protected:
    static BotConfig fastConfig() {
        BotConfig c;
        c.options.name = kBotName;
        c.options.level = 3;
        c.timing = BotTiming{10, 20, 30, 300};
        c.moveCapMs = 150;
        c.tableMegabytes = 1;
        return c;
    }
    void seatBot(const BotConfig& config = fastConfig()) {
        bot = std::make_unique<BotPlayer>(server, config);
        human.login();
        ASSERT_TRUE(Eventually([&] { return bot->seated(); }));
    }
    bool settingsStageShown() const {
        const auto s = human.last(111);
        return s && CmdToString(*s, 2).split(u'`').size() > 5;
    }
    // Seats both, lets the owner confirm the terms and waits for the first game.
    void startFirstGame(const QString& terms = kTerms, const BotConfig& config = fastConfig()) {
        seatBot(config);
        ASSERT_TRUE(Eventually([&] { return settingsStageShown(); }));
        human.sayText({112, 0}, human.name() + u'`' + terms);
        ASSERT_TRUE(Eventually([&] { return human.count(17) == 1; }));
    }
    // The person plays, the bot answers: one exchange.
    void exchange(int humanSeat = 0) {
        const int botMoves = human.count(19, 0, humanSeat ^ 1);
        human.playSomething(humanSeat);
        ASSERT_TRUE(Eventually([&] { return human.count(19, 0, humanSeat ^ 1) > botMoves; }));
    }
    // Ends the running game by the person's resignation.
    void humanResigns(int seat = 0) {
        const int ends = human.count(25);
        human.say(Bytes({22, 0, seat}));  // the table answers at once
        ASSERT_EQ(human.count(25), ends + 1);
    }
    // Loads a record between games; the table plays on from its last position.
    void loadRecord(const std::vector<QiPuItem>& record) {
        ASSERT_FALSE(record.empty());
        human.say(Bytes({23, 0, 0}));
        ASSERT_TRUE(human.awaitNext(23, 2, 1)) << "the bot agrees to the load";
        for (std::size_t k = 0; k < record.size(); k += 50) {
            const std::size_t end = std::min(record.size(), k + 50);
            human.say(Chunk(0, static_cast<int>(record.size()), static_cast<int>(k),
                            {record.begin() + static_cast<std::ptrdiff_t>(k),
                             record.begin() + static_cast<std::ptrdiff_t>(end)}));
        }
        ASSERT_TRUE(Eventually([&] { return human.game.running(); }));
    }
    int botRefusals() const {
        return static_cast<int>(log.filter(QStringLiteral(" of %1 refused").arg(kBotName)).size());
    }

    QStringList log;
    RoomServer server{[this](const QString& line) { log.append(line); }};
    TableClient human{server, QStringLiteral("张三")};
    std::unique_ptr<BotPlayer> bot;
};

TEST_F(BotTableTest, SitsDownRaisesItsHandAgreesAndPlaysLegalMoves) {
    startFirstGame();
    EXPECT_EQ(server.table().seatName(1), kBotName);
    EXPECT_TRUE(human.last(130, 4)) << "the bot arrives as a player";
    EXPECT_TRUE(human.last(112, 1)) << "its hand opened the settings stage";
    const auto agreed = human.last(112, 2);
    ASSERT_TRUE(agreed);
    EXPECT_EQ(CmdToString(*agreed, 2), kBotName);
    // The bot handles the game start one turn after the person's client has seen it.
    ASSERT_TRUE(Eventually([&] { return human.last(1).has_value(); }));
    const auto greeting = human.last(1);
    ASSERT_TRUE(greeting);
    const QStringList chat = CmdToString(*greeting, 1).split(u'`');
    ASSERT_EQ(chat.size(), 10);
    EXPECT_EQ(chat[0], kBotName);

    for (int i = 0; i < 4; ++i)
        ASSERT_NO_FATAL_FAILURE(exchange());
    EXPECT_EQ(human.count(19, 0, 1), 4);
    EXPECT_FALSE(human.moveWasLegal.contains(false));
    EXPECT_EQ(botRefusals(), 0);
}

TEST_F(BotTableTest, AgreesToUndoUpToALimitAndStaysInStep) {
    startFirstGame();
    ASSERT_NO_FATAL_FAILURE(exchange());
    ASSERT_NO_FATAL_FAILURE(exchange());
    QList<int> answers;
    for (int i = 0; i < 4; ++i) {
        const long before = server.table().game().halfMoves();
        const int answered = human.count(20, -1, 1);
        human.say(Bytes({20, 0, 0}));
        ASSERT_TRUE(Eventually([&] { return human.count(20, -1, 1) > answered; }));
        const int answer = byteAt(*human.last(20, -1, 1), 1);
        answers.append(answer);
        EXPECT_EQ(server.table().game().halfMoves(), answer == 2 ? before - 2 : before);
        // Play on from the position after the undo: the bot must still know the board.
        ASSERT_NO_FATAL_FAILURE(exchange());
    }
    EXPECT_EQ(answers, (QList<int>{2, 2, 2, 1}));
    EXPECT_FALSE(human.moveWasLegal.contains(false));
    EXPECT_EQ(botRefusals(), 0);
}

TEST_F(BotTableTest, RaisesItsHandForTheNextGameAfterThePlayerDoes) {
    startFirstGame();
    ASSERT_NO_FATAL_FAILURE(humanResigns());
    // Not first: a raised hand would keep the person from loading a record.
    QCoreApplication::processEvents();
    EXPECT_FALSE(Eventually([&] { return human.count(18) > 0; }, 200));
    human.say(Bytes({18, 0}));
    ASSERT_TRUE(human.awaitNext(18, 1));
    ASSERT_TRUE(Eventually([&] { return human.count(17) == 2; }));
    // Colours have changed: the bot has red and opens.
    EXPECT_TRUE(Eventually([&] { return human.count(19, 0, 1) > 0; }));
    EXPECT_FALSE(human.moveWasLegal.contains(false));
}

TEST_F(BotTableTest, RefusesADrawWhenEvenAndTakesOneWhenLosing) {
    startFirstGame();
    ASSERT_NO_FATAL_FAILURE(exchange());
    human.say(Bytes({21, 0, 0}));
    ASSERT_TRUE(human.awaitNext(21, 1, 1)) << "refused in an even opening";
    ASSERT_NO_FATAL_FAILURE(humanResigns());

    // The bot has red in the loaded game and has lost nearly everything; the person is to move.
    ASSERT_NO_FATAL_FAILURE(loadRecord(LopsidedRecord(kBlack)));
    ASSERT_EQ(server.table().game().toMove(), 0);
    human.say(Bytes({21, 0, 0}));
    ASSERT_TRUE(human.awaitNext(25));
    EXPECT_EQ(byteAt(*human.last(25), 9), 2) << "drawn by agreement";
}

TEST_F(BotTableTest, ResignsAHopelessGame) {
    startFirstGame();
    ASSERT_NO_FATAL_FAILURE(humanResigns());
    ASSERT_NO_FATAL_FAILURE(loadRecord(LopsidedRecord(kRed)));
    ASSERT_EQ(server.table().game().toMove(), 1) << "the bot, with red, is to move";
    const int ends = human.count(25);
    for (int i = 0; i < 20 && human.count(25) == ends; ++i) {
        ASSERT_TRUE(Eventually(
            [&] { return human.count(25) > ends || server.table().game().toMove() == 0; }));
        if (human.count(25) == ends) human.playSomething(0);
    }
    ASSERT_GT(human.count(25), ends);
    const Cmd end = *human.last(25);
    EXPECT_EQ(byteAt(end, 9), 1) << "the bot lost";
    EXPECT_EQ(CmdToString(end, 10), QStringLiteral("认输"));
}

TEST_F(BotTableTest, MovesWithinTheFreeTimeWhenThereIsNoBank) {
    // No bank at all and two free seconds a move: one slow move would lose the game. The bot
    // plays at its own level's pace here, not the shortened one of the other tests.
    BotConfig config = fastConfig();
    config.options.level = 4;
    config.moveCapMs = 0;
    ASSERT_NO_FATAL_FAILURE(startFirstGame(QStringLiteral("100`1000`10`5`50`0`0`0`0`0`2"), config));
    for (int i = 0; i < 3; ++i) {
        ASSERT_NO_FATAL_FAILURE(exchange());
        const Cmd echo = *human.last(19, 0, 1);
        EXPECT_EQ(tripleSeconds(byteAt(echo, 7), byteAt(echo, 8), byteAt(echo, 9)), 0)
            << "nothing charged to the bank";
    }
    EXPECT_EQ(human.count(25), 0);
}

TEST_F(BotTableTest, GivesUpAfterRefusedMovesInsteadOfTryingForever) {
    startFirstGame();
    ASSERT_NO_FATAL_FAILURE(exchange());
    // Make the bot believe the person moved when the table did not see it: every move it then
    // makes is out of turn and refused.
    Position pos = human.game.position();
    MoveList moves;
    generateLegalMoves(pos, moves);
    ASSERT_FALSE(moves.empty());
    const Move m = moves[0];
    bot->deliver(
        Bytes({19, 0, 0, packPoint(rankOfSquare(m.from), fileOfSquare(m.from)), pos.at(m.from),
               packPoint(rankOfSquare(m.to), fileOfSquare(m.to)), pos.at(m.to), 0, 0, 0}),
        {});
    ASSERT_TRUE(human.awaitNext(25));
    EXPECT_EQ(byteAt(*human.last(25), 9), 1);
    EXPECT_EQ(botRefusals(), 5);
}

TEST_F(BotTableTest, LeavesWithThePlayerAndReturnsForTheNext) {
    seatBot();
    human.sayText({110, 0}, human.name());
    ASSERT_TRUE(Eventually([&] { return !bot->seated(); }));
    ASSERT_TRUE(Eventually([&] { return server.table().seatName(1).isEmpty(); }));
    TableClient next(server, QStringLiteral("李四"));
    next.login();
    ASSERT_TRUE(Eventually([&] { return bot->seated(); }));
    EXPECT_EQ(server.table().seatName(0), QStringLiteral("李四"));
    EXPECT_EQ(server.table().seatName(1), kBotName);
    // The newcomer owns the table: the bot's hand brings him the settings stage.
    EXPECT_TRUE(Eventually([&] {
        const auto s = next.last(111);
        return s && CmdToString(*s, 2).split(u'`').size() > 5;
    }));
    bot.reset();
}

// The bot with an engine of its own: the real Fairy-Stockfish where it is installed, and
// engines that cannot serve, after which the built-in search plays on.
class BotEngineTest : public BotTableTest, public ::testing::WithParamInterface<const char*> {
protected:
    static QString program(const char* which) {
        if (std::string(which) == "fairy-stockfish")
            return QStandardPaths::findExecutable(
                QStringLiteral("fairy-stockfish"),
                {QStringLiteral("/usr/games"), QStringLiteral("/usr/bin")});
        if (std::string(which) == "missing") return QStringLiteral("/nonexistent/engine");
        return QStringLiteral(XQ_FAKE_UCI);
    }
};

TEST_P(BotEngineTest, PlaysLegalMovesThroughTheTable) {
    BotConfig config = fastConfig();
    config.options.enginePath = program(GetParam());
    if (config.options.enginePath.isEmpty()) GTEST_SKIP() << GetParam() << " is not installed";
    config.options.level = 6;
    QStringList log;
    config.log = [&log](const QString& line) { log << line; };
    ASSERT_NO_FATAL_FAILURE(startFirstGame(kTerms, config));
    for (int i = 0; i < 4; ++i)
        ASSERT_NO_FATAL_FAILURE(exchange());
    EXPECT_EQ(human.count(19, 0, 1), 4);
    EXPECT_FALSE(human.moveWasLegal.contains(false));
    EXPECT_EQ(botRefusals(), 0);
    EXPECT_EQ(human.count(25), 0) << "no resignation for want of a move";
    const QString said = log.join(u'\n');
    if (std::string(GetParam()) == "fairy-stockfish") {
        EXPECT_TRUE(said.contains(QStringLiteral("plays with Fairy-Stockfish")))
            << said.toStdString();
        EXPECT_FALSE(said.contains(QStringLiteral("given up"))) << said.toStdString();
    } else if (std::string(GetParam()) == "fake") {
        // The fake names the same move whatever it is asked: refused here, never sent to the
        // table, and the built-in search answers instead.
        EXPECT_TRUE(said.contains(QStringLiteral("no legal move here"))) << said.toStdString();
    } else {
        EXPECT_TRUE(said.contains(QStringLiteral("given up"))) << said.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, BotEngineTest,
                         ::testing::Values("fairy-stockfish", "fake", "missing"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                             return name;
                         });

}  // namespace
}  // namespace xq::server::test
