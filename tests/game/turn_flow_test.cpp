#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "records/record_file.h"
#include "table_harness.h"

namespace xq {
namespace {

using namespace xq::test;

using Buttons = std::array<std::uint8_t, kOptButtons>;

void Start(Harness& h, int redSeat = 0) {
    h.seat("红方", "黑方");
    h.start(redSeat);
}

TEST(BoardClicks, PickUpThenPutDownSendsTheMoveWithoutChangingTheBoard) {
    Harness h;
    Start(h);
    h.screen.sounds.clear();
    // A black piece without a selection does nothing.
    h.table.onBoardClick(true, 0, 0);
    EXPECT_FALSE(h.table.timerEnabled(TableTimer::MeSelectQiZi));
    EXPECT_TRUE(h.screen.sounds.isEmpty());

    h.table.onBoardClick(true, 7, 7);  // red cannon
    EXPECT_TRUE(h.table.timerEnabled(TableTimer::MeSelectQiZi));
    EXPECT_EQ(h.table.lngSelRow, 7);
    EXPECT_EQ(h.screen.sounds, (QStringList{"Select.wav"}));
    EXPECT_FALSE(h.screen.called("runMarkers 0,0 0,0 1"))
        << "fewer than two moves: markers left alone";

    // An illegal target: Error, the piece stays selected.
    h.table.onBoardClick(true, 3, 3);
    EXPECT_EQ(h.screen.sounds.back(), "Error.wav");
    EXPECT_EQ(h.sent, (std::vector<Cmd>{Bytes({130, 1})})) << "only the game-begun acknowledgement";
    EXPECT_TRUE(h.table.timerEnabled(TableTimer::MeSelectQiZi));

    const auto board = h.game.bteQiPan;
    h.table.onBoardClick(true, 7, 4);
    ASSERT_EQ(h.sent.size(), 2u);  // the game-begun acknowledgement, then the move
    EXPECT_EQ(h.sent[1], Bytes({19, 0, 0, 0x77, 19, 0x74, 0, 0, 0, 0}));
    EXPECT_EQ(h.game.bteQiPan, board);
    EXPECT_FALSE(h.table.timerEnabled(TableTimer::MeSelectQiZi));
    EXPECT_FALSE(h.table.timerEnabled(TableTimer::UserRunFlag));
    EXPECT_FALSE(h.table.timerEnabled(TableTimer::UserRunTime));
    EXPECT_EQ(h.game.bteOptButState, (Buttons{2, 2, 2, 2, 0, 2, 0}));
    // Further clicks wait for the echo.
    h.table.onBoardClick(true, 9, 0);
    EXPECT_EQ(h.sent.size(), 2u);
}

TEST(BoardClicks, IgnoredWhenTheyMayNotAct) {
    const struct {
        const char* name;
        std::function<void(Harness&)> prepare;
        bool left;
        int row, col;
    } cases[] = {
        {"right button", [](Harness&) {}, false, 7, 7},
        {"outside the board", [](Harness&) {}, true, -1, 3},
        {"waiting for an answer", [](Harness& h) { h.table.blnWaitAnswer = true; }, true, 7, 7},
        {"spectator", [](Harness& h) { h.session.blnLookOn = true; }, true, 7, 7},
        {"opponent's turn", [](Harness& h) { h.game.bteGameState = 1; }, true, 7, 7},
        {"clock stopped", [](Harness& h) { h.table.StopRunTime(); }, true, 7, 7},
        {"row 10", [](Harness&) {}, true, 10, 0},
    };
    for (const auto& c : cases) {
        Harness h;
        Start(h);
        h.screen.sounds.clear();
        c.prepare(h);
        h.table.onBoardClick(c.left, c.row, c.col);
        EXPECT_FALSE(h.table.timerEnabled(TableTimer::MeSelectQiZi)) << c.name;
        EXPECT_TRUE(h.screen.sounds.isEmpty()) << c.name;
    }
}

TEST(ApplyGameState, ButtonsInEveryPhase) {
    const struct {
        const char* name;
        int state;
        int moves;
        bool lookOn;
        Buttons expected;
    } cases[] = {
        {"my turn, 4 moves", 0, 4, false, {2, 0, 0, 2, 0, 2, 0}},
        {"my turn, 5 moves", 0, 5, false, {2, 0, 0, 0, 0, 2, 0}},
        {"opponent's turn, 5 moves", 1, 5, false, {2, 2, 2, 2, 0, 2, 0}},
        {"spectator", 0, 6, true, {2, 2, 2, 2, 0, 2, 0}},
        {"no game", 50, 0, false, {0, 2, 2, 2, 2, 0, 0}},
        {"no game, spectator", 50, 0, true, {2, 2, 2, 2, 2, 0, 0}},
        {"loading by the opponent", 11, 0, false, {2, 2, 2, 2, 2, 2, 2}},
    };
    for (const auto& c : cases) {
        Harness h;
        h.seat("红方", "黑方");
        h.session.blnLookOn = c.lookOn;
        h.game.bteGameState = static_cast<std::uint8_t>(c.state);
        for (int k = 0; k < c.moves; ++k)
            AddQiPu(h.game.QiPuData, 0, 0, 0, 0, 0, 0);
        h.table.ApplyGameState();
        EXPECT_EQ(h.game.bteOptButState, c.expected) << c.name;
        const bool running = c.state <= 1;
        EXPECT_EQ(h.table.timerEnabled(TableTimer::UserRunTime), running) << c.name;
        EXPECT_EQ(h.table.timerEnabled(TableTimer::UserRunFlag), running) << c.name;
    }
    // With the own hand up, no game does not enable Start.
    Harness h;
    h.seat("红方", "黑方");
    h.session.SeatUsers[0].intHandUp = true;
    h.table.ApplyGameState();
    EXPECT_EQ(h.game.bteOptButState[kBtnStart], kButtonDisabled);
}

TEST(Clocks, StepAllowanceBankWarningAndTimeOutOnce) {
    Harness h;
    h.seat("红方", "黑方");
    h.start(0, {0, 10, 0}, {0, 0, 30});
    h.screen.sounds.clear();
    h.sent.clear();
    for (int s = 1; s <= 25; ++s)
        h.table.onClockTick();
    EXPECT_EQ(h.session.SeatUsers[0].bteStepUsed, (std::array<std::uint8_t, 3>{0, 0, 25}));
    EXPECT_EQ(h.session.SeatUsers[0].bteTotalUsed, (std::array<std::uint8_t, 3>{0, 0, 0}));
    EXPECT_EQ(h.screen.sounds, (QStringList{"Warning.wav"})) << "at 25 of 30 seconds";
    for (int s = 26; s <= 40; ++s)
        h.table.onClockTick();
    EXPECT_EQ(h.session.SeatUsers[0].bteTotalUsed, (std::array<std::uint8_t, 3>{0, 0, 11}))
        << "one second for each tick from the 30th to the 40th";

    // The bank at the limit is not over; one second more is.
    h.session.SeatUsers[0].bteTotalUsed = {0, 9, 59};
    h.table.onClockTick();
    EXPECT_TRUE(h.sent.empty());
    h.table.onClockTick();
    EXPECT_EQ(h.sent, (std::vector<Cmd>{Bytes({22, 1, 0})}));
    EXPECT_EQ(h.screen.sounds.back(), "TimeOver.wav");
    EXPECT_FALSE(h.table.timerEnabled(TableTimer::UserRunTime));
    EXPECT_EQ(h.sent.size(), 1u);

    // The opponent's exhausted bank keeps counting and sends nothing.
    Harness o;
    o.seat("红方", "黑方");
    o.start(1, {0, 0, 0}, {0, 0, 0});
    o.sent.clear();
    for (int s = 0; s < 5; ++s)
        o.table.onClockTick();
    EXPECT_EQ(o.session.SeatUsers[1].bteTotalUsed, (std::array<std::uint8_t, 3>{0, 0, 5}));
    EXPECT_TRUE(o.sent.empty());
}

TEST(Clocks, CarriesAndWrap) {
    Harness h;
    h.seat("红方", "黑方");
    h.game.bteStepTime = {99, 0, 0};
    h.game.bteTotalTime = {99, 0, 0};
    const struct {
        std::array<std::uint8_t, 3> before, after;
    } cases[] = {{{0, 0, 59}, {0, 1, 0}},
                 {{0, 59, 59}, {1, 0, 0}},
                 {{99, 59, 59}, {0, 0, 0}},
                 {{1, 2, 3}, {1, 2, 4}}};
    for (const auto& c : cases) {
        h.session.SeatUsers[1].bteStepUsed = c.before;
        EXPECT_TRUE(h.table.RunTimeTick(1));
        EXPECT_EQ(h.session.SeatUsers[1].bteStepUsed, c.after);
    }
    EXPECT_TRUE(h.table.RunTimeTick(7)) << "no such seat: nothing counts";
}

TEST(UserCommands, ConditionsRequestsAndNotices) {
    Harness h;
    Start(h);
    h.sent.clear();
    h.table.DoUserOpt(kBtnUndo);
    EXPECT_EQ(h.screen.boxes.back().note,
              "悔棋失败：系统要求每人必须至少下够两步棋，才能进行悔棋！");
    EXPECT_EQ(h.screen.boxes.back().maxDelay, 5);
    EXPECT_TRUE(h.sent.empty());
    for (int k = 0; k < 4; ++k)
        AddQiPu(h.game.QiPuData, 0, 0, 0, 0, 0, 0);
    h.table.DoUserOpt(kBtnUndo);
    EXPECT_EQ(h.sent.back(), Bytes({20, 0, 0}));
    EXPECT_TRUE(h.table.blnWaitAnswer);
    EXPECT_EQ(h.screen.boxes.back().type, 0);
    EXPECT_EQ(h.screen.boxes.back().note, "正在与对方协商悔棋操作，请稍等......");
    // While waiting, draw, resign, undo and load do nothing.
    for (int b : {kBtnDraw, kBtnResign, kBtnUndo, kBtnLoad})
        h.table.DoUserOpt(b);
    EXPECT_EQ(h.sent.size(), 1u);
    h.table.blnWaitAnswer = false;
    h.table.DoUserOpt(kBtnDraw);
    EXPECT_EQ(h.sent.back(), Bytes({21, 0, 0}));
    EXPECT_EQ(h.screen.boxes.back().note, "正在与对方协商和棋操作，请稍等......");
    h.table.blnWaitAnswer = false;
    h.table.DoUserOpt(kBtnResign);
    EXPECT_EQ(h.sent.back(), Bytes({22, 0, 0}));
    // Not on the opponent's turn, and never for a spectator.
    h.game.bteGameState = 1;
    const auto sent = h.sent.size();
    for (int b : {kBtnDraw, kBtnResign, kBtnUndo})
        h.table.DoUserOpt(b);
    EXPECT_EQ(h.sent.size(), sent);
}

TEST(UserCommands, LoadAsksFirstAndOnlyBetweenGames) {
    Harness h;
    h.seat("红方", "黑方");
    h.table.DoUserOpt(kBtnLoad);
    EXPECT_EQ(h.screen.boxes.back().note, "读入操作必须经过对方同意方可进行，是否继续?");
    EXPECT_EQ(h.screen.boxes.back().yesCaption, "继续");
    EXPECT_TRUE(h.sent.empty()) << "left alone the question cancels";
    h.screen.answerBox = [](const MsgBoxInfo&) { return 0; };
    h.table.DoUserOpt(kBtnLoad);
    EXPECT_EQ(h.sent.back(), Bytes({23, 0, 0}));
    EXPECT_EQ(h.screen.boxes.back().note, "正在与对方协商 读入 操作，请稍等......");
    h.table.blnWaitAnswer = false;
    h.session.SeatUsers[0].intHandUp = true;
    h.table.DoUserOpt(kBtnLoad);
    EXPECT_EQ(h.sent.size(), 1u) << "not after raising the hand";
}

TEST(UserCommands, SaveReplayAndTheRecordUpload) {
    QTemporaryDir dir;
    Harness h;
    Start(h);
    h.gameMsg(h.move(0, 7, 7, 7, 4));
    h.screen.fileName = dir.filePath("g.drak");
    h.table.DoUserOpt(kBtnSave);
    QFile saved(h.screen.fileName);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "119#19#116#0\r\n");

    // A save that fails is told, not lost silently.
    h.screen.fileName = dir.filePath("missing/g.drak");
    h.table.DoUserOpt(kBtnSave);
    EXPECT_TRUE(h.screen.boxes.back().note.startsWith("棋谱保存失败："));

    // During a game the replay window reads a file the window asks for.
    h.table.DoUserOpt(kBtnReplay);
    EXPECT_EQ(h.screen.calls.back(), "replayFromFile");

    // The agreed upload: 120 moves in chunks of 50, then the history is emptied.
    QiPuHistory record{QiPuItem{}};
    for (int k = 0; k < 120; ++k)
        record.push_back(QiPuItem{1, 2, 3, 4});
    ASSERT_TRUE(SaveQiPuFile(dir.filePath("long.drak"), record));
    Harness u;
    u.seat("红方", "黑方");
    u.screen.fileName = dir.filePath("long.drak");
    u.gameMsg(Bytes({23, 2, 1}));  // seat 1 agreed to seat 0's request
    ASSERT_EQ(u.sent.size(), 3u);
    EXPECT_EQ(u.sent[0].size(), 211);
    EXPECT_EQ(u.sent[2].size(), 91);
    EXPECT_EQ(qiPuUpperBound(u.game.QiPuData), 0);
    EXPECT_TRUE(u.table.blnWaitAnswer);
    EXPECT_EQ(u.screen.boxes[0].note, "对方同意了你载入已有的棋谱，请选择你要载入的棋谱！");

    // Cancelled, missing, unreadable or empty: the 12-byte abandoned message.
    ASSERT_TRUE(SaveQiPuFile(dir.filePath("empty.drak"), QiPuHistory{QiPuItem{}}));
    for (const QString& name : {QString(), dir.filePath("none.drak"), dir.filePath("empty.drak")}) {
        Harness c;
        c.seat("红方", "黑方");
        c.screen.fileName = name;
        c.gameMsg(Bytes({23, 2, 1}));
        EXPECT_EQ(c.sent, (std::vector<Cmd>{Bytes({23, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})}))
            << name.toStdString();
    }
}

TEST(Sounds, PlayOnlyWhenVisibleAndSwitchedOn) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("game/sound");
    QFile(dir.filePath("game/sound/GO.WAV")).open(QIODevice::WriteOnly);
    Harness h;
    InitSession(h.session, dir.filePath("game"));
    h.table.MakeSound(2);
    EXPECT_EQ(h.screen.sounds, (QStringList{"GO.WAV"})) << "found whatever the letter case";
    h.table.MakeSound(13);
    h.table.MakeSound(0);
    h.screen.visible = false;
    h.table.MakeSound(2);
    h.screen.visible = true;
    h.settings.bteSoundOn = 0;
    h.table.MakeSound(2);
    EXPECT_EQ(h.screen.sounds.size(), 1);
}

TEST(CloseWindow, AsksOnlyAPlayerInARunningGame) {
    Harness h;
    Start(h);
    EXPECT_FALSE(h.table.RequestCloseMain()) << "left alone the question keeps the window";
    EXPECT_EQ(h.screen.boxes.back().note,
              "大伙正在游戏，如果你现在退出是很不道德的，并且系统会算你逃跑！你是否强退？");
    EXPECT_EQ(h.screen.boxes.back().caption, "系统提示");
    EXPECT_EQ(h.screen.unloads, 0);
    h.screen.answerBox = [](const MsgBoxInfo&) { return 0; };
    EXPECT_TRUE(h.table.RequestCloseMain());
    EXPECT_EQ(h.screen.unloads, 1);

    Harness idle;
    idle.seat("红方", "黑方");
    EXPECT_TRUE(idle.table.RequestCloseMain());
    EXPECT_TRUE(idle.screen.boxes.empty());
    Harness noPrompt;
    Start(noPrompt);
    noPrompt.settings.bteQuitPrompt = 0;
    EXPECT_TRUE(noPrompt.table.RequestCloseMain());
    EXPECT_TRUE(noPrompt.screen.boxes.empty());
}

}  // namespace
}  // namespace xq
