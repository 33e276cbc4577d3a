#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QUuid>
#include <functional>

#include "../support/server_process.h"
#include "board/board_view.h"
#include "rules/movegen.h"
#include "ui/app_startup.h"
#include "ui/control_panel.h"
#include "ui/game_pane.h"
#include "ui/main_window.h"
#include "ui/msg_box.h"
#include "ui/player_panels.h"

namespace xq::test {

inline void Mouse(QWidget* w, QEvent::Type type, QPoint at) {
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A real table window started with the nine words a hall gives, driven by mouse events.
struct WindowPlayer {
    WindowPlayer(const QString& name, quint16 port,
                 const QString& programFolder = QStringLiteral("/nonexistent/hall/game")) {
        const QStringList words = {launchToken(),
                                   "127.0.0.1",
                                   QString::number(port),
                                   "中国象棋",
                                   "长工_100`短工_200",
                                   QUuid::createUuid().toString(QUuid::WithoutBraces),
                                   "-",
                                   name,
                                   "1"};
        window = startTable(state, words, programFolder);
        if (!window) return;
        window->onUnloaded = [this] { ++unloads; };
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
    // A move given in logical points, clicked where the view shows them.
    void play(Move m) {
        const auto show = [this](int sq) {
            const int rank = rankOfSquare(sq), file = fileOfSquare(sq);
            return game().bteRedView == 1 ? std::pair{rank, file} : std::pair{9 - rank, 8 - file};
        };
        const auto [fr, fc] = show(m.from);
        const auto [tr, tc] = show(m.to);
        click(fr, fc, tr, tc);
    }
    // Moves the pointer over a command button and releases it there.
    void command(int index) {
        ControlPanel& panel = window->controlPanel();
        const QPoint at(40, optButtonTop(panel.height(), index) + 10);
        Mouse(&panel, QEvent::MouseMove, at);
        Mouse(&panel, QEvent::MouseButtonRelease, at);
    }
    // The board takes a move now: the user's turn, clock and turn flag running.
    bool myTurn() {
        Table& t = window->table();
        return !state.session.blnLookOn && game().bteGameState == state.session.bteMySeat &&
               !t.moving() && t.timerEnabled(TableTimer::UserRunTime) &&
               t.timerEnabled(TableTimer::UserRunFlag) && !t.blnWaitAnswer;
    }
    int mySide() { return game().bteRedView == 1 ? kRed : kBlack; }
    GameState& game() { return state.game; }
    long moves() { return qiPuUpperBound(state.game.QiPuData); }

    ClientState state;
    std::unique_ptr<MainWindow> window;
    QStringList sounds;
    int unloads = 0;
};

// Answers every box with buttons as a user would, once it is on the screen: questions as
// `answer` says (0 Yes, 1 No), one-button boxes with their button. Keeps every note seen. Each
// box is answered once, from its own show event; nothing polls.
struct BoxAnswerer : QObject {
    BoxAnswerer() { qApp->installEventFilter(this); }
    ~BoxAnswerer() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = event->type() == QEvent::Show ? qobject_cast<MsgBox*>(watched) : nullptr;
        if (box == nullptr || box->property("seenByTest").toBool()) return false;
        box->setProperty("seenByTest", true);
        seen << box->note();
        if (box->info().type == 0) return false;
        QTimer::singleShot(0, this, [this, b = QPointer<MsgBox>(box)] {
            if (b.isNull() || !b->isVisible()) return;
            b->button(b->info().type == 2 ? answer(b->info()) : 0)->click();
        });
        return false;
    }
    std::function<int(const MsgBoxInfo&)> answer = [](const MsgBoxInfo&) { return 1; };
    QStringList seen;
};

}  // namespace xq::test
