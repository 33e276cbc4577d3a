// Two table windows in one process play through the real server on 127.0.0.1, driven by the
// clicks a player makes: Start, the settings dialog, two board clicks per move, the command
// buttons, and the answers to the boxes that appear.

#include <gtest/gtest.h>

#include "ui/game_set_dialog.h"
#include "window_player.h"

namespace xq {
namespace {

using namespace xq::test;
using Player = WindowPlayer;

TEST(WindowGame, TwoWindowsPlayByMouse) {
    ServerProcess server;
    ASSERT_NE(server.port(), 0);
    Player red("红方", server.port());
    ASSERT_TRUE(red.window);
    ASSERT_TRUE(Eventually([&] { return red.state.session.strWatchUserName == "红方"; }));
    Player black("黑方", server.port());
    ASSERT_TRUE(black.window);
    ASSERT_TRUE(Eventually([&] { return red.state.session.SeatUsers[1].strUserName == "黑方"; }));

    // Boxes that appear are answered as the test says: questions by `answer`, notices with Yes.
    int answer = 1;
    BoxAnswerer boxes;
    boxes.answer = [&answer](const MsgBoxInfo&) { return answer; };
    const QStringList& seen = boxes.seen;

    ASSERT_TRUE(Eventually([&] { return red.game().bteOptButState[kBtnStart] == kButtonNormal; }));
    red.command(kBtnStart);
    ASSERT_TRUE(Eventually([&] { return red.window->gameSetDialog() != nullptr; }))
        << server.log().constData();
    red.window->gameSetDialog()->button(0)->click();
    ASSERT_TRUE(Eventually([&] { return black.window->gameSetDialog() != nullptr; }));
    black.window->gameSetDialog()->button(0)->click();
    ASSERT_TRUE(Eventually([&] { return !red.game().blnNoGame && !black.game().blnNoGame; }));
    EXPECT_TRUE(red.sounds.contains("Begin.wav"));
    EXPECT_TRUE(black.window->isVisible());
    EXPECT_TRUE(black.sounds.contains("Begin.wav")) << black.sounds.join(",").toStdString();

    // Red cannon to the centre; black elephant up (seen turned); the cannon takes the centre pawn
    // with check over the elephant.
    red.click(7, 7, 7, 4);
    ASSERT_TRUE(Eventually([&] { return black.moves() == 1; }));
    black.click(9, 6, 7, 4);
    ASSERT_TRUE(Eventually([&] { return red.moves() == 2; }));
    red.sounds.clear();
    red.click(7, 4, 3, 4);
    ASSERT_TRUE(Eventually([&] { return black.moves() == 3 && red.moves() == 3; }));
    EXPECT_EQ(red.sounds, (QStringList{"Select.wav", "Eat.wav", "Jiang.wav"}));
    EXPECT_TRUE(black.sounds.contains("Jiang.wav"));

    // An illegal target sounds Error and sends nothing.
    black.sounds.clear();
    black.click(9, 0, 5, 1);
    EXPECT_EQ(black.sounds, (QStringList{"Select.wav", "Error.wav"}));
    EXPECT_EQ(red.moves(), 3);

    // Both windows show the same list and board.
    EXPECT_EQ(red.game().lstQiPu.lines(), black.game().lstQiPu.lines());
    EXPECT_EQ(red.game().bteQiPan, black.game().bteQiPan);
    EXPECT_EQ(red.game().lstQiPu.lines().last(), "红2 ：炮五进四");

    // Black offers a draw and red refuses; then black resigns.
    answer = 1;
    black.command(kBtnDraw);
    ASSERT_TRUE(Eventually([&] { return seen.contains("黑方 想与你和棋，你是否同意?"); }));
    ASSERT_TRUE(Eventually([&] { return seen.contains("红方 不同意和棋，请继续下棋！"); }));
    black.command(kBtnResign);
    ASSERT_TRUE(Eventually(
        [&] { return red.game().bteGameState == 50 && black.game().bteGameState == 50; }));
    EXPECT_EQ(red.game().lngWinCount, (std::array<std::int32_t, 2>{1, 0}));
    EXPECT_TRUE(red.sounds.contains("GameWin.wav"));
    EXPECT_TRUE(black.sounds.contains("GameFail.wav"));
    // Three half-moves: the result is shown, and that it does not count.
    EXPECT_TRUE(seen.contains("本局结束：黑方 输！原因：认输（双方各走满两步才计分，本局不计分）"));
    if (HasFailure()) server.dumpLog();
}

}  // namespace
}  // namespace xq
