#include <gtest/gtest.h>

#include <QTemporaryFile>

#include "server/bot/bot_game.h"
#include "server/bot/bot_options.h"
#include "server/bot/bot_policy.h"
#include "table_client.h"

namespace xq::server::test {
namespace {

// Game start: red seat 1, which moves first; a 10-minute bank, 20 s a move.
const Cmd kStart = Bytes({17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 10, 0, 0, 0, 20});

Cmd Echo(int seat, int from, int to, int bankSeconds = 0) {
    return Bytes({19, 0, seat, from, 0, to, 0, 0, bankSeconds / 60, bankSeconds % 60});
}

TEST(BotGameTest, FollowsTheEchoesOfAGame) {
    BotGame g;
    ASSERT_TRUE(Start(g, kStart));
    EXPECT_EQ(g.redSeat(), 1);
    EXPECT_EQ(g.toMove(), 1);
    EXPECT_EQ(g.clockOf(1).bankLimitSeconds, 600);
    EXPECT_EQ(g.clockOf(1).stepAllowanceSeconds, 20);
    ASSERT_TRUE(ApplyEcho(g, Echo(1, 0x77, 0x74, 75)));  // red cannon to the centre
    ASSERT_TRUE(ApplyEcho(g, Echo(0, 0x01, 0x22)));      // black horse out
    EXPECT_EQ(g.bankUsed(1), 75);
    EXPECT_EQ(g.moves().size(), 2u);
    EXPECT_EQ(g.position().at(squareOf(7, 4)), makePiece(kRed, kCannon));
    EXPECT_EQ(g.toMove(), 1);
    ASSERT_TRUE(g.undoTwo());
    EXPECT_EQ(g.toMove(), 1) << "the turn stays with the one who asked";
    EXPECT_EQ(g.position().at(squareOf(7, 7)), makePiece(kRed, kCannon));
    EXPECT_FALSE(g.undoTwo()) << "nothing left to take back";
}

// Whatever the echo says, nothing outside the board is read or written and the game does not
// move on.
TEST(BotGameTest, IgnoresEchoesThatDoNotFit) {
    struct Case {
        const char* name;
        Cmd echo;
    };
    const Case cases[] = {
        {"short", Bytes({19, 0, 1, 0x77, 19, 0x74})},
        {"long", Echo(1, 0x77, 0x74) + Bytes({0})},
        {"seat out of range", Echo(7, 0x77, 0x74)},
        {"not this seat's turn", Echo(0, 0x01, 0x22)},
        {"from off the board", Echo(1, 0xA7, 0x74)},
        {"file off the board", Echo(1, 0x79, 0x74)},
        {"to off the board", Echo(1, 0x77, 0x7F)},
        {"empty from-point", Echo(1, 0x55, 0x45)},
        {"the other side's piece", Echo(1, 0x01, 0x22)},
    };
    for (const Case& c : cases) {
        BotGame g;
        ASSERT_TRUE(Start(g, kStart));
        EXPECT_FALSE(ApplyEcho(g, c.echo)) << c.name;
        EXPECT_TRUE(g.moves().empty()) << c.name;
        EXPECT_EQ(g.toMove(), 1) << c.name;
    }
    BotGame idle;
    EXPECT_FALSE(ApplyEcho(idle, Echo(0, 0x77, 0x74))) << "no game running";
}

TEST(BotGameTest, RebuildsARunningGameFromASnapshot) {
    // Red seat 0, seat 1 to move, terms 0:30:00 and 0:00:30, banks 0:00:05 and 0:00:00, and the
    // red cannon's opening move.
    const Cmd snapshot = Bytes(
        {109, 0, 1, 0, 0, 1, 0, 30, 0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0x77, 19, 0x74, 0});
    BotGame g;
    ASSERT_TRUE(Resume(g, snapshot));
    EXPECT_EQ(g.toMove(), 1);
    EXPECT_EQ(g.sideOf(1), kBlack);
    EXPECT_EQ(g.position().sideToMove(), kBlack);
    EXPECT_EQ(g.bankUsed(0), 5);
    EXPECT_EQ(g.clockOf(1).bankLimitSeconds, 1800);
    EXPECT_EQ(g.moves().size(), 1u);

    struct Case {
        const char* name;
        Cmd message;
    };
    Cmd loading = snapshot;
    loading[5] = 10;
    Cmd offBoard = snapshot;
    offBoard[22] = static_cast<char>(0xB7);
    Cmd emptyFrom = snapshot;
    emptyFrom[22] = 0x55;
    const Case refused[] = {
        {"a record still on its way", loading},
        {"a move off the board", offBoard},
        {"a move from an empty point", emptyFrom},
        {"too short", snapshot.left(21)},
        {"no game running", Bytes({109, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 50})},
    };
    for (const Case& c : refused) {
        BotGame other;
        EXPECT_FALSE(Resume(other, c.message)) << c.name;
        EXPECT_FALSE(other.running()) << c.name;
    }
}

TEST(BotPolicyTest, UndoDrawAndResignation) {
    BotPolicy p(BotPolicyConfig{2, -150, -1200, 3});
    EXPECT_TRUE(p.agreeToUndo());
    EXPECT_TRUE(p.agreeToUndo());
    EXPECT_FALSE(p.agreeToUndo()) << "two per game";
    p.newGame();
    EXPECT_TRUE(p.agreeToUndo());

    struct DrawCase {
        int score;
        bool dead;
        bool accept;
    };
    for (const DrawCase c :
         {DrawCase{0, false, false}, DrawCase{-149, false, false}, DrawCase{-150, false, true},
          DrawCase{400, true, true}, DrawCase{-5000, false, true}})
        EXPECT_EQ(p.acceptDraw(c.score, c.dead), c.accept) << c.score;

    // Three bad moves in a row, not three bad moves in all.
    EXPECT_FALSE(p.resignAfter(-1300));
    EXPECT_FALSE(p.resignAfter(-1300));
    EXPECT_FALSE(p.resignAfter(-200));
    EXPECT_FALSE(p.resignAfter(-1300));
    EXPECT_FALSE(p.resignAfter(-1300));
    EXPECT_TRUE(p.resignAfter(-1300));
    p.newGame();
    EXPECT_TRUE(p.resignAfter(-29990)) << "mated whatever it does";
}

TEST(BotOptionsTest, ChecksLevelAndName) {
    struct Case {
        std::optional<QString> level;
        std::optional<QString> name;
        int wantLevel;  // 0: refused
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, 3},
        {QStringLiteral("1"), std::nullopt, 1},
        {QStringLiteral("5"), QStringLiteral("小明"), 5},
        {QStringLiteral("0"), std::nullopt, 0},
        {QStringLiteral("6"), std::nullopt, 0},
        {QStringLiteral("two"), std::nullopt, 0},
        {QStringLiteral(""), std::nullopt, 0},
        {std::nullopt, QStringLiteral(""), 0},
        {std::nullopt, QStringLiteral(" 电脑"), 0},
        {std::nullopt, QStringLiteral("a`b"), 0},
        {std::nullopt, QString(33, u'x'), 0},
    };
    for (const Case& c : cases) {
        const auto parsed = parseBotOptions(c.level, c.name);
        const auto* options = std::get_if<BotOptions>(&parsed);
        EXPECT_EQ(options ? options->level : 0, c.wantLevel)
            << c.level.value_or(QStringLiteral("-")).toStdString() << " / "
            << c.name.value_or(QStringLiteral("-")).toStdString();
        if (options && c.name) {
            EXPECT_EQ(options->name, *c.name);
        }
    }
}

TEST(BotOptionsTest, AnEngineMustBeAProgramAndGivesTheSixthLevel) {
    const QString sh = QStringLiteral("/bin/sh");  // a program that is surely there
    QTemporaryFile text;                           // a file, not a program
    ASSERT_TRUE(text.open());
    text.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    struct Case {
        std::optional<QString> level;
        std::optional<QString> engine;
        int wantLevel;  // 0: refused
    };
    const Case cases[] = {
        {QStringLiteral("6"), sh, 6},
        {std::nullopt, sh, 3},
        {QStringLiteral("7"), sh, 0},
        {QStringLiteral("6"), std::nullopt, 0},
        {std::nullopt, QStringLiteral("/nonexistent/engine"), 0},
        {std::nullopt, text.fileName(), 0},
        {std::nullopt, QStringLiteral("/tmp"), 0},
        {std::nullopt, QStringLiteral(""), 0},
        {std::nullopt, QStringLiteral("sh"), 3},  // found where programs are
    };
    for (const Case& c : cases) {
        const auto parsed = parseBotOptions(c.level, std::nullopt, c.engine);
        const auto* options = std::get_if<BotOptions>(&parsed);
        EXPECT_EQ(options ? options->level : 0, c.wantLevel)
            << c.level.value_or(QStringLiteral("-")).toStdString() << " / "
            << c.engine.value_or(QStringLiteral("-")).toStdString();
        if (options && c.engine) {
            EXPECT_TRUE(options->enginePath.startsWith(u'/'));
        }
    }
}

}  // namespace
}  // namespace xq::server::test
