#pragma once

#include <gtest/gtest.h>

#include <QImage>

#include "rules/board.h"
#include "rules/movegen.h"
#include "ui/game_set_dialog.h"
#include "window_player.h"

namespace xq::test {

inline Move MoveOf(const QiPuItem& item) {
    return Move{static_cast<std::uint8_t>(squareOf(item.bteFromPos >> 4, item.bteFromPos & 15)),
                static_cast<std::uint8_t>(squareOf(item.bteToPos >> 4, item.bteToPos & 15))};
}

// The position after a history that must be a legal game from the opening (colours alternating,
// red first); false at the first move that is not.
inline bool Replay(const QiPuHistory& history, Position& pos, std::string& why) {
    pos = Position::Initial();
    for (long k = 1; k <= qiPuUpperBound(history); ++k) {
        const Move m = MoveOf(history[static_cast<std::size_t>(k)]);
        if (pos.at(m.from) == kNoPiece || SideOf(pos.at(m.from)) != pos.sideToMove() ||
            !isLegalMove(pos, m)) {
            why = "move " + std::to_string(k) + " " + moveToText(m) + " does not follow";
            return false;
        }
        pos.makeMove(m);
    }
    return true;
}

// What the window shows agrees with the game the server holds: the history is a legal game, the
// logical board is its position, the display board its view, the list has a line per move, and
// the board drawn move by move looks exactly as a fresh drawing of it.
inline void ExpectShowsTheGame(WindowPlayer& p, const std::string& when) {
    SCOPED_TRACE(when);
    GameState& g = p.game();
    Position pos;
    std::string why;
    ASSERT_TRUE(Replay(g.QiPuData, pos, why)) << why;
    EXPECT_EQ(g.bteQiPan, pos.toQiPan());
    QiPan shown{};
    BuildShowQiPan(g.bteQiPan, g.bteRedView, shown);
    EXPECT_EQ(g.bteShowQiPan, shown);
    EXPECT_EQ(g.lstQiPu.count(), qiPuUpperBound(g.QiPuData));
    BoardView& board = p.window->gamePane().board();
    const QImage drawn = board.surface().copy();
    board.repaintBoard();
    EXPECT_TRUE(drawn == board.surface()) << "the pieces on the surface differ from the board";
}

// Start, the owner's settings confirmed, the game running.
inline void StartFirstGame(WindowPlayer& me, int waitMs) {
    ASSERT_TRUE(
        Eventually([&] { return me.game().bteOptButState[kBtnStart] == kButtonNormal; }, waitMs));
    me.command(kBtnStart);
    ASSERT_TRUE(Eventually([&] { return me.window->gameSetDialog() != nullptr; }, waitMs));
    me.window->gameSetDialog()->button(0)->click();
    ASSERT_TRUE(Eventually([&] { return !me.game().blnNoGame; }, waitMs));
}

}  // namespace xq::test
