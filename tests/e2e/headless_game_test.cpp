// Two players and a spectator, each the real table logic over a real connection, play a game
// through the real room server on 127.0.0.1.

#include <gtest/gtest.h>

#include <QTimer>
#include <memory>

#include "../game/table_harness.h"
#include "../support/server_process.h"
#include "game/room_connection.h"

namespace xq {
namespace {

using namespace xq::test;

// One client: the table logic with a fake screen, connected to the server.
struct Client {
    Client(const QString& name, quint16 port) : harness(name) {
        Session& s = harness.session;
        s.strRoomServerAddr = QStringLiteral("127.0.0.1");
        s.strRoomServerPort = QString::number(port);
        connection = std::make_unique<RoomConnection>(s, harness.settings);
        connection->onRoomMessage = [this](const tablemsg::ParsedEvent& c) {
            harness.table.roomEvent(c);
        };
        connection->onGameMessage = [this](const tablemsg::ParsedEvent& c) {
            harness.table.gameEvent(c);
        };
        connection->onEnd = [this](bool) { ended = true; };
        harness.table.send = [this](const Cmd& c) { connection->send(c); };
        harness.table.holdMessages = [this](bool hold) { connection->holdMessages(hold); };
        // The user confirms whatever terms the dialog shows, a moment after it opens.
        harness.screen.onGameSetOpened = [this] {
            QTimer::singleShot(0, [this] { harness.table.onGameSetButton(0); });
        };
        connection->ConnectRoomServer();
    }

    Table& table() { return harness.table; }
    GameState& game() { return harness.game; }
    Session& session() { return harness.session; }
    long moves() { return qiPuUpperBound(harness.game.QiPuData); }
    // Two clicks on display points, as the user makes them.
    void click(int fromRow, int fromCol, int toRow, int toCol) {
        table().onBoardClick(true, fromRow, fromCol);
        table().onBoardClick(true, toRow, toCol);
    }

    Harness harness;
    std::unique_ptr<RoomConnection> connection;
    bool ended = false;
};

TEST(HeadlessGame, TwoPlayersAndASpectatorPlayAGameWithUndoDrawAndResignation) {
    ServerProcess server;
    ASSERT_NE(server.port(), 0);
    Client red(QStringLiteral("红方"), server.port());
    ASSERT_TRUE(Eventually([&] { return red.session().strWatchUserName == "红方"; }));
    Client black(QStringLiteral("黑方"), server.port());
    ASSERT_TRUE(Eventually([&] { return black.session().SeatUsers[1].strUserName == "黑方"; }));
    Client watcher(QStringLiteral("看客"), server.port());
    ASSERT_TRUE(Eventually([&] { return watcher.session().blnLookOn; }));
    ASSERT_TRUE(
        Eventually([&] { return red.session().blnCanStart && black.session().blnCanStart; }));

    // Start, the owner confirms the terms, the other agrees: the game starts, red moves first.
    red.table().DoUserOpt(kBtnStart);
    ASSERT_TRUE(Eventually([&] {
        return !red.game().blnNoGame && !black.game().blnNoGame && !watcher.game().blnNoGame;
    })) << server.log().constData();
    EXPECT_EQ(red.game().bteRedView, 1);
    EXPECT_EQ(black.game().bteRedView, 0);
    EXPECT_EQ(red.game().bteGameState, 0);
    EXPECT_EQ(watcher.session().bteMySeat, 0);

    // Red: cannon to the centre; black (seen turned): horse out; red horse; black chariot up.
    red.click(7, 7, 7, 4);
    ASSERT_TRUE(Eventually([&] { return black.moves() == 1 && watcher.moves() == 1; }));
    black.click(9, 7, 7, 6);
    ASSERT_TRUE(Eventually([&] { return red.moves() == 2 && watcher.moves() == 2; }));
    red.click(9, 7, 7, 6);
    ASSERT_TRUE(Eventually([&] { return black.moves() == 3; }));
    black.click(9, 8, 8, 8);
    ASSERT_TRUE(Eventually([&] { return red.moves() == 4 && watcher.moves() == 4; }));
    EXPECT_EQ(red.game().bteQiPan[1][0], 1);

    // Red asks to take back; black agrees: two half-moves go on every client.
    black.harness.screen.answerBox = [](const MsgBoxInfo&) { return 0; };
    red.table().DoUserOpt(kBtnUndo);
    ASSERT_TRUE(Eventually([&] {
        return red.moves() == 2 && black.moves() == 2 && watcher.moves() == 2;
    })) << server.log().constData();
    EXPECT_EQ(red.game().bteGameState, 0) << "red's turn again";
    EXPECT_FALSE(red.table().blnWaitAnswer);
    EXPECT_EQ(watcher.harness.screen.boxNotes().last(), "红方 需要悔棋！");
    for (const QString& note : red.harness.screen.boxNotes()) {
        EXPECT_FALSE(note.contains("想悔棋")) << "the asker is never asked his own question";
    }

    // Red offers a draw; black refuses.
    black.harness.screen.answerBox = [](const MsgBoxInfo&) { return 1; };
    red.table().DoUserOpt(kBtnDraw);
    ASSERT_TRUE(Eventually(
        [&] { return red.harness.screen.boxNotes().contains("黑方 不同意和棋，请继续下棋！"); }));
    EXPECT_FALSE(red.table().blnWaitAnswer);

    // One more move each, then all three boards and move lists agree.
    red.click(9, 0, 8, 0);
    ASSERT_TRUE(Eventually([&] { return black.moves() == 3 && watcher.moves() == 3; }));
    EXPECT_EQ(red.game().lstQiPu.lines(), black.game().lstQiPu.lines());
    EXPECT_EQ(red.game().lstQiPu.lines(), watcher.game().lstQiPu.lines());
    EXPECT_EQ(red.game().bteQiPan, black.game().bteQiPan);
    EXPECT_EQ(red.game().bteQiPan, watcher.game().bteQiPan);
    EXPECT_EQ(watcher.game().bteShowQiPan, red.game().bteShowQiPan) << "the spectator watches red";

    // Black resigns: black lost, red's seat gets the win everywhere, colours swap.
    black.table().DoUserOpt(kBtnResign);
    ASSERT_TRUE(Eventually([&] {
        return red.game().bteGameState == 50 && black.game().bteGameState == 50 &&
               watcher.game().bteGameState == 50;
    }));
    for (Client* c : {&red, &black, &watcher}) {
        EXPECT_EQ(c->game().lngWinCount, (std::array<std::int32_t, 2>{1, 0}));
    }
    EXPECT_TRUE(red.harness.screen.boxNotes().last().startsWith("本局结束：黑方 输！原因："));
    EXPECT_EQ(red.harness.screen.sounds.filter("GameWin").size(), 1);
    EXPECT_EQ(black.harness.screen.sounds.filter("GameFail").size(), 1);
    EXPECT_EQ(red.game().bteRedView, 0);
    EXPECT_TRUE(red.session().blnCanStart);
    if (HasFailure() || qEnvironmentVariableIsSet("XQ_E2E_LOG")) server.dumpLog();
}

}  // namespace
}  // namespace xq
