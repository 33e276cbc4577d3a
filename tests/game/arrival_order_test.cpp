// Messages that arrive while the table waits (a move sliding, a box open, a file being chosen)
// go through the same inbox the connection uses, so what a quick opponent does to the table shows
// here as it does on the screen.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "net/cp936.h"
#include "net/table_requests.h"
#include "records/record_file.h"
#include "table_harness.h"

namespace xq {
namespace {

using namespace xq::test;

using Buttons = std::array<std::uint8_t, kOptButtons>;

Cmd GameEnd(int loser, const QString& reason) {
    Cmd end = Bytes({25, 0, 0, 0, 100, 255, 255, 255, 156, loser});
    end += encodeCp936(reason);
    return end;
}

// This user is red in seat 0 against "黑方" in seat 1; red moves first.
struct RedAtTable : Harness {
    RedAtTable() : Harness(QStringLiteral("红方")) {
        seat("红方", "黑方");
        start(0);
        sent.clear();
        screen.boxes.clear();
    }
    // The moves of the game so far, replayed on an opening board: what the server holds.
    QiPan replayed() const {
        QiPan board{};
        replayQiPu(game.QiPuData, board);
        return board;
    }
};

// The user's own move comes back while the opponent's answer is already on its way: each of these
// arrives while the own piece is still sliding.
TEST(ArrivalDuringAnimation, WhatFollowsTheEchoIsHandledAfterItInOrder) {
    const struct {
        const char* what;
        std::vector<Cmd> behind;  // arriving during the echo's animation
        int moves;                // half-moves on the board afterwards
        std::uint8_t state;       // the phase afterwards
    } cases[] = {
        {"the reply", {Bytes({19, 0, 1, 0x00, 1, 0x10, 0, 0, 0, 0})}, 2, 0},
        {"the reply and a chat line",
         {Bytes({19, 0, 1, 0x00, 1, 0x10, 0, 0, 0, 0}),
          WithText({1}, "黑方`所有人`黑方`所有人`12:00:00`快`#000000`1`0`")},
         2,
         0},
        {"the game end", {GameEnd(1, QStringLiteral("超时"))}, 0, kStateNoGame},
        {"the reply and the game end",
         {Bytes({19, 0, 1, 0x00, 1, 0x10, 0, 0, 0, 0}), GameEnd(0, QStringLiteral("认输"))},
         0,
         kStateNoGame},
    };
    for (const auto& c : cases) {
        RedAtTable h;
        bool delivered = false;
        h.screen.onAnimationFrame = [&](int frame) {
            if (frame != 0 || delivered) return;
            delivered = true;
            for (const Cmd& m : c.behind)
                h.arrive(m);
        };
        h.arrive(h.move(0, 9, 0, 7, 0));  // red's chariot two points up
        h.settle();
        EXPECT_TRUE(delivered) << c.what;
        EXPECT_EQ(qiPuUpperBound(h.game.QiPuData), c.moves) << c.what;
        EXPECT_EQ(h.game.bteGameState, c.state) << c.what;
        if (c.state == 0) {
            EXPECT_EQ(h.game.lstQiPu.count(), 2) << c.what;
            EXPECT_EQ(h.game.bteQiPan, h.replayed()) << c.what;
            EXPECT_EQ(h.game.bteShowQiPan[0][0], 0) << c.what << ": black's chariot left";
            EXPECT_EQ(h.game.bteShowQiPan[1][0], 1) << c.what;
            EXPECT_EQ(h.game.bteShowQiPan[7][0], 17) << c.what;
            EXPECT_TRUE(h.table.timerEnabled(TableTimer::UserRunTime)) << c.what;
            EXPECT_EQ(h.game.bteOptButState, (Buttons{2, 0, 0, 2, 0, 2, 0})) << c.what;
        } else {
            // The end right behind a move leaves the idle table, with the game kept.
            EXPECT_TRUE(h.game.blnNoGame) << c.what;
            for (int t = 0; t < 4; ++t)
                EXPECT_FALSE(h.table.timerEnabled(static_cast<TableTimer>(t))) << c.what << t;
            EXPECT_TRUE(h.session.blnCanStart) << c.what;
            EXPECT_EQ(h.game.bteOptButState, (Buttons{0, 2, 2, 2, 0, 0, 0})) << c.what;
            EXPECT_EQ(qiPuUpperBound(h.game.finishedGame), static_cast<long>(c.behind.size()))
                << c.what;
            for (const auto& rank : h.game.bteShowQiPan) {
                for (std::uint8_t cell : rank)
                    EXPECT_EQ(cell, 0) << c.what << ": nothing left of the game on the board";
            }
            // Start raises the hand for the next game.
            h.sent.clear();
            h.table.DoUserOpt(kBtnStart);
            EXPECT_EQ(h.sent, (std::vector<Cmd>{Bytes({18, 0})})) << c.what;
        }
    }
}

TEST(ArrivalDuringAnimation, CommandsGivenWhileThePieceSlidesRunAfterTheMove) {
    RedAtTable h;
    h.screen.fileName.clear();  // the user cancels the dialog
    h.screen.onAnimationFrame = [&](int frame) {
        if (frame == 0) h.table.DoUserOpt(kBtnSave);
    };
    h.arrive(h.move(0, 9, 0, 7, 0));
    h.settle();
    const int animated = static_cast<int>(h.screen.calls.indexOf(QRegularExpression("animate.*")));
    const int dialog = static_cast<int>(h.screen.calls.indexOf(QRegularExpression("fileDialog.*")));
    ASSERT_GE(animated, 0);
    ASSERT_GE(dialog, 0) << "the command is not lost";
    EXPECT_GT(dialog, h.screen.calls.lastIndexOf("button 6")) << "the turn passed first";
    EXPECT_EQ(h.game.bteGameState, 1);
}

TEST(ArrivalDuringBoxes, ResultBoxDoesNotUndoTheNextGame) {
    // A spectator reads the result while both players already started the next game.
    Harness h(QStringLiteral("看客"));
    h.seat("红方", "黑方", "红方");
    h.start(0);
    h.gameMsg(h.move(0, 9, 0, 8, 0));
    h.screen.answerBox = [](const MsgBoxInfo& info) { return info.type == 1 ? -1 : 0; };
    h.screen.whileBoxOpen = [&](const MsgBoxInfo&) {
        h.screen.whileBoxOpen = nullptr;
        h.arrive(Bytes({17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 10, 0, 0, 0, 30}));
    };
    h.arrive(GameEnd(1, QStringLiteral("认输")));
    h.settle();
    EXPECT_FALSE(h.game.blnNoGame) << "the new game runs";
    EXPECT_EQ(h.game.bteGameState, 1);
    EXPECT_EQ(h.game.bteRedView, 0) << "seat 1 plays red now; the view shows seat 0";
    EXPECT_EQ(h.game.bteShowQiPan[0][4], 20) << "red (seat 1) at the top";
    EXPECT_TRUE(h.table.timerEnabled(TableTimer::UserRunTime));
    h.arrive(h.move(1, 9, 0, 8, 0));
    h.settle();
    EXPECT_EQ(qiPuUpperBound(h.game.QiPuData), 1) << "moves of the new game are applied";
}

TEST(ArrivalDuringBoxes, AgreedUndoIsOnTheBoardBeforeItsBoxWaits) {
    Harness h(QStringLiteral("看客"));
    h.seat("红方", "黑方", "红方");
    h.start(0);
    for (const auto& m : {std::array{0, 9, 0, 8, 0},
                          {1, 0, 0, 1, 0},
                          {0, 8, 0, 9, 0},
                          {1, 1, 0, 0, 0},
                          {0, 9, 8, 8, 8}}) {
        h.gameMsg(h.move(m[0], m[1], m[2], m[3], m[4]));
    }
    // Black asked, red agreed; while the spectator reads it, black moves again.
    h.screen.answerBox = [](const MsgBoxInfo& info) { return info.type == 1 ? -1 : 0; };
    h.screen.whileBoxOpen = [&](const MsgBoxInfo&) {
        h.screen.whileBoxOpen = nullptr;
        h.arrive(Bytes({19, 0, 1, 0x08, 1, 0x18, 0, 0, 0, 0}));
    };
    h.arrive(Bytes({20, 2, 0}));
    h.settle();
    ASSERT_EQ(qiPuUpperBound(h.game.QiPuData), 4);
    QiPan replayed{};
    replayQiPu(h.game.QiPuData, replayed);
    EXPECT_EQ(h.game.bteQiPan, replayed) << "board and history agree";
    EXPECT_EQ(h.game.QiPuData.back(), (QiPuItem{0x08, 1, 0x18, 0}));
}

TEST(ArrivalDuringBoxes, AQuestionClosedByTheGameEndIsNotAnswered) {
    const struct { Cmd question; } cases[] = {{Bytes({21, 0, 0})}, {Bytes({20, 0, 0})}};
    for (const auto& c : cases) {
        Harness h(QStringLiteral("黑方"));
        h.seat("红方", "黑方");
        h.start(0);
        h.sent.clear();
        h.screen.answerBox = [](const MsgBoxInfo& info) { return info.type == 2 ? -1 : 0; };
        h.screen.whileBoxOpen = [&](const MsgBoxInfo& info) {
            if (info.type == 2) h.arrive(GameEnd(0, QStringLiteral("超时")));
        };
        h.arrive(c.question);
        h.settle();
        EXPECT_TRUE(h.sent.empty()) << "no answer into the time between games";
        EXPECT_EQ(h.game.bteGameState, kStateNoGame);
    }
}

// The agreed load ends (the server's deadline, the other player leaving) at each point where
// this user is asked something.
TEST(ArrivalDuringBoxes, ALoadThatFailsWhileTheUserChoosesLeavesTheTableIdle) {
    QTemporaryDir dir;
    const QString file = dir.filePath("game.drak");
    ASSERT_TRUE(SaveQiPuFile(file, QiPuHistory{QiPuItem{}, QiPuItem{0x77, 19, 0x74, 0}}));
    for (const bool duringDialog : {false, true}) {
        Harness h(QStringLiteral("红方"));
        h.seat("红方", "黑方");
        h.screen.answerBox = [](const MsgBoxInfo&) { return 0; };
        h.table.DoUserOpt(kBtnLoad);
        ASSERT_TRUE(h.table.blnWaitAnswer);
        h.sent.clear();
        h.screen.fileName = file;
        const Cmd failed = Bytes({23, 4, 0});
        if (duringDialog) {
            h.screen.whileFileDialogOpen = [&] {
                h.arrive(failed);
                h.settle();
            };
        } else {
            h.screen.answerBox = [](const MsgBoxInfo& info) {
                return info.note.startsWith(QStringLiteral("对方同意")) ? -1 : 0;
            };
            h.screen.whileBoxOpen = [&](const MsgBoxInfo&) { h.arrive(failed); };
        }
        h.arrive(Bytes({23, 2, 1}));
        h.settle();
        const char* when = duringDialog ? "during the file dialog" : "during the box";
        EXPECT_TRUE(h.sent.empty()) << when << ": nothing is sent late";
        EXPECT_EQ(h.screen.calls.filter("fileDialog").size(), duringDialog ? 1 : 0) << when;
        EXPECT_EQ(h.game.bteGameState, kStateNoGame) << when;
        EXPECT_FALSE(h.table.blnWaitAnswer) << when;
        EXPECT_EQ(h.game.bteOptButState, (Buttons{0, 2, 2, 2, 2, 0, 0})) << when;
        // And the table works: Start raises the hand.
        h.table.DoUserOpt(kBtnStart);
        EXPECT_EQ(h.sent.size(), 1u) << when;
    }
}

TEST(ArrivalDuringBoxes, ANoticeDuringTheLoadDoesNotAskForTheFileAgain) {
    Harness h(QStringLiteral("红方"));
    h.seat("红方", "黑方");
    h.screen.answerBox = [](const MsgBoxInfo&) { return 0; };
    h.table.DoUserOpt(kBtnLoad);
    h.screen.whileFileDialogOpen = [&] {
        h.screen.whileFileDialogOpen = nullptr;
        h.arrive(WithText({24}, "请稍候"));
        h.settle();
    };
    h.arrive(Bytes({23, 2, 1}));
    h.settle();
    EXPECT_EQ(h.screen.calls.filter("fileDialog").size(), 1);
    EXPECT_EQ(h.sent.back(), tablemsg::encode(tablemsg::LoadAbandoned{0}))
        << "the cancelled choice is given up once";
}

TEST(FinishedGame, StaysSavableAndReplayableUntilTheNextGame) {
    QTemporaryDir dir;
    RedAtTable h;
    h.gameMsg(h.move(0, 9, 0, 8, 0));
    h.gameMsg(h.move(1, 0, 0, 1, 0));
    h.gameMsg(GameEnd(1, QStringLiteral("认输")));
    EXPECT_EQ(h.game.bteOptButState[kBtnSave], kButtonNormal);
    h.screen.fileName = dir.filePath("end.drak");
    h.table.DoUserOpt(kBtnSave);
    QFile saved(h.screen.fileName);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("144#17#128#0\r\n0#1#16#0\r\n"));
    h.table.DoUserOpt(kBtnReplay);
    EXPECT_EQ(qiPuUpperBound(h.screen.replayed), 2) << "the finished game, without a dialog";

    // The next game starts: the record is gone, Save is back to what a running game offers.
    h.start(1);
    EXPECT_EQ(qiPuUpperBound(h.game.finishedGame), 0);
    EXPECT_EQ(&h.table.recordToSave(), &h.game.QiPuData);
}

TEST(FinishedGame, ItsPlayersKeepTheirColoursWhenTheViewTurns) {
    RedAtTable h;
    using Players = std::pair<QString, QString>;
    EXPECT_EQ(h.table.recordPlayers(), (Players{"红方", "黑方"}));
    h.gameMsg(h.move(0, 9, 0, 8, 0));
    h.gameMsg(GameEnd(1, QStringLiteral("认输")));
    EXPECT_EQ(h.game.bteRedView, 0) << "the view has turned for the next game";
    EXPECT_EQ(h.table.recordPlayers(), (Players{"红方", "黑方"})) << "the finished game's colours";
    h.start(1);
    EXPECT_EQ(h.table.recordPlayers(), (Players{"黑方", "红方"}));
}

// The record of a finished game says how it ended, as the server's game end told it (the loser's
// seat or a draw), in the colours of that game, and who played, when, and which game.
TEST(FinishedGame, ItsRecordTellsTheResultThePlayersTheDayAndTheGame) {
    const struct {
        const char* me;
        int redSeat;  // in the finished game
        int result;   // byte 9 of the game end: the losing seat, 2 a draw
        const char* pgnResult;
        const char* red;
        const char* black;
    } cases[] = {
        {"红方", 0, 1, "1-0", "红方", "黑方"},      // black lost
        {"红方", 0, 0, "0-1", "红方", "黑方"},      // red lost
        {"红方", 0, 2, "1/2-1/2", "红方", "黑方"},  // agreed draw
        {"红方", 1, 1, "0-1", "黑方", "红方"},      // colours turned: seat 1 red, and lost
        {"红方", 1, 0, "1-0", "黑方", "红方"},
        {"看客", 0, 0, "0-1", "红方", "黑方"},  // a spectator of seat 1
        {"看客", 1, 2, "1/2-1/2", "黑方", "红方"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.me) + " red seat " + std::to_string(c.redSeat) + " result " +
                     std::to_string(c.result));
        Harness h(QString::fromUtf8(c.me));
        h.seat("红方", "黑方", c.me == std::string("看客") ? QStringLiteral("黑方") : QString());
        h.start(c.redSeat);
        h.gameMsg(h.move(c.redSeat, 9, 0, 8, 0));  // red's chariot a step up
        const QDate before = QDate::currentDate();
        h.gameMsg(GameEnd(c.result, QStringLiteral("认输")));
        const QDate after = QDate::currentDate();
        // The opponent leaves the table after the game: the record keeps his name.
        h.room(WithText({110, 0}, QStringLiteral("黑方")));
        ASSERT_EQ(h.session.SeatUsers[1].strUserName, "");

        h.table.DoUserOpt(kBtnReplay);
        const GameRecord& r = h.screen.replayedRecord;
        EXPECT_EQ(qiPuUpperBound(r.moves), 1);
        EXPECT_EQ(r.result, c.pgnResult);
        EXPECT_EQ(r.tag("Red"), c.red);
        EXPECT_EQ(r.tag("Black"), c.black);
        EXPECT_EQ(r.tag("Event"), "中国象棋");
        const QDate day = QDate::fromString(r.tag("Date"), "yyyy.MM.dd");
        EXPECT_TRUE(day == before || day == after) << r.tag("Date").toStdString();
        using Players = std::pair<QString, QString>;
        EXPECT_EQ(h.table.recordPlayers(), (Players{c.red, c.black})) << "for the file's name";
    }
}

TEST(FinishedGame, SaveChosenWhileTheGameEndsStoresTheWholeGame) {
    QTemporaryDir dir;
    RedAtTable h;
    h.gameMsg(h.move(0, 9, 0, 8, 0));
    h.screen.fileName = dir.filePath("late.drak");
    h.screen.whileFileDialogOpen = [&] {
        h.arrive(h.move(1, 0, 0, 1, 0));
        h.arrive(GameEnd(0, QStringLiteral("超时")));
        h.settle();
    };
    h.table.DoUserOpt(kBtnSave);
    QiPuHistory saved;
    ASSERT_TRUE(LoadQiPuFile(h.screen.fileName, saved));
    EXPECT_EQ(qiPuUpperBound(saved), 2);
}

TEST(Leaving, APlayerWhoClosesTellsTheServerFirst) {
    const struct {
        bool playing;
        int answer;  // the close question: 0 force quit, 1 cancel
        bool leaves;
    } cases[] = {{true, 0, true}, {true, 1, false}, {false, 1, true}};
    for (const auto& c : cases) {
        Harness h(QStringLiteral("红方"));
        h.seat("红方", "黑方");
        if (c.playing) h.start(0);
        h.sent.clear();
        h.screen.answerBox = [&](const MsgBoxInfo&) { return c.answer; };
        EXPECT_EQ(h.table.RequestCloseMain(), c.leaves);
        EXPECT_EQ(h.screen.unloads, c.leaves ? 1 : 0);
        EXPECT_EQ(h.sent,
                  c.leaves
                      ? std::vector<Cmd>{tablemsg::encode(tablemsg::Leave{QStringLiteral("红方")})}
                      : std::vector<Cmd>{});
    }
}

TEST(ConnectionLost, StopsTheTableAndOffersTheRecordThatExists) {
    RedAtTable h;
    EXPECT_FALSE(h.table.ConnectionLost()) << "no move yet: nothing to save";
    RedAtTable p;
    p.gameMsg(p.move(0, 9, 0, 8, 0));
    p.table.msgs.ShowMsg(0, 0, QStringLiteral("等待"), {}, 0, {}, {}, true);
    EXPECT_TRUE(p.table.ConnectionLost());
    EXPECT_EQ(qiPuUpperBound(p.table.recordToSave()), 1);
    EXPECT_EQ(p.table.msgs.openBoxes(), 0);
    for (int t = 0; t < 4; ++t)
        EXPECT_FALSE(p.table.timerEnabled(static_cast<TableTimer>(t)));
    EXPECT_EQ(p.game.bteOptButState, (Buttons{2, 2, 2, 2, 2, 2, 2}));
}

}  // namespace
}  // namespace xq
