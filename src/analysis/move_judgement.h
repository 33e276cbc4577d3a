#pragma once

#include <vector>

namespace xq::analysis {

// How much a move gave away, by the engine's scores of the positions before and after it.
enum class Judgement { Fine, Mistake, Blunder };

// Centipawns a move must lose, from its mover's side, to count as a mistake (失误) or a
// blunder (严重失误). Scores are first kept within ±kJudgedRange, so that a mate found a move
// later, or a won game won a little less, is not called a blunder.
inline constexpr int kMistakeLoss = 100;
inline constexpr int kBlunderLoss = 300;
inline constexpr int kJudgedRange = 2000;

// `redScores[k]` is the score, from red's side, of the position after k moves; `redMovesFirst`
// whether the first move is red's. One judgement for each move (redScores.size() - 1 of them).
std::vector<Judgement> judgeMoves(const std::vector<int>& redScores, bool redMovesFirst);

}  // namespace xq::analysis
