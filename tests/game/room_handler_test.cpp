#include <gtest/gtest.h>

#include "table_harness.h"

namespace xq {
namespace {

using namespace xq::test;

TEST(RoomMessages, IdentityAndListSeatThePlayers) {
    Harness h(QStringLiteral("黑方"));
    h.room(WithText({130, 3}, QStringLiteral("黑方`黑方")));
    EXPECT_EQ(h.session.strWatchUserName, "黑方");
    EXPECT_EQ(h.table.users.ownName(), "黑方");
    // Chairs 4 and 7 are seats 0 and 1; the spectator fills no seat.
    h.room(WithText({130, 2}, QStringList{Row("红方", 4, {}, 2005, 1, 0),
                                          Row("黑方", 7, {}, 12, 0, 1), Row("看客", 0, "红方")}
                                  .join(u'\n')));
    EXPECT_EQ(h.session.SeatUsers[0].strUserName, "红方");
    EXPECT_EQ(h.session.SeatUsers[0].lngFaceNo, 2005);
    EXPECT_TRUE(h.session.SeatUsers[0].intHandUp);
    EXPECT_FALSE(h.session.SeatUsers[0].intOffline);
    EXPECT_EQ(h.session.SeatUsers[1].strUserName, "黑方");
    EXPECT_TRUE(h.session.SeatUsers[1].intOffline);
    EXPECT_EQ(h.session.bteMySeat, 1);
    EXPECT_FALSE(h.session.blnLookOn);
    EXPECT_EQ(h.session.bteSeatPanel, (std::array<std::uint8_t, 2>{0, 1}));
    EXPECT_EQ(h.table.chat.addressees(), (QStringList{"所有人", "红方", "黑方", "看客"}));
    for (const char* call : {"face 0", "net 0", "hand 0", "face 1", "net 1", "hand 1"}) {
        EXPECT_TRUE(h.screen.called(call)) << call;
    }
}

TEST(RoomMessages, ArrivalsAndDepartures) {
    Harness h;
    h.seat("红方", "");
    h.screen.calls.clear();

    // A player arriving at chair 3 takes seat 1.
    h.room(WithText({130, 4}, Row("黑方", 3, {}, 7)));
    EXPECT_EQ(h.session.SeatUsers[1].strUserName, "黑方");
    EXPECT_EQ(h.session.SeatUsers[1].lngFaceNo, 7);
    EXPECT_TRUE(h.screen.called("face 1"));
    EXPECT_EQ(h.table.chat.lines().back().fields[0], "黑方 进来了...");

    // The same arrival again is not shown twice.
    const auto lines = h.table.chat.lines().size();
    h.room(WithText({130, 4}, Row("黑方", 3)));
    EXPECT_EQ(h.table.chat.lines().size(), lines);

    // A spectator through 130/4 is listed but takes no seat; through 130/0 it also sounds.
    h.room(WithText({130, 4}, Row("甲", 0, "红方")));
    EXPECT_FALSE(h.table.users.findRow("甲").isEmpty());
    EXPECT_EQ(h.session.SeatUsers[0].strUserName, "红方");
    h.room(WithText({130, 0}, Row("乙", 0, "红方")));
    EXPECT_EQ(h.table.chat.lines().back().fields[0], "乙 进来了，正在旁观 红方 游戏...");
    EXPECT_EQ(h.screen.sounds.back(), "PangGuanIn.wav");
    // 130/0 for a seated player's row is not a spectator arrival.
    h.room(WithText({130, 0}, Row("丙", 1)));
    EXPECT_TRUE(h.table.users.findRow("丙").isEmpty());

    // Offline and back.
    h.screen.boxes.clear();
    h.table.msgs.ShowMsg(0, 0, "notice", {}, 0, {}, {}, true);
    h.room(WithText({108, 3}, QStringLiteral("黑方")));
    EXPECT_TRUE(h.session.SeatUsers[1].intOffline);
    EXPECT_EQ(h.table.msgs.openBoxes(), 0);
    EXPECT_EQ(h.table.chat.lines().back().fields[0], "不好，黑方 掉线了...");
    h.room(WithText({108, 0}, QStringLiteral("黑方")));
    EXPECT_FALSE(h.session.SeatUsers[1].intOffline);
    EXPECT_EQ(h.table.chat.lines().back().fields[0], "哈哈，黑方 终于上线了...");
    // A name in no seat still closes the boxes.
    h.table.msgs.ShowMsg(0, 0, "notice", {}, 0, {}, {}, true);
    h.room(WithText({108, 3}, QStringLiteral("路人")));
    EXPECT_EQ(h.table.msgs.openBoxes(), 0);

    // A spectator leaves.
    h.room(WithText({108, 4}, QStringLiteral("乙")));
    EXPECT_TRUE(h.table.users.findRow("乙").isEmpty());
    EXPECT_EQ(h.screen.sounds.back(), "PangGuanOut.wav");
    EXPECT_FALSE(h.table.chat.addressees().contains("乙"));

    // A player leaves: the seat is cleared.
    h.room(WithText({110, 0}, QStringLiteral("黑方")));
    EXPECT_EQ(h.session.SeatUsers[1].strUserName, "");
    EXPECT_EQ(h.session.SeatUsers[1].lngFaceNo, 0);
    EXPECT_EQ(h.table.chat.lines().back().fields[0], "黑方 走了...");
    // Unknown names and other sub-codes change nothing.
    h.room(WithText({110, 0}, QStringLiteral("无名")));
    h.room(WithText({110, 1}, QStringLiteral("红方")));
    EXPECT_EQ(h.session.SeatUsers[0].strUserName, "红方");
}

TEST(RoomMessages, RowUpdateChatHideAndReset) {
    Harness h;
    h.seat("红方", "黑方");
    h.room(WithText({108, 6}, Row("黑方", 1, {}, 99)));
    EXPECT_EQ(splitFields(h.table.users.findRow("黑方"))[12], "99");
    h.room(WithText({105, 0, 0}, QStringLiteral("大厅公告")));
    EXPECT_EQ(h.table.chat.lines().back().kind, ChatModel::Kind::Room);
    EXPECT_EQ(h.table.chat.lines().back().fields[0], "大厅公告");
    h.room(Bytes({130, 5, 1}));
    h.room(Bytes({130, 5, 0}));
    EXPECT_TRUE(h.screen.called("hidden 1"));
    EXPECT_TRUE(h.screen.called("hidden 0"));

    h.session.blnCanStart = true;
    h.session.bteGameStarted = 1;
    h.game.lngWinCount = {2, 3};
    h.table.chat.setDefaultAddressee("黑方");
    h.table.msgs.ShowMsg(0, 0, "notice", {}, 0, {}, {}, true);
    h.screen.calls.clear();
    h.room(Bytes({130, 1}));
    EXPECT_EQ(h.table.msgs.openBoxes(), 0);
    EXPECT_EQ(h.table.msgs.lngMsgObjectUBound(), -1);
    EXPECT_EQ(h.session.SeatUsers[0].strUserName, "");
    EXPECT_EQ(h.game.lngWinCount, (std::array<std::int32_t, 2>{0, 0}));
    EXPECT_FALSE(h.session.blnCanStart);
    EXPECT_EQ(h.session.bteGameStarted, 0);
    EXPECT_EQ(h.table.users.rowCount(), 0);
    EXPECT_TRUE(h.table.chat.lines().empty());
    EXPECT_EQ(h.table.chat.defaultAddressee(), "所有人");
    for (const char* call : {"hideMarkers", "frame", "gameBack", "qiPan"})
        EXPECT_TRUE(h.screen.called(call)) << call;
}

TEST(RoomMessages, WaitingForPlayersEnablesStartAndStartSendsTheRightMessage) {
    Harness h;
    h.seat("红方", "黑方");
    h.room(WithText({111, 0}, QStringLiteral("1`0`0`0`0")));
    EXPECT_EQ(h.session.bteGameStarted, 0);
    EXPECT_TRUE(h.session.blnCanStart);
    EXPECT_EQ(h.game.bteOptButState[kBtnStart], kButtonNormal);

    h.table.DoUserOpt(kBtnStart);
    ASSERT_EQ(h.sent.size(), 1u);
    EXPECT_EQ(h.sent.back(), WithText({112, 1}, QStringLiteral("红方")));
    EXPECT_FALSE(h.session.blnCanStart);
    EXPECT_EQ(h.game.bteOptButState[kBtnStart], kButtonDisabled);

    // After a game has been played, Start raises the hand on the game side.
    h.session.bteGameStarted = 1;
    h.session.bteMySeat = 0;
    h.table.DoUserOpt(kBtnStart);
    EXPECT_EQ(h.sent.back(), Bytes({18, 0}));

    // A spectator's Start does nothing.
    h.session.blnLookOn = true;
    h.table.DoUserOpt(kBtnStart);
    EXPECT_EQ(h.sent.size(), 2u);
}

TEST(RoomMessages, SettingsStageInOwnerAndAgreementForm) {
    const QString terms = QStringLiteral("100`1000`10`5`50`0`0`30`0`0`30");
    {
        Harness owner;
        owner.seat("红方", "黑方");
        owner.room(WithText({111, 0}, QStringLiteral("1`0`0`1`0`1`0`") + terms));
        EXPECT_EQ(owner.game.bteRedView, 1);
        EXPECT_EQ(owner.screen.gameSetOpens, 1);
        EXPECT_TRUE(owner.table.gameSet.blnDeskMaster);
        const auto press = owner.table.onGameSetButton(0);
        EXPECT_TRUE(press.close);
        EXPECT_EQ(owner.sent.back(), WithText({112, 0}, QStringLiteral("红方`") + terms));
        EXPECT_EQ(owner.screen.gameSetCloses, 1);
        // Field 5 not set: only the orientation.
        owner.room(WithText({111, 0}, QStringLiteral("1`0`0`0`0`0`0`") + terms));
        EXPECT_EQ(owner.game.bteRedView, 0);
        EXPECT_EQ(owner.screen.gameSetOpens, 1);
        // Six fields: the stage runs, the terms are missing (field 6 is absent, not read past).
        owner.room(WithText({111, 0}, QStringLiteral("1`0`0`0`0`1")));
        // Terms that are not 11 fields: the owner leaves the table.
        owner.room(WithText({111, 0}, QStringLiteral("1`0`0`1`0`1`0`1`2`3")));
        EXPECT_EQ(owner.sent.back(), WithText({110, 0}, QStringLiteral("红方")));
    }
    {
        Harness other(QStringLiteral("黑方"));
        other.seat("红方", "黑方");
        other.room(WithText({111, 0}, QStringLiteral("1`1`0`0`0`1`0`") + terms));
        EXPECT_EQ(other.screen.boxNotes(), (QStringList{"等待桌主进行本桌游戏设置..."}));
        EXPECT_EQ(other.screen.boxes.back().type, 0);
        EXPECT_EQ(other.screen.gameSetOpens, 0);
        // The owner confirms: the notice goes, the terms are shown for agreement.
        other.room(WithText({112, 1}, QStringLiteral("红方`") + terms));
        EXPECT_EQ(other.table.msgs.openBoxes(), 0);
        EXPECT_TRUE(other.session.SeatUsers[0].intHandUp);
        EXPECT_EQ(other.screen.gameSetOpens, 1);
        EXPECT_FALSE(other.table.gameSet.blnDeskMaster);
        other.table.onGameSetButton(0);
        EXPECT_EQ(other.sent.back(), WithText({112, 1}, QStringLiteral("黑方")));
        // Both hands up: both marks are cleared.
        other.room(WithText({112, 2}, QStringLiteral("黑方")));
        EXPECT_FALSE(other.session.SeatUsers[0].intHandUp);
        EXPECT_FALSE(other.session.SeatUsers[1].intHandUp);
        // Refusing leaves the table.
        other.room(WithText({111, 0}, QStringLiteral("1`1`0`0`0`1`1`") + terms));
        other.table.onGameSetButton(1);
        EXPECT_EQ(other.sent.back(), WithText({110, 0}, QStringLiteral("黑方")));
    }
    {
        // The own hand with terms does not open the dialog; an unknown name changes nothing.
        Harness owner;
        owner.seat("红方", "黑方");
        owner.room(WithText({112, 1}, QStringLiteral("红方`") + terms));
        EXPECT_EQ(owner.screen.gameSetOpens, 0);
        EXPECT_TRUE(owner.session.SeatUsers[0].intHandUp);
        owner.room(WithText({112, 1}, QStringLiteral("路人`") + terms));
        EXPECT_EQ(owner.screen.gameSetOpens, 0);
        owner.room(Bytes({112, 1}));
        EXPECT_TRUE(owner.sent.empty());
    }
}

// The settings stage can end under the open dialog: the other player leaves, the table is reset,
// or it goes back to waiting for players. The dialog then closes at once and answers nothing:
// neither its count-down nor a close afterwards speaks for the user.
TEST(RoomMessages, TheSettingsDialogClosesUnansweredWhenItsStageEnds) {
    const QString terms = QStringLiteral("100`1000`10`5`50`0`0`30`0`0`30");
    const struct {
        const char* name;
        bool owner;
        Cmd end;
        bool closes;
    } cases[] = {
        {"owner form, the other player leaves", true, WithText({110, 0}, "黑方"), true},
        {"agreement form, the owner leaves", false, WithText({110, 0}, "红方"), true},
        {"owner form, the table is reset", true, Bytes({130, 1}), true},
        {"agreement form, the table is reset", false, Bytes({130, 1}), true},
        {"owner form, the table waits", true, WithText({111, 0}, "1`0`0`0`0"), true},
        {"agreement form, the table waits", false, WithText({111, 0}, "1`0`0`0`0"), true},
        {"agreement form, a short waiting message", false, WithText({111, 3}, "1"), true},
        {"owner form, the game starts", true,
         Bytes({17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 10, 0, 0, 0, 30}), true},
        {"agreement form, a running game's snapshot", false,
         Bytes({109, 0, 1, 0, 0, 1, 0, 10, 0, 0,    0,  30,   0,
                1,   0, 0, 0, 0, 5, 0, 0,  0, 0x77, 19, 0x74, 0}),
         true},
        {"a spectator leaves", true, WithText({108, 4}, "看客"), false},
        {"a spectator sends a leave", false, WithText({110, 0}, "看客"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h(c.owner ? QStringLiteral("红方") : QStringLiteral("黑方"));
        h.seat("红方", "黑方");
        h.room(WithText({130, 0}, Row("看客", 0, "红方")));
        h.room(WithText({111, 0}, (c.owner ? QStringLiteral("1`0`0`1`0`1`0`")
                                           : QStringLiteral("1`1`0`0`0`1`1`")) +
                                      terms));
        ASSERT_TRUE(h.table.gameSetOpen());
        ASSERT_EQ(h.screen.gameSetOpens, 1);
        for (int i = 0; i < 5; ++i)
            h.table.onGameSetTick();

        if (byteAt(c.end, 0) < 95) {
            h.gameMsg(c.end);
        } else {
            h.room(c.end);
        }
        h.sent.clear();  // what the game itself says (the begun note), not the dialog
        EXPECT_EQ(h.table.gameSetOpen(), !c.closes);
        EXPECT_EQ(h.screen.gameSetCloses, c.closes ? 1 : 0);
        if (!c.closes) continue;
        for (int i = 0; i < 25; ++i)
            EXPECT_FALSE(h.table.onGameSetTick().press) << "tick " << i;
        // The window closes it as a refusal or a confirmation would, had it still been there.
        h.table.onGameSetButton(1);
        h.table.onGameSetButton(0);
        EXPECT_TRUE(h.sent.empty());
        EXPECT_FALSE(h.table.leftTable());
    }
}

TEST(RoomMessages, SnapshotOfAWaitingTableAndOfARunningGame) {
    Harness h;
    h.seat("红方", "黑方");
    h.room(Bytes({109, 0, 0, 0, 1, 0, 1, 3, 0, 2, 0, 10, 0, 0, 0, 30, 1, 50}));
    EXPECT_EQ(h.session.bteGameStarted, 1);
    EXPECT_TRUE(h.session.SeatUsers[0].intHandUp);
    EXPECT_FALSE(h.session.SeatUsers[1].intHandUp);
    EXPECT_EQ(h.game.lngWinCount, (std::array<std::int32_t, 2>{258, 2}));
    EXPECT_EQ(h.game.bteTotalTime, (std::array<std::uint8_t, 3>{0, 10, 0}));
    EXPECT_EQ(h.game.bteStepTime, (std::array<std::uint8_t, 3>{0, 0, 30}));
    EXPECT_EQ(h.game.bteRedView, 0) << "seat 1 has red next";
    EXPECT_EQ(h.game.bteGameState, 50);
    EXPECT_TRUE(h.game.blnNoGame);

    // A running game: red is seat 0 (this user), black to move after one move.
    h.screen.calls.clear();
    h.room(Bytes(
        {109, 0, 1, 0, 0, 1, 0, 10, 0, 0, 0, 30, 0, 1, 0, 0, 0, 0, 5, 0, 0, 0, 0x77, 19, 0x74, 0}));
    EXPECT_EQ(h.game.bteRedView, 1);
    EXPECT_EQ(h.game.bteGameState, 1);
    EXPECT_EQ(h.game.lngWinCount, (std::array<std::int32_t, 2>{1, 0}));
    EXPECT_EQ(h.session.SeatUsers[0].bteTotalUsed, (std::array<std::uint8_t, 3>{0, 0, 5}));
    EXPECT_FALSE(h.game.blnNoGame);
    EXPECT_EQ(qiPuUpperBound(h.game.QiPuData), 1);
    EXPECT_EQ(h.game.bteQiPan[7][4], 19);
    EXPECT_EQ(h.game.bteShowQiPan[7][4], 19);
    EXPECT_EQ(h.game.lstQiPu.lines(), (QStringList{"红1 ：炮二平五"}));
    EXPECT_TRUE(h.table.timerEnabled(TableTimer::QiZiRun)) << "last move marked";
    EXPECT_EQ(h.table.lngRunToRow, 7);
    EXPECT_EQ(h.table.lngRunToCol, 4);
    EXPECT_TRUE(h.table.timerEnabled(TableTimer::UserRunTime));

    // A second snapshot rebuilds the game from scratch.
    h.room(Bytes({109, 0, 1, 0, 1, 0, 0, 10, 0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(qiPuUpperBound(h.game.QiPuData), 0);
    EXPECT_EQ(h.game.bteRedView, 0);
    EXPECT_EQ(h.game.bteShowQiPan[9][4], 4) << "black at the bottom";

    // Short snapshots skip what is missing and never read past the end.
    for (int n = 1; n < 22; ++n) {
        Cmd shortCmd =
            Bytes({109, 0, 1, 0, 0, 1, 0, 10, 0, 0, 0, 30, 0, 1, 0, 0, 0, 0, 5, 0, 0, 0});
        shortCmd.truncate(n);
        h.room(shortCmd);
    }
}

TEST(UserMenu, CaptionsForARow) {
    Harness h;
    h.session.strLevelInfo = QStringLiteral("长工_100`短工_200`地主_8000");
    InitSession(h.session, "/opt/hall/game");
    const QString row = QStringList{"张三", "10086", "250", "200", "李四", "12", "50", "8",
                                    "6",    "5",     "1",   "0",   "3012", "1",  "0",  "0"}
                            .join(u'`');
    const QStringList captions = h.table.userMenuCaptions(row);
    ASSERT_EQ(captions.size(), 8);
    EXPECT_EQ(captions[0], "张三   身份：红钻会员");
    EXPECT_EQ(captions[1], "游戏ID：10086");
    EXPECT_EQ(captions[2], "旁观对象：李四");
    EXPECT_EQ(captions[3], "-");
    EXPECT_EQ(captions[4], "与他（她）交谈");
    EXPECT_EQ(captions[6], "级别:短工   胜率:50%   逃跑率:8%");
    EXPECT_EQ(captions[7], "经验:250   胜:6   输:5   和:1   总局数:12");
    h.session.bteScoreType = 7;
    EXPECT_TRUE(h.table.userMenuCaptions(row)[7].startsWith("积分:250"));
    EXPECT_EQ(h.table.userMenuCaptions(QString(row).replace("3012", "7000"))[0],
              "张三   身份：未知身份");
    EXPECT_TRUE(h.table.userMenuCaptions("a`b`c").isEmpty());

    h.table.onPersonClicked(true, "张三", row);
    EXPECT_EQ(h.screen.menuCaptions.size(), 8);
    h.table.ExecUserMenu(2, "张三");
    EXPECT_EQ(h.table.chat.defaultAddressee(), "所有人");
    h.table.ExecUserMenu(4, "张三");
    EXPECT_EQ(h.table.chat.defaultAddressee(), "张三");
    h.table.onPersonClicked(false, "李四", row);
    EXPECT_EQ(h.table.chat.defaultAddressee(), "李四");
}

TEST(Chat, SendsTenFieldsAndShowsRelayedLines) {
    Harness h;
    h.table.chat.setOwnName("红方");
    const QStringList fields = h.table.chat.composeSend("你好", "#ff0000", "3", false, "12:00:01");
    h.table.sendChat(fields);
    ASSERT_EQ(h.sent.size(), 1u);
    EXPECT_EQ(byteAt(h.sent[0], 0), 1);
    EXPECT_EQ(h.sent[0].count('`'), 9);
    EXPECT_EQ(CmdToString(h.sent[0], 1), "红方`所有人`红方`所有人`12:00:01`你好`#ff0000`3`0`");

    h.gameMsg(
        WithText({1}, QStringLiteral("红方`所有人`红方`所有人`12:00:01`<b>你好</b>`#ff0000`3`0`")));
    ASSERT_FALSE(h.table.chat.lines().empty());
    EXPECT_EQ(h.table.chat.lines().back().fields,
              (QStringList{"红方", "所有人", "12:00:01", "<b>你好</b>", "#ff0000", "3", "0", ""}));
    // The speaker shown is the one the server checked (field 0), whatever field 2 claims.
    h.gameMsg(WithText({1}, QStringLiteral("乙`所有人`甲`丙`12:00:02`我认输了`#000000`3`0`")));
    EXPECT_EQ(h.table.chat.lines().back().fields.mid(0, 2), (QStringList{"乙", "所有人"}));
    const auto before = h.table.chat.lines().size();
    h.gameMsg(WithText({1}, QStringLiteral("a`b`c`d`e`f`g`h`i")));  // nine fields: not shown
    EXPECT_EQ(h.table.chat.lines().size(), before);
}

}  // namespace
}  // namespace xq
