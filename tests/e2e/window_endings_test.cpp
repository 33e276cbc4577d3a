// The ways a table window's session ends or a step breaks off: the server gone in the middle of a
// game, the user closing the window in a running game, the opponent leaving while the terms are
// open, and an agreed load that fails while the user is still choosing the file.

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "../support/file_dialog_answer.h"
#include "../support/move_policies.h"
#include "../support/quick_opponent.h"
#include "records/record_file.h"
#include "replay/replay_window.h"
#include "ui/game_set_dialog.h"
#include "window_player.h"

namespace xq {
namespace {

using namespace xq::test;

// A window in seat 0 and a quick opponent in seat 1, a game started and `moves` half-moves
// played.
struct Table2 {
    explicit Table2(int moves = 0)
        : me("棋手", server.port(), XQ_TEST_GAME_DIR),
          quick(QStringLiteral("快手"), server.port()) {
        EXPECT_TRUE(
            Eventually([&] { return me.state.session.SeatUsers[1].strUserName == "快手"; }));
        if (moves < 0) return;  // seated, no game
        EXPECT_TRUE(
            Eventually([&] { return me.game().bteOptButState[kBtnStart] == kButtonNormal; }));
        me.command(kBtnStart);
        EXPECT_TRUE(Eventually([&] { return me.window->gameSetDialog() != nullptr; }));
        me.window->gameSetDialog()->button(0)->click();
        EXPECT_TRUE(Eventually([&] { return !me.game().blnNoGame; }));
        while (me.moves() < moves) {
            EXPECT_TRUE(Eventually([&] { return me.myTurn(); }));
            Move m;
            EXPECT_TRUE(LongestMove(me.game().bteQiPan, me.mySide(), m));
            me.play(m);
            const long after = me.moves() + 2;
            EXPECT_TRUE(Eventually([&] { return me.moves() == after; }));
        }
    }
    ServerProcess server;
    WindowPlayer me;
    QuickOpponent quick;
    BoxAnswerer boxes;
};

// A game played through the window and resigned; its replay saved as PGN tells how it ended and
// who played it.
TEST(WindowEndings, AFinishedGameSavedAsPgnCarriesItsResultPlayersDateAndEvent) {
    ServerProcess server;
    WindowPlayer me("棋手", server.port(), XQ_TEST_GAME_DIR);
    QuickOpponent quick(QStringLiteral("快手"), server.port());
    BoxAnswerer boxes;
    ASSERT_TRUE(Eventually([&] { return me.game().bteOptButState[kBtnStart] == kButtonNormal; }));
    me.command(kBtnStart);
    ASSERT_TRUE(Eventually([&] { return me.window->gameSetDialog() != nullptr; }));
    me.window->gameSetDialog()->button(0)->click();
    ASSERT_TRUE(Eventually([&] { return !me.game().blnNoGame; }));
    while (me.moves() < 4) {  // two moves each: a game that counts
        ASSERT_TRUE(Eventually([&] { return me.myTurn(); }));
        Move m;
        ASSERT_TRUE(LongestMove(me.game().bteQiPan, me.mySide(), m));
        me.play(m);
        const long after = me.moves() + 2;
        ASSERT_TRUE(Eventually([&] { return me.moves() >= after; }));
    }
    ASSERT_TRUE(Eventually([&] { return me.myTurn(); }));
    const bool meRed = me.game().bteRedView == 1;
    const long played = me.moves();
    const QDate before = QDate::currentDate();
    me.command(kBtnResign);
    ASSERT_TRUE(Eventually([&] { return quick.gamesEnded == 1 && me.game().blnNoGame; }));
    ASSERT_TRUE(Eventually([&] { return boxes.seen.contains("本局结束：棋手 输！原因：认输"); }))
        << boxes.seen.join('|').toStdString();
    const QDate after = QDate::currentDate();

    me.command(kBtnReplay);  // the game just played, without a dialog
    ReplayWindow* replay = me.window->replayWindow();
    ASSERT_NE(replay, nullptr);
    ASSERT_EQ(replay->model().moves(), played);
    QTemporaryDir dir;
    const QString path = dir.filePath("resigned.pgn");
    replay->askFileName = [&](const QString&, bool forSave, const QString&) {
        return forSave ? path : QString();
    };
    replay->command(1)->click();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString pgn = QString::fromUtf8(file.readAll());
    const QString result = meRed ? "0-1" : "1-0";
    for (const QString& tag : {QStringLiteral("[Event \"中国象棋\"]"),
                               QStringLiteral("[Red \"%1\"]").arg(meRed ? "棋手" : "快手"),
                               QStringLiteral("[Black \"%1\"]").arg(meRed ? "快手" : "棋手"),
                               QStringLiteral("[Result \"%1\"]").arg(result)}) {
        EXPECT_TRUE(pgn.contains(tag)) << tag.toStdString() << " in\n" << pgn.toStdString();
    }
    const QRegularExpressionMatch date =
        QRegularExpression(R"re(\[Date "(\d{4}\.\d\d\.\d\d)"\])re").match(pgn);
    ASSERT_TRUE(date.hasMatch()) << pgn.toStdString();
    const QDate day = QDate::fromString(date.captured(1), "yyyy.MM.dd");
    EXPECT_TRUE(day == before || day == after) << date.captured(1).toStdString();
    EXPECT_TRUE(pgn.trimmed().endsWith(result)) << "the moves end with the result";
}

TEST(WindowEndings, TheServerGoneMidGameIsToldAndTheRecordCanBeSaved) {
    Table2 t(4);
    ASSERT_EQ(t.me.moves(), 4);
    QTemporaryDir dir;
    const QString path = dir.filePath("rescued.drak");
    QString told;
    bool offered = false;
    t.me.window->askConnectionEnd = [&](const QString& text, bool offerSave) {
        told = text;
        offered = offerSave;
        return true;
    };
    // The user names the file in the dialog that follows.
    FileDialogAnswer chooser(path);
    t.server.kill();
    ASSERT_TRUE(Eventually([&] { return t.me.unloads == 1; }));
    EXPECT_TRUE(chooser.answered()) << "the save dialog opened";
    EXPECT_EQ(told, "与服务器的连接已断开");
    EXPECT_TRUE(offered);
    QiPuHistory saved;
    ASSERT_TRUE(LoadQiPuFile(path, saved)) << "the running game is on disk";
    EXPECT_EQ(qiPuUpperBound(saved), 4);
    EXPECT_FALSE(t.me.window->isVisible());
}

TEST(WindowEndings, AServerThatStopsInOrderSaysWhy) {
    Table2 t(4);
    QString told;
    bool offered = false;
    t.me.window->askConnectionEnd = [&](const QString& text, bool offerSave) {
        told = text;
        offered = offerSave;
        return false;
    };
    ASSERT_TRUE(t.server.stop()) << "SIGTERM ends the server with status 0";
    ASSERT_TRUE(Eventually([&] { return t.me.unloads == 1; }));
    EXPECT_EQ(told, QStringLiteral("与服务器的连接已断开\n原因：服务器即将关闭，"
                                   "未下完的对局在服务器重新启动后继续"));
    EXPECT_TRUE(offered) << "the running game may still be saved";
}

TEST(WindowEndings, ARefusedLoginSaysWhy) {
    ServerProcess server;
    WindowPlayer first("棋手", server.port());
    ASSERT_TRUE(Eventually([&] { return first.state.session.strWatchUserName == "棋手"; }));
    WindowPlayer second("棋手", server.port());
    QString told;
    bool offered = true;
    second.window->askConnectionEnd = [&](const QString& text, bool offerSave) {
        told = text;
        offered = offerSave;
        return offerSave;
    };
    ASSERT_TRUE(Eventually([&] { return second.unloads == 1; }));
    // Each window has its own ticket: the name is the first one's.
    EXPECT_EQ(told, "游戏服务器拒绝了登录。\n原因：用户名 棋手 已被他人使用");
    EXPECT_FALSE(offered) << "no game, nothing to save";
    EXPECT_EQ(first.unloads, 0);
}

TEST(WindowEndings, EscapeOnTheTermsLeavesTheTableWithoutAWord) {
    Table2 t(-1);
    bool asked = false;
    t.me.window->askConnectionEnd = [&](const QString&, bool) { return asked = true; };
    ASSERT_TRUE(Eventually([&] { return t.me.game().bteOptButState[kBtnStart] == kButtonNormal; }));
    t.me.command(kBtnStart);
    ASSERT_TRUE(Eventually([&] { return t.me.window->gameSetDialog() != nullptr; }));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, "\x1b");
    QApplication::sendEvent(t.me.window->gameSetDialog(), &escape);
    // The server takes the leave and closes the connection; the window goes quietly.
    ASSERT_TRUE(Eventually([&] { return t.me.unloads == 1; }));
    EXPECT_FALSE(asked) << "leaving was the user's choice: no lost-connection box";
    EXPECT_TRUE(t.server.log().contains("棋手 leaves the table"));
}

// The owner's terms are open when the opponent leaves: the stage is over, and the dialog closes
// without answering for the owner, who stays at the table waiting for a new opponent.
TEST(WindowEndings, TheOpponentLeavingClosesTheTermsUnanswered) {
    Table2 t(-1);
    ASSERT_TRUE(Eventually([&] { return t.me.game().bteOptButState[kBtnStart] == kButtonNormal; }));
    t.me.command(kBtnStart);
    ASSERT_TRUE(Eventually([&] { return t.me.window->gameSetDialog() != nullptr; }));
    const QPointer<GameSetDialog> dialog = t.me.window->gameSetDialog();
    t.quick.leave();
    ASSERT_TRUE(Eventually([&] { return t.me.window->gameSetDialog() == nullptr; }))
        << "the dialog closes";
    EXPECT_TRUE(dialog.isNull() || !dialog->isVisible());
    ASSERT_TRUE(Eventually([&] { return t.me.game().bteOptButState[kBtnStart] == kButtonNormal; }))
        << "the table waits for players again";
    EXPECT_EQ(t.me.unloads, 0);
    EXPECT_FALSE(t.me.window->table().leftTable());
    EXPECT_FALSE(t.server.log().contains("棋手 leaves the table"));
    EXPECT_FALSE(t.server.log().contains("from 棋手")) << t.server.log().constData();
}

TEST(WindowEndings, ClosingTheWindowInAGameIsRunningAwayAtOnce) {
    Table2 t(2);
    QString reason;
    int loser = -1;
    t.quick.onMessage = [&](const Cmd& m) {
        if (byteAt(m, 0) != code::kGameEnd || m.size() < 10) return;
        loser = byteAt(m, 9);
        reason = CmdToString(m, 10);
    };
    t.boxes.answer = [](const MsgBoxInfo& info) {
        return info.yesCaption == QStringLiteral("强退") ? 0 : 1;
    };
    t.me.window->close();
    ASSERT_TRUE(Eventually([&] { return t.me.unloads == 1; }));
    EXPECT_TRUE(t.boxes.seen.contains(
        "大伙正在游戏，如果你现在退出是很不道德的，并且系统会算你逃跑！你是否强退？"));
    // Long before the minute a broken connection is given to come back.
    ASSERT_TRUE(Eventually([&] { return t.quick.gamesEnded == 1; }, 30000));
    EXPECT_EQ(loser, 0);
    EXPECT_EQ(reason, "逃跑（双方各走满两步才计分，本局不计分）") << "too early to count";
}

TEST(WindowEndings, ALoadThatFailsWhileTheFileIsChosenLeavesTheTableIdle) {
    Table2 t(-1);
    ASSERT_TRUE(Eventually([&] { return t.me.game().bteOptButState[kBtnLoad] == kButtonNormal; }));
    t.boxes.answer = [](const MsgBoxInfo&) { return 0; };  // yes, ask the opponent
    // The opponent agrees; the user reads the box and the file dialog opens (its loop runs from
    // here on, so the rest happens from a timer). Then the opponent leaves and the server gives
    // the load up.
    bool dialogOpened = false;
    const auto whileChoosing = FileDialogAnswer::leftToTheProgram(30000);
    whileChoosing->look = [&](QFileDialog&) {
        dialogOpened = true;
        t.quick.leave();
    };
    t.me.command(kBtnLoad);
    ASSERT_TRUE(Eventually([&] { return dialogOpened && t.me.window->fileDialog() == nullptr; }))
        << "the dialog whose choice no longer matters is closed";
    ASSERT_TRUE(Eventually([&] { return t.boxes.seen.contains("棋手 载入棋谱数据失败！"); }));
    ASSERT_TRUE(Eventually([&] { return t.me.game().bteOptButState[kBtnStart] == kButtonNormal; }));
    EXPECT_EQ(t.me.game().bteGameState, kStateNoGame);
    EXPECT_FALSE(t.me.window->table().blnWaitAnswer);
    EXPECT_EQ(t.me.game().bteOptButState[kBtnLoad], kButtonNormal);
    EXPECT_FALSE(t.server.log().contains("from 棋手"))
        << "nothing was sent late: " << t.server.log().constData();
}

}  // namespace
}  // namespace xq
