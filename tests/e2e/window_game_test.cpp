// Two table windows in one process play through the real server on 127.0.0.1, driven by the
// clicks a player makes: Start, the settings dialog, two board clicks per move, the command
// buttons, and the answers to the boxes that appear.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>

#include "../support/server_process.h"
#include "board/board_view.h"
#include "ui/app_startup.h"
#include "ui/control_panel.h"
#include "ui/game_pane.h"
#include "ui/game_set_dialog.h"
#include "ui/main_window.h"
#include "ui/msg_box.h"
#include "ui/player_panels.h"

namespace xq {
namespace {

using namespace xq::test;

void Mouse(QWidget* w, QEvent::Type type, QPoint at) {
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

struct Player {
    Player(const QString& name, quint16 port) {
        const QStringList words = {LaunchToken(),
                                   "127.0.0.1",
                                   QString::number(port),
                                   "中国象棋",
                                   "长工_100`短工_200",
                                   "-",
                                   "-",
                                   name,
                                   "1"};
        window = StartTable(state, words, "/nonexistent/hall/game");
        if (!window) return;
        window->onUnloaded = [] {};
        QObject::connect(window.get(), &MainWindow::soundRequested,
                         [this](const QString& path) { sounds << path.section(u'/', -1); });
    }
    // Two clicks on display points of the board.
    void click(int fromRow, int fromCol, int toRow, int toCol) {
        BoardView& board = window->gamePane().board();
        for (auto [row, col] : {std::pair{fromRow, fromCol}, {toRow, toCol}}) {
            const QPoint at =
                board.geometry().cell(row, col) +
                QPoint(board.geometry().pieceSize / 2, board.geometry().pieceSize / 2);
            Mouse(&board, QEvent::MouseMove, at);
            Mouse(&board, QEvent::MouseButtonRelease, at);
        }
    }
    // Moves the pointer over a command button and releases it there.
    void command(int index) {
        ControlPanel& panel = window->controlPanel();
        const QPoint at(40, OptButtonTop(panel.height(), index) + 10);
        Mouse(&panel, QEvent::MouseMove, at);
        Mouse(&panel, QEvent::MouseButtonRelease, at);
    }
    GameState& game() { return state.game; }
    long moves() { return QiPuUpperBound(state.game.QiPuData); }

    ClientState state;
    std::unique_ptr<MainWindow> window;
    QStringList sounds;
};

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
    QStringList seen;
    QTimer answering;
    answering.setInterval(20);
    QObject::connect(&answering, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<MsgBox*>(w);
            if (box == nullptr || !box->isVisible() || box->info().type == 0) continue;
            seen << box->note();
            box->button(box->info().type == 2 ? answer : 0)->click();
        }
    });
    answering.start();

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
    EXPECT_TRUE(seen.contains("本局结束：黑方 输！原因：认输"));
    if (HasFailure()) server.dumpLog();
}

}  // namespace
}  // namespace xq
