// Whole-game analysis: the judgement of moves by the scores around them, and the run over a
// game against a scripted engine and the real Fairy-Stockfish.

#include <gtest/gtest.h>

#include <QStandardPaths>

#include "../support/eventually.h"
#include "../support/scripted_engine.h"
#include "analysis/game_analysis.h"
#include "prefs/engine_choice.h"
#include "rules/iccs.h"

namespace xq::analysis {
namespace {

using J = Judgement;

TEST(MoveJudgementTest, AMoveIsWeighedByWhatItsMoverLost) {
    const struct {
        const char* what;
        std::vector<int> red;
        bool redFirst;
        std::vector<J> want;
    } cases[] = {
        {"even play", {20, 25, 10, 30}, true, {J::Fine, J::Fine, J::Fine}},
        {"red drops a chariot", {20, -880}, true, {J::Blunder}},
        {"black lets red in", {0, 0, 150}, true, {J::Fine, J::Mistake}},
        {"black moves first", {0, 150}, false, {J::Mistake}},
        {"just under a mistake", {0, -99}, true, {J::Fine}},
        {"just a blunder", {0, -300}, true, {J::Blunder}},
        // A won game won a little less, or a mate seen a move later, is no blunder.
        {"still winning", {9990, 2500, 9980}, true, {J::Fine, J::Fine}},
        {"a mate let go", {9990, 500}, true, {J::Blunder}},
        {"no moves", {40}, true, {}},
        {"nothing", {}, true, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(judgeMoves(c.red, c.redFirst), c.want) << c.what;
}

std::vector<Move> Opening() {
    return {*parseIccsMove("h2e2"), *parseIccsMove("h9g7"), *parseIccsMove("h0g2"),
            *parseIccsMove("b9c7")};
}

TEST(GameAnalysisTest, EveryPositionIsScoredAndTheMovesJudged) {
    // The engine's scores are for the side to move: red's at positions 0, 2 and 4. From red's
    // side: 20, 20, 150, -200, -190.
    const test::ScriptedEngine engine(
        {QStringLiteral("--scores"), QStringLiteral("20,-20,150,200,-190")});
    GameAnalysis run(engine.path());
    std::vector<std::pair<int, int>> progress;
    bool finished = false;
    QObject::connect(&run, &GameAnalysis::progress,
                     [&](int done, int total) { progress.emplace_back(done, total); });
    QObject::connect(&run, &GameAnalysis::finished, [&] { finished = true; });
    ASSERT_TRUE(run.start(Position::Initial(), Opening(), 50));
    ASSERT_TRUE(test::Eventually([&] { return finished; }));
    EXPECT_EQ(run.redScores(), (std::vector<int>{20, 20, 150, -200, -190}));
    EXPECT_EQ(run.judgements(), (std::vector<J>{J::Fine, J::Mistake, J::Blunder, J::Fine}));
    ASSERT_EQ(progress.size(), 5u);
    EXPECT_EQ(progress.back(), std::make_pair(5, 5));
    EXPECT_FALSE(run.running());

    GameAnalysis none{QString()};
    EXPECT_FALSE(none.start(Position::Initial(), Opening(), 50)) << "no engine, no run";
}

TEST(GameAnalysisTest, ARunCanBeStopped) {
    const test::ScriptedEngine engine({QStringLiteral("--think-ms"), QStringLiteral("300")});
    GameAnalysis run(engine.path());
    QString why;
    QObject::connect(&run, &GameAnalysis::abandoned, [&](const QString& w) { why = w; });
    ASSERT_TRUE(run.start(Position::Initial(), Opening(), 50));
    ASSERT_TRUE(test::Eventually([&] { return run.redScores().size() >= 1; }));
    run.stop();
    EXPECT_FALSE(run.running());
    EXPECT_EQ(why, QStringLiteral("全局分析已停止"));
    const std::size_t scored = run.redScores().size();
    test::Eventually([] { return false; }, 700);
    EXPECT_EQ(run.redScores().size(), scored) << "nothing more after the stop";
}

TEST(GameAnalysisTest, FairyStockfishGoesThroughAShortGame) {
    const QString program = installedFairyStockfish();
    if (program.isEmpty()) GTEST_SKIP() << "fairy-stockfish is not installed";
    // The opening, both left chariots up, and red's cannon takes the central pawn.
    std::vector<Move> game = Opening();
    for (const char* m : {"a0a1", "a9a8", "e2e6"})
        game.push_back(*parseIccsMove(m));
    GameAnalysis run(program);
    bool finished = false;
    QObject::connect(&run, &GameAnalysis::finished, [&] { finished = true; });
    ASSERT_TRUE(run.start(Position::Initial(), game, 100));
    ASSERT_TRUE(test::Eventually([&] { return finished; }, 30000));
    ASSERT_EQ(run.redScores().size(), game.size() + 1);
    ASSERT_EQ(run.judgements().size(), game.size());
    // The opening is about even for the engine.
    EXPECT_LT(std::abs(run.redScores()[0]), 150);
}

}  // namespace
}  // namespace xq::analysis
