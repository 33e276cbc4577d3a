// Whole games as a player has them: a real table window (animation on, the real event loop and
// the generated skins) against the real server, with opponents that answer quickly: the
// computer, and a scripted player that replies the instant a move is echoed and resigns right
// behind its last move.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "../support/move_policies.h"
#include "../support/quick_opponent.h"
#include "quick_play_checks.h"
#include "records/record_file.h"

namespace xq {
namespace {

using namespace xq::test;

constexpr int kTurnMs = 30000;  // the computer thinks about a second; sanitizers slow it down

// Counts the moments at which a message waits in the window's inbox while a received move slides:
// the situation in which a quick reply used to be lost.
struct SlideWatch {
    explicit SlideWatch(WindowPlayer& p) {
        timer.setInterval(2);
        QObject::connect(&timer, &QTimer::timeout, [this, &p] {
            if (p.window->table().moving() && p.window->connection().socket().inbox().waiting() > 0)
                ++held;
        });
        timer.start();
    }
    QTimer timer;
    int held = 0;
};

// Plays with `choose` until the game ends or `resignOnTurn` of the own turns is reached, checking
// at every turn that the window shows every move played so far.
void PlayGame(WindowPlayer& me, bool (*choose)(const QiPan&, int, Move&), int resignOnTurn) {
    long expected = me.game().bteRedView == 1 ? 0 : 1;
    for (int turn = 0; turn < 150; ++turn) {
        ASSERT_TRUE(Eventually([&] { return me.myTurn() || me.game().blnNoGame; }, kTurnMs))
            << "turn " << turn << ": the window waits for a move it never showed";
        // A player looks before he clicks: what arrived right behind the move is handled first.
        Eventually([] { return false; }, 100);
        if (me.game().blnNoGame) return;
        ASSERT_EQ(me.moves(), expected) << "turn " << turn;
        ExpectShowsTheGame(me, "turn " + std::to_string(turn));
        if (turn == resignOnTurn) {
            me.command(kBtnResign);
            return;
        }
        Move m;
        ASSERT_TRUE(choose(me.game().bteQiPan, me.mySide(), m));
        me.play(m);
        expected += 2;
    }
    FAIL() << "the game did not end";
}

// The table after a game: idle, the finished game kept for Save and Replay.
void ExpectIdleAfterTheGame(WindowPlayer& me) {
    ASSERT_TRUE(Eventually(
        [&] {
            return me.game().blnNoGame && me.game().bteGameState == kStateNoGame &&
                   me.game().bteOptButState[kBtnStart] == kButtonNormal;
        },
        kTurnMs));
    Table& t = me.window->table();
    for (int timer = 0; timer < 4; ++timer)
        EXPECT_FALSE(t.timerEnabled(static_cast<TableTimer>(timer))) << "timer " << timer;
    EXPECT_EQ(me.game().bteOptButState[kBtnSave], kButtonNormal);
    EXPECT_EQ(me.game().bteOptButState[kBtnReplay], kButtonNormal);
    EXPECT_FALSE(t.blnWaitAnswer);
}

TEST(QuickPlay, TwoGamesAgainstTheComputerToResignationAndToMate) {
    ServerProcess server({"--bot", "--bot-level", "3"});
    ASSERT_NE(server.port(), 0);
    WindowPlayer me("棋手", server.port(), XQ_TEST_GAME_DIR);
    ASSERT_TRUE(me.window);
    BoxAnswerer boxes;
    SlideWatch slides(me);

    // Game 1: red, long moves (long slides), resigned on the sixth turn.
    StartFirstGame(me, kTurnMs);
    EXPECT_EQ(me.game().bteRedView, 1);
    PlayGame(me, LongestMove, 5);
    ASSERT_TRUE(
        Eventually([&] { return boxes.seen.contains("本局结束：棋手 输！原因：认输"); }, kTurnMs))
        << boxes.seen.join(" | ").toStdString();
    ExpectIdleAfterTheGame(me);
    EXPECT_EQ(qiPuUpperBound(me.game().finishedGame), 10);
    EXPECT_GT(slides.held, 0) << "no reply came while a piece slid: the game did not test that";

    // Game 2 from the Start button: black now, giving everything away until the computer mates.
    me.command(kBtnStart);
    ASSERT_TRUE(Eventually([&] { return !me.game().blnNoGame; }, kTurnMs));
    EXPECT_EQ(me.game().bteRedView, 0) << "the colours alternate";
    PlayGame(me, GiveAwayMove, -1);
    ASSERT_TRUE(
        Eventually([&] { return boxes.seen.contains("本局结束：棋手 输！原因：被将死"); }, kTurnMs))
        << boxes.seen.join(" | ").toStdString();
    ExpectIdleAfterTheGame(me);
    Position end;
    std::string why;
    ASSERT_TRUE(Replay(me.game().finishedGame, end, why)) << why;
    MoveList moves;
    generateLegalMoves(end, moves);
    EXPECT_TRUE(moves.empty() && kingExposed(end, kBlack)) << "the kept game ends in the mate";
    if (HasFailure()) server.dumpLog();
}

TEST(QuickPlay, AnOpponentThatRepliesAtOnceAndResignsBehindItsLastMove) {
    ServerProcess server;
    ASSERT_NE(server.port(), 0);
    WindowPlayer me("棋手", server.port(), XQ_TEST_GAME_DIR);
    ASSERT_TRUE(me.window);
    ASSERT_TRUE(Eventually([&] { return me.state.session.strWatchUserName == "棋手"; }));
    QuickOpponent quick(QStringLiteral("快手"), server.port());
    quick.resignAfter = 12;
    BoxAnswerer boxes;
    SlideWatch slides(me);

    StartFirstGame(me, kTurnMs);
    PlayGame(me, LongestMove, -1);
    ASSERT_TRUE(Eventually([&] { return boxes.seen.contains("本局结束：快手 输！原因：认输"); }))
        << boxes.seen.join(" | ").toStdString();
    ExpectIdleAfterTheGame(me);
    EXPECT_EQ(qiPuUpperBound(me.game().finishedGame), 12) << "the last move is shown and kept";
    EXPECT_GT(slides.held, 0);

    // The next game: the opponent is red and moves the instant the game starts.
    me.command(kBtnStart);
    ASSERT_TRUE(Eventually([&] { return quick.gamesEnded == 2 || me.moves() > 0; }));
    PlayGame(me, LongestMove, -1);
    ASSERT_TRUE(Eventually([&] { return quick.gamesEnded == 2; }));
    ExpectIdleAfterTheGame(me);
    EXPECT_EQ(me.game().lngWinCount, (std::array<std::int32_t, 2>{2, 0}));
    EXPECT_EQ(qiPuUpperBound(me.game().finishedGame), 13) << "red resigned behind its seventh move";
    if (HasFailure()) server.dumpLog();
}

}  // namespace
}  // namespace xq
