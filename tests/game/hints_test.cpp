// What the board tells a player who wants it: where the picked-up piece may go, why a target is
// refused, and the king in check; and the chat lines of arrivals and departures, which a player
// may turn off.

#include <gtest/gtest.h>

#include <algorithm>

#include "table_harness.h"

namespace xq {
namespace {

using namespace xq::test;
using Cells = std::vector<std::pair<int, int>>;

Cells Sorted(Cells c) {
    std::sort(c.begin(), c.end());
    return c;
}

// This user plays red (seat 0) or black (seat 1); red moves first.
struct TableInPlay : Harness {
    explicit TableInPlay(bool red = true)
        : Harness(red ? QStringLiteral("红方") : QStringLiteral("黑方")) {
        seat("红方", "黑方");
        start(0);
    }
};

TEST(MoveHints, ThePickedUpPieceShowsWhereItMayGoAndARefusalSaysWhy) {
    const struct {
        bool hintsOn;
        int row, col;        // the piece picked up (display point, red at the bottom)
        Cells targets;       // shown
        int toRow, toCol;    // then an illegal target
        const char* reason;  // shown
    } cases[] = {
        {true, 9, 1, {{7, 0}, {7, 2}}, 8, 3, "蹩马腿了"},
        {true,
         7,
         1,
         {{0, 1},
          {3, 1},
          {4, 1},
          {5, 1},
          {6, 1},
          {7, 0},
          {7, 2},
          {7, 3},
          {7, 4},
          {7, 5},
          {7, 6},
          {8, 1}},
         2,
         1,
         "炮吃子要隔一个棋子"},
        {true, 6, 0, {{5, 0}}, 6, 1, "兵（卒）过河以后才能横走"},
        {true, 9, 2, {{7, 0}, {7, 4}}, 5, 2, "这个棋子不能这样走"},
        {true, 9, 4, {{8, 4}}, 8, 3, "这个棋子不能这样走"},
        {false, 9, 1, {}, 8, 3, ""},
    };
    for (const auto& c : cases) {
        TableInPlay h;
        h.settings.bteBadMoveHint = c.hintsOn ? 1 : 0;
        h.table.onBoardClick(true, c.row, c.col);
        EXPECT_EQ(Sorted(h.screen.hints), Sorted(c.targets)) << c.row << "," << c.col;
        h.screen.sounds.clear();
        h.table.onBoardClick(true, c.toRow, c.toCol);
        EXPECT_EQ(h.screen.sounds, QStringList{"Error.wav"}) << "the sound in any case";
        EXPECT_EQ(h.screen.reasons, c.hintsOn ? QStringList{c.reason} : QStringList{})
            << c.row << "," << c.col << "->" << c.toRow << "," << c.toCol;
        EXPECT_TRUE(h.sent.size() <= 1) << "nothing sent for a refused target";
    }
}

TEST(MoveHints, AMoveOrTheEndClearsThemAndTheBlackViewTurnsThem) {
    TableInPlay h;
    h.table.onBoardClick(true, 9, 1);
    ASSERT_FALSE(h.screen.hints.empty());
    h.table.onBoardClick(true, 7, 2);  // the move goes out
    EXPECT_TRUE(h.screen.hints.empty());

    TableInPlay b(false);              // black at the bottom: logical points turned
    b.gameMsg(b.move(0, 7, 7, 7, 4));  // red plays first
    b.table.onBoardClick(true, 9, 1);  // black's horse, shown at the bottom left
    EXPECT_EQ(Sorted(b.screen.hints), Sorted(Cells{{7, 0}, {7, 2}}));
}

TEST(CheckShown, TheAttackedKingIsMarkedWithTheSound) {
    for (const bool red : {true, false}) {
        TableInPlay h(red);
        // Cannon to the centre, a black elephant up as a screen, the cannon takes the centre
        // pawn: check.
        h.gameMsg(h.move(0, 7, 7, 7, 4));
        h.gameMsg(h.move(1, 0, 2, 2, 4));
        h.screen.calls.clear();
        h.gameMsg(h.move(0, 7, 4, 3, 4));
        EXPECT_TRUE(h.screen.sounds.contains("Jiang.wav"));
        // The black king stands on e9: the top of a red view, the bottom of a black one.
        EXPECT_TRUE(
            h.screen.called(red ? QStringLiteral("check 0,4") : QStringLiteral("check 9,4")))
            << h.screen.calls.join(" | ").toStdString();
        // Black answers at once, the screen stepping back: the mark goes with the check, and does
        // not stay for its moment over a position where it no longer holds.
        h.screen.calls.clear();
        h.gameMsg(h.move(1, 2, 4, 0, 2));
        EXPECT_EQ(h.screen.calls.filter(QStringLiteral("check")), QStringList{"check off"});
    }
}

TEST(InOutLines, ArrivalsAndDeparturesOnlyWhenWanted) {
    for (const int wanted : {1, 0}) {
        Harness h;
        h.settings.bteShowInOutMsg = static_cast<std::uint8_t>(wanted);
        h.seat("红方", "黑方");
        const auto before = h.table.chat.lines().size();
        h.room(WithText({130, 0}, Row("看客", 0, "红方")));
        h.room(WithText({130, 4}, Row("路人", 0, "红方")));
        h.room(WithText({108, 4}, "看客"));
        h.room(WithText({110, 0}, "路人"));
        EXPECT_EQ(h.table.chat.lines().size() - before, wanted ? 4u : 0u) << wanted;
        EXPECT_TRUE(h.table.users.findRow("看客").isEmpty()) << "the list follows either way";
        h.room(WithText({108, 3}, "黑方"));
        EXPECT_EQ(h.table.chat.lines().size() - before, wanted ? 5u : 1u)
            << "a broken connection is not an arrival: always told";
    }
}

}  // namespace
}  // namespace xq
