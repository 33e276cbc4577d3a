#include <gtest/gtest.h>

#include <QTimer>

#include "net/cp936.h"
#include "table_harness.h"

namespace xq {
namespace {

using namespace xq::test;

using Buttons = std::array<std::uint8_t, kOptButtons>;

// Red seat 0 ("红方") against black seat 1 ("黑方"), red to move.
void Playing(Harness& h, const QString& watched = {}) {
    h.seat("红方", "黑方", watched);
    h.start(0);
}

TEST(GameStart, SetsTheGameUpAndAcknowledgesTheFirstOne) {
    Harness h(QStringLiteral("黑方"));
    h.seat("红方", "黑方");
    h.session.blnCanStart = true;
    h.start(0, {0, 20, 0}, {0, 1, 0});
    EXPECT_EQ(h.sent, (std::vector<Cmd>{Bytes({130, 1})}));
    EXPECT_FALSE(h.session.blnCanStart);
    EXPECT_EQ(h.session.bteGameStarted, 1);
    EXPECT_EQ(h.game.bteRedView, 0);
    EXPECT_EQ(h.game.bteGameState, 0);
    EXPECT_EQ(h.game.bteTotalTime, (std::array<std::uint8_t, 3>{0, 20, 0}));
    EXPECT_EQ(h.game.bteStepTime, (std::array<std::uint8_t, 3>{0, 1, 0}));
    EXPECT_FALSE(h.game.blnNoGame);
    EXPECT_EQ(h.game.bteShowQiPan[9][4], 4) << "black at the bottom for the black player";
    EXPECT_EQ(h.screen.sounds, (QStringList{"Begin.wav"}));
    EXPECT_TRUE(h.table.timerEnabled(TableTimer::UserRunTime));
    EXPECT_TRUE(h.table.timerEnabled(TableTimer::UserRunFlag));
    EXPECT_EQ(h.game.bteOptButState, (Buttons{2, 2, 2, 2, 0, 2, 0})) << "red to move, not me";

    // The next game sends no acknowledgement; a short start only closes the boxes.
    h.start(1);
    EXPECT_EQ(h.sent.size(), 1u);
    h.table.msgs.ShowMsg(0, 0, "x", {}, 0, {}, {}, true);
    h.gameMsg(Bytes({17, 0, 0}));
    EXPECT_EQ(h.table.msgs.openBoxes(), 0);
    EXPECT_EQ(h.game.bteGameState, 1);
}

TEST(Moves, EchoIsAppliedListedAnimatedAndPassesTheTurn) {
    Harness h;
    Playing(h);
    h.screen.calls.clear();
    h.screen.sounds.clear();
    h.gameMsg(h.move(0, 7, 7, 7, 4, {0, 0, 9}));
    EXPECT_EQ(h.game.bteQiPan[7][4], 19);
    EXPECT_EQ(h.game.bteQiPan[7][7], 0);
    EXPECT_EQ(h.game.bteShowQiPan[7][4], 19);
    EXPECT_EQ(h.game.QiPuData.back(), (QiPuItem{0x77, 19, 0x74, 0}));
    EXPECT_EQ(h.game.lstQiPu.lines(), (QStringList{"红1 ：炮二平五"}));
    EXPECT_EQ(h.game.lstQiPu.selectedRow(), 0);
    EXPECT_EQ(h.session.SeatUsers[0].bteTotalUsed, (std::array<std::uint8_t, 3>{0, 0, 9}));
    EXPECT_TRUE(h.screen.called("animate 7,7->7,4 19"));
    EXPECT_EQ(h.table.lngRunFromRow, 7);
    EXPECT_EQ(h.table.lngRunToCol, 4);
    EXPECT_EQ(h.screen.sounds, (QStringList{"Go.wav"}));
    EXPECT_EQ(h.game.bteGameState, 1);

    // A move from the seat not to move changes nothing, not even the clocks.
    h.session.SeatUsers[1].bteStepUsed = {0, 0, 7};
    const GameState* before = &h.game;
    const auto history = h.game.QiPuData;
    h.gameMsg(h.move(0, 9, 0, 8, 0));
    EXPECT_EQ(before->QiPuData, history);
    EXPECT_EQ(h.session.SeatUsers[1].bteStepUsed, (std::array<std::uint8_t, 3>{0, 0, 7}));

    // A capture plays Eat.
    h.gameMsg(h.move(1, 0, 1, 2, 2));
    h.screen.sounds.clear();
    h.gameMsg(h.move(0, 7, 4, 3, 4));
    EXPECT_EQ(h.screen.sounds, (QStringList{"Eat.wav"}));
    EXPECT_EQ(h.game.QiPuData.back().bteEatQiZi, 7);

    // A check plays Jiang after the move sound: without the black centre pawn the red pawn alone
    // screens the king from the cannon.
    Harness c;
    Playing(c);
    c.game.bteQiPan[3][4] = 0;
    c.screen.sounds.clear();
    c.gameMsg(c.move(0, 7, 7, 7, 4));
    EXPECT_EQ(c.screen.sounds, (QStringList{"Go.wav", "Jiang.wav"}));
}

TEST(Moves, MalformedEchoesAreIgnored) {
    Harness h;
    Playing(h);
    const auto board = h.game.bteQiPan;
    const Cmd bad[] = {
        Bytes({19}),
        Bytes({19, 0, 0, 0x97, 17, 0x87, 0, 0, 0}),        // one byte short
        Bytes({19, 0, 0, 0x97, 17, 0x87, 0, 0, 0, 0, 0}),  // one byte long
        Bytes({19, 0, 5, 0x97, 17, 0x87, 0, 0, 0, 0}),     // no such seat
        Bytes({19, 0, 0, 0xA0, 17, 0x87, 0, 0, 0, 0}),     // rank 10
        Bytes({19, 0, 0, 0x90, 17, 0x8F, 0, 0, 0, 0}),     // file 15
    };
    for (const Cmd& cmd : bad)
        h.gameMsg(cmd);
    EXPECT_EQ(h.game.bteQiPan, board);
    EXPECT_EQ(qiPuUpperBound(h.game.QiPuData), 0);
    EXPECT_EQ(h.game.bteGameState, 0);
}

TEST(Undo, RequestAnsweredAndAgreedUndoTakesBackTwoMoves) {
    Harness h(QStringLiteral("黑方"));
    Playing(h);
    h.gameMsg(h.move(0, 7, 7, 7, 4));
    h.gameMsg(h.move(1, 0, 1, 2, 2));
    h.gameMsg(h.move(0, 9, 7, 7, 6));
    QiPan boardAfterOne{};
    InitQiPan(boardAfterOne);
    boardAfterOne[7][7] = 0;
    boardAfterOne[7][4] = 19;

    // The opponent (red) asks: left alone, the question answers No.
    h.sent.clear();
    h.gameMsg(Bytes({20, 0, 0}));
    ASSERT_EQ(h.screen.boxes.size(), 1u);
    EXPECT_EQ(h.screen.boxes[0].note, "红方 可能点错了，想悔棋，你是否同意?");
    EXPECT_EQ(h.screen.boxes[0].yesCaption, "同意");
    EXPECT_EQ(h.screen.boxes[0].noCaption, "拒绝");
    EXPECT_FALSE(h.screen.boxes[0].yesDefault);
    EXPECT_EQ(h.sent, (std::vector<Cmd>{Bytes({20, 1, 1})}));
    // Agreed this time.
    h.screen.answerBox = [](const MsgBoxInfo&) { return 0; };
    h.gameMsg(Bytes({20, 0, 0}));
    EXPECT_EQ(h.sent.back(), Bytes({20, 2, 1}));

    // The server applies it: two half-moves go, the phase stays, no box for the one who agreed.
    const auto boxes = h.screen.boxes.size();
    const auto state = h.game.bteGameState;
    h.gameMsg(Bytes({20, 2, 1}));
    EXPECT_EQ(h.screen.boxes.size(), boxes);
    EXPECT_EQ(qiPuUpperBound(h.game.QiPuData), 1);
    EXPECT_EQ(h.game.lstQiPu.count(), 1);
    EXPECT_EQ(h.game.bteQiPan, boardAfterOne);
    EXPECT_EQ(h.game.bteGameState, state);
    EXPECT_TRUE(h.screen.called("piece 0,1=18")) << "the red horse back on its point (black view)";

    // An agreed undo with too few moves never touches the placeholder.
    h.gameMsg(Bytes({20, 2, 1}));
    h.gameMsg(Bytes({20, 2, 1}));
    EXPECT_EQ(qiPuUpperBound(h.game.QiPuData), 0);
    EXPECT_EQ(h.game.bteQiPan[0][0], 1);
}

TEST(Negotiations, RefusalsAndTheAskersView) {
    Harness h;
    Playing(h);
    h.table.blnWaitAnswer = true;
    h.gameMsg(Bytes({20, 1, 1}));
    EXPECT_EQ(h.screen.boxes.back().note, "黑方 不同意悔棋，请继续下棋！");
    EXPECT_FALSE(h.table.blnWaitAnswer);
    h.table.blnWaitAnswer = true;
    h.gameMsg(Bytes({21, 1, 1}));
    EXPECT_EQ(h.screen.boxes.back().note, "黑方 不同意和棋，请继续下棋！");
    EXPECT_FALSE(h.table.blnWaitAnswer);
    h.gameMsg(Bytes({21, 0, 1}));
    EXPECT_EQ(h.screen.boxes.back().note, "黑方 想与你和棋，你是否同意?");
    EXPECT_EQ(h.sent.back(), Bytes({21, 1, 0}));
    h.gameMsg(h.move(0, 7, 7, 7, 4));
    h.gameMsg(h.move(1, 0, 1, 2, 2));
    h.screen.answerBox = [](const MsgBoxInfo&) { return 0; };
    h.gameMsg(Bytes({20, 2, 1}));
    EXPECT_EQ(h.screen.boxes.back().note, "黑方 同意了你的悔棋要求！");
}

// The server tells a refusal to everybody; only the asker is shown a box about it.
TEST(Negotiations, TheRefuserIsNotToldOfHisOwnRefusal) {
    const struct {
        int code;
        const char* refusal;
    } cases[] = {
        {20, "黑方 不同意悔棋，请继续下棋！"},
        {21, "黑方 不同意和棋，请继续下棋！"},
        {23, "黑方 不同意你载入已有的棋谱！"},
    };
    for (const auto& c : cases) {
        // Black is asked, says No, and the server's echo of his answer comes back to him.
        Harness refuser(QStringLiteral("黑方"));
        Playing(refuser);
        refuser.sent.clear();
        refuser.gameMsg(Bytes({c.code, 0, 0}));
        ASSERT_EQ(refuser.screen.boxes.size(), 1u) << c.code;
        EXPECT_EQ(refuser.sent, (std::vector<Cmd>{Bytes({c.code, 1, 1})}));
        refuser.gameMsg(Bytes({c.code, 1, 1}));
        EXPECT_EQ(refuser.screen.boxes.size(), 1u)
            << c.code << ": " << refuser.screen.boxes.back().note.toStdString();
        EXPECT_FALSE(refuser.table.blnWaitAnswer);

        // Red asked and waits: he is told, and waits no more.
        Harness asker(QStringLiteral("红方"));
        Playing(asker);
        asker.table.blnWaitAnswer = true;
        asker.gameMsg(Bytes({c.code, 1, 1}));
        ASSERT_EQ(asker.screen.boxes.size(), 1u) << c.code;
        EXPECT_EQ(asker.screen.boxes[0].note, QString::fromUtf8(c.refusal));
        EXPECT_FALSE(asker.table.blnWaitAnswer);
    }
}

TEST(Negotiations, ASpectatorSeesNoQuestionsOnlyOutcomes) {
    Harness h(QStringLiteral("看客"));
    Playing(h, QStringLiteral("红方"));
    ASSERT_TRUE(h.session.blnLookOn);
    for (const Cmd& request : {Bytes({20, 0, 0}), Bytes({20, 1, 1}), Bytes({21, 0, 0}),
                               Bytes({21, 1, 1}), Bytes({23, 0, 0}), Bytes({23, 1, 1})}) {
        h.gameMsg(request);
    }
    EXPECT_TRUE(h.screen.boxes.empty());
    EXPECT_TRUE(h.sent.empty() || h.sent == std::vector<Cmd>{Bytes({130, 1})});
    h.gameMsg(h.move(0, 7, 7, 7, 4));
    h.gameMsg(h.move(1, 0, 1, 2, 2));
    h.gameMsg(Bytes({20, 2, 1}));
    EXPECT_EQ(h.screen.boxes.back().note, "红方 需要悔棋！");
    h.gameMsg(Bytes({23, 4, 0}));
    EXPECT_EQ(h.screen.boxes.back().note, "红方 载入棋谱数据失败！");
}

TEST(Negotiations, AMessageArrivingWhileAQuestionIsOpenClosesItAndIsHandled) {
    Harness h(QStringLiteral("黑方"));
    Playing(h);
    h.sent.clear();
    h.screen.answerBox = [](const MsgBoxInfo& info) { return info.type == 2 ? -1 : 0; };
    // While the undo question waits, the opponent's move arrives.
    h.screen.whileBoxOpen = [&h](const MsgBoxInfo& info) {
        if (info.type != 2) return;
        QTimer::singleShot(0, [&h] { h.gameMsg(h.move(0, 7, 7, 7, 4)); });
    };
    h.gameMsg(Bytes({20, 0, 0}));
    EXPECT_EQ(h.table.msgs.openBoxes(), 0);
    EXPECT_EQ(qiPuUpperBound(h.game.QiPuData), 1) << "the move was handled inside the wait";
    EXPECT_EQ(h.sent, (std::vector<Cmd>{Bytes({20, 1, 1})})) << "a closed question answers No";
}

TEST(LoadRecord, AgreedLoadRecordDataAndFailure) {
    Harness h(QStringLiteral("黑方"));
    h.seat("红方", "黑方");
    h.gameMsg(Bytes({23, 0, 0}));
    EXPECT_EQ(h.screen.boxes.back().note, "红方 想载入已有的棋谱与你对奕，你是否同意?");
    EXPECT_EQ(h.sent.back(), Bytes({23, 1, 1}));

    // Agreed: seat 0 chooses, this client waits with a notice.
    h.gameMsg(Bytes({23, 2, 1}));
    EXPECT_EQ(h.game.bteGameState, 10);
    EXPECT_EQ(h.screen.boxes.back().note, "等待 红方 载入已有的棋谱...");
    EXPECT_TRUE(h.table.blnWaitAnswer);

    // The record arrives: three moves, black to move; this user (seat 1) is black.
    h.game.bteRedView = 0;
    h.gameMsg(Bytes({23, 3, 0x77, 19, 0x74, 0, 0x01, 2, 0x22, 0, 0x97, 18, 0x76, 0}));
    EXPECT_FALSE(h.table.blnWaitAnswer);
    EXPECT_EQ(qiPuUpperBound(h.game.QiPuData), 3);
    EXPECT_EQ(h.game.lstQiPu.count(), 3);
    EXPECT_EQ(h.game.lstQiPu.selectedRow(), 2);
    EXPECT_FALSE(h.game.blnNoGame);
    EXPECT_EQ(h.game.bteGameState, 1);
    EXPECT_EQ(h.game.bteQiPan[7][6], 18);

    // A record without moves: the opening, red to move, no markers.
    h.game.bteRedView = 1;
    h.table.ResetQiPanView();
    h.gameMsg(Bytes({23, 3, 0}));
    EXPECT_EQ(qiPuUpperBound(h.game.QiPuData), 0);
    EXPECT_EQ(h.game.bteGameState, h.session.bteMySeat);
    EXPECT_FALSE(h.table.timerEnabled(TableTimer::QiZiRun));

    h.gameMsg(Bytes({23, 4, 0}));
    EXPECT_EQ(h.game.bteGameState, 50);
    EXPECT_FALSE(h.table.blnWaitAnswer);
    h.gameMsg(Bytes({23, 3}));  // too short: nothing
    EXPECT_EQ(h.game.bteGameState, 50);
}

TEST(GameEnd, ResultTallyColoursAndButtons) {
    const struct {
        int result;
        const char* sound;
        std::array<std::int32_t, 2> tally;
        const char* text;
    } cases[] = {
        {0, "GameFail.wav", {0, 1}, "本局结束：红方 输！原因：认输"},
        {1, "GameWin.wav", {1, 0}, "本局结束：黑方 输！原因：认输"},
        {2, nullptr, {0, 0}, "本局和棋：认输"},
    };
    for (const auto& c : cases) {
        Harness h;
        Playing(h);
        h.screen.sounds.clear();
        h.gameMsg(Bytes({25, 0, 0, 0, 100, 255, 255, 255, 156, c.result}) + encodeCp936(u"认输"));
        EXPECT_EQ(h.game.lngWinCount, c.tally) << c.result;
        EXPECT_EQ(h.screen.boxes.back().note, c.text);
        EXPECT_EQ(h.screen.sounds, c.sound ? QStringList{c.sound} : QStringList{});
        EXPECT_EQ(h.game.bteRedView, 0) << "colours swap for the next game";
        EXPECT_EQ(h.game.bteGameState, 50);
        EXPECT_EQ(h.game.bteOptButState, (Buttons{0, 2, 2, 2, 2, 0, 0}));
        EXPECT_TRUE(h.session.blnCanStart);
        const auto& lines = h.table.chat.lines();
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[lines.size() - 2].fields[0], "红方 得分：100");
        EXPECT_EQ(lines[lines.size() - 1].fields[0], "黑方 得分：-100");
        EXPECT_FALSE(h.table.timerEnabled(TableTimer::UserRunTime));
    }
}

TEST(GameMessages, NoticeCannotContinueAndIgnoredCodes) {
    Harness h;
    Playing(h);
    h.screen.sounds.clear();
    h.gameMsg(WithText({24}, QStringLiteral("走法无效")));
    EXPECT_EQ(h.screen.sounds, (QStringList{"Error.wav"}));
    EXPECT_EQ(h.screen.boxes.back().note, "走法无效");
    EXPECT_EQ(h.screen.boxes.back().caption, "中国象棋");

    h.gameMsg(WithText({5, 0, 1}, QStringLiteral("网络断开")));
    EXPECT_EQ(h.screen.boxes.back().note, "黑方 不能继续玩下去，原因：网络断开");
    EXPECT_EQ(h.screen.boxes.back().caption, "中国象棋系统提示");
    EXPECT_EQ(h.screen.unloads, 0);
    h.gameMsg(WithText({5, 0, 0}, QStringLiteral("网络断开")));
    EXPECT_EQ(h.screen.unloads, 1);
    h.gameMsg(Bytes({5, 0}));  // no seat: ignored
    EXPECT_EQ(h.screen.unloads, 1);

    const auto boxes = h.screen.boxes.size();
    for (const Cmd& cmd :
         {Bytes({113, 1, 2}), Bytes({133}), Bytes({0}), Bytes({94, 1}), Bytes({18, 9}), Bytes({18}),
          Bytes({20, 0}), Bytes({25, 1, 2, 3}), Cmd()}) {
        h.gameMsg(cmd);
    }
    EXPECT_EQ(h.screen.boxes.size(), boxes);
}

TEST(handRaised, ShowsReadyPiecesAndDisablesOwnLoad) {
    Harness h;
    h.seat("红方", "黑方");
    h.game.bteRedView = 1;
    h.gameMsg(Bytes({18, 1}));
    EXPECT_TRUE(h.session.SeatUsers[1].intHandUp);
    EXPECT_EQ(h.game.bteShowQiPan[0][4], 4) << "the opponent's black pieces fill the top half";
    EXPECT_EQ(h.game.bteShowQiPan[3][0], 7);
    EXPECT_EQ(h.game.bteShowQiPan[9][4], 0);
    EXPECT_EQ(h.game.bteOptButState[kBtnLoad], kButtonNormal);
    h.gameMsg(Bytes({18, 0}));
    EXPECT_EQ(h.game.bteShowQiPan[9][4], 20);
    EXPECT_EQ(h.game.bteShowQiPan[7][1], 19);
    EXPECT_EQ(h.game.bteOptButState[kBtnLoad], kButtonDisabled);
    // Lowering a hand clears that half again.
    h.session.SeatUsers[1].intHandUp = false;
    h.table.ShowReadyPieces(1);
    EXPECT_EQ(h.game.bteShowQiPan[0][4], 0);
}

}  // namespace
}  // namespace xq
