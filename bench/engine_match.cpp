// The built-in levels against a UCI engine (Fairy-Stockfish by default), alternating colours,
// the engine at a fixed time a move through the same engine process the windows use. Prints
// every game and the score, so that the built-in opponent's strength is a figure.
//
//   bench_engine_match [games] [level] [engine ms per move] [level ms per move] [max plies]
//   [engine]

#include <QCoreApplication>
#include <QEventLoop>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>

#include "engine/move_choice.h"
#include "engine/searcher.h"
#include "rules/movegen.h"
#include "uci/engine_process.h"

namespace {

enum class Result { LevelWins, EngineWins, Draw };

// The engine's move in the position after `moves`, nothing when it had none or failed.
std::optional<xq::Move> engineMove(xq::uci::EngineProcess& engine,
                                   const std::vector<xq::Move>& moves, int ms) {
    std::optional<std::optional<xq::Move>> answer;
    QEventLoop wait;
    const auto got = QObject::connect(&engine, &xq::uci::EngineProcess::bestMove,
                                      [&](std::optional<xq::Move> m) {
                                          answer = m;
                                          wait.quit();
                                      });
    const auto lost = QObject::connect(&engine, &xq::uci::EngineProcess::gaveUp, [&] {
        answer = std::optional<xq::Move>{};
        wait.quit();
    });
    xq::uci::SearchRequest r;
    r.moves = moves;
    r.amount = ms;
    if (engine.search(r) && !answer) wait.exec();
    QObject::disconnect(got);
    QObject::disconnect(lost);
    return answer.value_or(std::nullopt);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const auto arg = [&](int i, int fallback) { return argc > i ? std::atoi(argv[i]) : fallback; };
    const int games = arg(1, 4);
    const int level = arg(2, 5);
    const int engineMs = arg(3, 100);
    const int levelMs = arg(4, 1000);
    const int maxPlies = arg(5, 200);
    QString program = argc > 6 ? QString::fromLocal8Bit(argv[6]) : QString();
    if (program.isEmpty()) {
        program = QStandardPaths::findExecutable(
            QStringLiteral("fairy-stockfish"),
            {QStringLiteral("/usr/games"), QStringLiteral("/usr/bin")});
    }
    if (program.isEmpty()) {
        std::fprintf(stderr,
                     "bench_engine_match: no engine (install fairy-stockfish, or name one)\n");
        return 2;
    }
    xq::uci::EngineProcess engine;
    engine.setSettings({1, 64, 1, std::nullopt});
    engine.start(program);

    xq::engine::LevelProfile profile = xq::engine::profileForLevel(level);
    profile.capMs = levelMs;
    xq::engine::Searcher searcher(64);
    int wins = 0, draws = 0, losses = 0;
    for (int g = 0; g < games; ++g) {
        const bool levelIsRed = g % 2 == 0;
        std::mt19937 rng(static_cast<std::uint32_t>(500 + g));
        searcher.clear();
        xq::Position pos = xq::Position::Initial();
        std::vector<xq::Move> moves;
        Result result = Result::Draw;
        const char* why = "move limit";
        for (int ply = 0; ply < maxPlies; ++ply) {
            xq::MoveList legal;
            generateLegalMoves(pos, legal);
            const bool redToMove = pos.sideToMove() == xq::kRed;
            const bool levelToMove = redToMove == levelIsRed;
            if (legal.size() == 0) {
                result = levelToMove ? Result::EngineWins : Result::LevelWins;
                why = "no move left";
                break;
            }
            std::optional<xq::Move> m;
            if (levelToMove) {
                xq::engine::SearchBoard board(xq::Position::Initial());
                for (const xq::Move played : moves)
                    board.make(played);
                const xq::engine::Choice c = xq::engine::chooseMove(
                    searcher, board, profile, {levelMs / 2, levelMs, levelMs}, rng);
                if (c.hasMove) m = c.move;
            } else {
                m = engineMove(engine, moves, engineMs);
            }
            if (!m || std::find(legal.begin(), legal.end(), *m) == legal.end()) {
                result = levelToMove ? Result::EngineWins : Result::LevelWins;
                why = levelToMove ? "the level gave up" : "the engine had no move";
                break;
            }
            moves.push_back(*m);
            pos.makeMove(*m);
        }
        const char* told = result == Result::LevelWins    ? "level wins"
                           : result == Result::EngineWins ? "engine wins"
                                                          : "draw";
        if (result == Result::LevelWins) ++wins;
        if (result == Result::EngineWins) ++losses;
        if (result == Result::Draw) ++draws;
        std::printf("game %2d: level %d plays %s, %3zu plies, %s (%s)\n", g + 1, level,
                    levelIsRed ? "red  " : "black", moves.size(), told, why);
        std::fflush(stdout);
    }
    std::printf("level %d at %d ms vs %s at %d ms: %d wins, %d draws, %d losses (%.1f of %d)\n",
                level, levelMs, qPrintable(engine.engineName()), engineMs, wins, draws, losses,
                wins + draws / 2.0, games);
    return 0;
}
