#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "../support/table_board_view.h"
#include "board/board_view.h"
#include "game/game_state.h"
#include "prefs/user_settings.h"
#include "startup/session.h"

namespace xq {
namespace {

void Wait(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

struct View {
    View() {
        InitSession(session, QStringLiteral(XQ_TEST_GAME_DIR));
        ResetGame(game, session);
        InitQiPan(game.bteQiPan);
        BuildShowQiPan(game.bteQiPan, 1, game.bteShowQiPan);
        view.resize(548, 604);
        view.repaintBoard();
    }
    QImage shown() { return view.grab().toImage(); }
    Session session;
    GameState game;
    UserSettings settings;
    test::TableBoardView view{session, game, settings};
};

TEST(BoardNotes, HintsReasonAndCheckAppearAndTheMomentaryOnesGo) {
    View v;
    const QImage plain = v.shown();
    const QPoint empty = v.view.geometry().cell(7, 2) +
                         QPoint(v.view.geometry().pieceSize / 2, v.view.geometry().pieceSize / 2);
    v.view.notes().setHints({{7, 2}, {7, 0}});
    const QImage hinted = v.shown();
    EXPECT_NE(hinted.pixel(empty), plain.pixel(empty)) << "a dot on the empty target point";

    v.view.notes().showReason(QStringLiteral("蹩马腿了"));
    v.view.notes().markCheck(0, 4);
    EXPECT_NE(v.shown(), hinted);
    EXPECT_TRUE(v.view.notes().checkShown());
    Wait(BoardNotes::kCheckMs + 300);
    EXPECT_FALSE(v.view.notes().checkShown()) << "the check mark is for a moment";
    Wait(BoardNotes::kReasonMs - BoardNotes::kCheckMs + 300);
    EXPECT_TRUE(v.view.notes().reason().isEmpty()) << "the reason too";
    EXPECT_EQ(v.shown(), hinted) << "the hints stay until the piece is put down";
    v.view.notes().setHints({});
    EXPECT_EQ(v.shown(), plain);
}

}  // namespace
}  // namespace xq
