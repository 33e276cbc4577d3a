// Full repaint of the board of a 1920 x 1080 window, with the generated skins when they exist.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>

#include "board/board_view.h"
#include "game/game_state.h"
#include "prefs/user_settings.h"
#include "startup/session.h"
#include "ui/table_scene.h"

namespace {

void BM_FullBoardRepaint(benchmark::State& state) {
    xq::Session session;
    session.strAppPath = QStringLiteral(XQ_GAME_DIR) + '/';
    xq::GameState game;
    xq::InitQiPan(game.bteQiPan);
    game.bteRedView = 1;
    xq::BuildShowQiPan(game.bteQiPan, 1, game.bteShowQiPan);
    xq::UserSettings settings;
    xq::BoardView view;
    view.setScene(xq::tableScene(session, game, settings));
    // The board of a 1920 x 1080 window: the game pane's board box at the aspect 608 : 670.
    view.resize(914, 1008);
    view.repaintBoard();
    for (auto _ : state) {
        view.repaintBoard();
        benchmark::DoNotOptimize(view.surface().constBits());
    }
    state.SetLabel(QDir(session.strAppPath + "Res").exists() ? "with skins" : "without skins");
}
BENCHMARK(BM_FullBoardRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
