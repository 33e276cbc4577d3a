#include <gtest/gtest.h>

#include "game/game_state.h"

namespace xq {
namespace {

using Buttons = std::array<std::uint8_t, kOptButtons>;

void Dirty(GameState& g, Session& s) {
    s.strWatchUserName = "w";
    for (auto& seat : s.SeatUsers) {
        seat.strUserName = "p";
        seat.lngFaceNo = 3;
        seat.intOffline = true;
        seat.intHandUp = true;
        seat.bteTotalUsed = {1, 2, 3};
        seat.bteStepUsed = {4, 5, 6};
    }
    g.bteTotalTime = {1, 1, 1};
    g.bteStepTime = {2, 2, 2};
    g.lngWinCount = {3, 4};
    g.blnNoGame = false;
    g.bteGameState = 1;
    g.bteRedView = 1;
    g.bteQiPan[4][4] = 17;
    g.bteShowQiPan[0][0] = 9;
    AddQiPu(g.QiPuData, 7, 7, 19, 7, 4, 0);
    g.lstQiPu.addLine("line");
    g.bteOptButState.fill(0);
}

TEST(ResetGame, ClearsEverythingAndEnablesLoadAndReplay) {
    GameState g;
    Session s;
    Dirty(g, s);
    ResetGame(g, s);
    EXPECT_EQ(s.strWatchUserName, "");
    for (const auto& seat : s.SeatUsers) {
        EXPECT_EQ(seat.strUserName, "");
        EXPECT_EQ(seat.lngFaceNo, -1);
        EXPECT_FALSE(seat.intOffline);
        EXPECT_FALSE(seat.intHandUp);
        EXPECT_EQ(seat.bteTotalUsed, (std::array<std::uint8_t, 3>{}));
        EXPECT_EQ(seat.bteStepUsed, (std::array<std::uint8_t, 3>{}));
    }
    EXPECT_EQ(g.bteTotalTime, (std::array<std::uint8_t, 3>{}));
    EXPECT_EQ(g.lngWinCount, (std::array<std::int32_t, 2>{0, 0}));
    EXPECT_TRUE(g.blnNoGame);
    EXPECT_EQ(g.bteGameState, kStateNoGame);
    EXPECT_EQ(g.bteRedView, 1) << "the orientation survives resets";
    EXPECT_EQ(g.bteQiPan[4][4], 0);
    EXPECT_EQ(g.bteQiPan[9][4], 20);
    EXPECT_EQ(g.bteShowQiPan, QiPan{});
    EXPECT_EQ(qiPuUpperBound(g.QiPuData), 0);
    EXPECT_EQ(g.lstQiPu.count(), 0);
    EXPECT_EQ(g.bteOptButState, (Buttons{2, 2, 2, 2, 2, 0, 0}));
}

TEST(NewGame, KeepsNamesLimitsTallyAndPhaseAndLeavesLoadDisabled) {
    GameState g;
    Session s;
    Dirty(g, s);
    NewGame(g, s);
    EXPECT_EQ(s.strWatchUserName, "w");
    for (const auto& seat : s.SeatUsers) {
        EXPECT_EQ(seat.strUserName, "p");
        EXPECT_EQ(seat.lngFaceNo, 3);
        EXPECT_TRUE(seat.intOffline);
        EXPECT_FALSE(seat.intHandUp);
        EXPECT_EQ(seat.bteTotalUsed, (std::array<std::uint8_t, 3>{}));
        EXPECT_EQ(seat.bteStepUsed, (std::array<std::uint8_t, 3>{}));
    }
    EXPECT_EQ(g.bteTotalTime, (std::array<std::uint8_t, 3>{1, 1, 1}));
    EXPECT_EQ(g.lngWinCount, (std::array<std::int32_t, 2>{3, 4}));
    EXPECT_EQ(g.bteGameState, 1);
    EXPECT_TRUE(g.blnNoGame);
    EXPECT_EQ(g.bteQiPan[4][4], 0);
    EXPECT_EQ(g.bteShowQiPan, QiPan{});
    EXPECT_EQ(qiPuUpperBound(g.QiPuData), 0);
    EXPECT_EQ(g.lstQiPu.count(), 0);
    EXPECT_EQ(g.bteOptButState, (Buttons{2, 2, 2, 2, 2, 2, 0}));
}

TEST(RebuildQiPan, ReplaysAndSelectsTheLastOfSeveralLines) {
    const struct {
        int moves;
        int selected;
    } cases[] = {{0, -1}, {1, -1}, {2, 1}, {3, 2}};
    const QiPuItem game[] = {{0x77, 19, 0x74, 0}, {0x01, 2, 0x22, 0}, {0x90, 17, 0x80, 0}};
    for (const auto& c : cases) {
        GameState g;
        g.lstQiPu.addLine("stale");
        for (int k = 0; k < c.moves; ++k)
            g.QiPuData.push_back(game[k]);
        RebuildQiPan(g);
        EXPECT_EQ(g.lstQiPu.count(), c.moves);
        EXPECT_EQ(g.lstQiPu.selectedRow(), c.selected) << c.moves;
    }
    GameState g;
    for (const QiPuItem& m : game)
        g.QiPuData.push_back(m);
    RebuildQiPan(g);
    EXPECT_EQ(g.lstQiPu.lines(), (QStringList{"红1 ：炮二平五", "黑1 ：马2进3", "红2 ：车九进一"}));
    EXPECT_EQ(g.bteQiPan[7][4], 19);
    EXPECT_EQ(g.bteQiPan[2][2], 2);
    EXPECT_EQ(g.bteQiPan[8][0], 17);
    EXPECT_EQ(g.bteQiPan[9][0], 0);
}

TEST(QiPuLineList, SelectionFollowsTheLines) {
    QiPuLineList list;
    int signalled = -2;
    QObject::connect(&list, &QiPuLineList::selectionChanged, [&](int row) { signalled = row; });
    list.addLine("a");
    list.addLine("b");
    list.select(1);
    EXPECT_EQ(signalled, 1);
    list.select(5);
    EXPECT_EQ(list.selectedRow(), -1);
    list.select(1);
    list.removeLast();
    EXPECT_EQ(list.selectedRow(), -1);
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.data(list.index(0), Qt::DisplayRole).toString(), "a");
    list.clear();
    EXPECT_EQ(list.count(), 0);
}

}  // namespace
}  // namespace xq
