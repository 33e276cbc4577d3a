#include "analysis/move_judgement.h"

#include <algorithm>

namespace xq::analysis {

std::vector<Judgement> judgeMoves(const std::vector<int>& redScores, bool redMovesFirst) {
    std::vector<Judgement> out;
    for (std::size_t k = 1; k < redScores.size(); ++k) {
        const bool red = redMovesFirst == (k % 2 == 1);
        const auto kept = [](int v) { return std::clamp(v, -kJudgedRange, kJudgedRange); };
        const int before = kept(redScores[k - 1]);
        const int after = kept(redScores[k]);
        const int loss = red ? before - after : after - before;
        out.push_back(loss >= kBlunderLoss   ? Judgement::Blunder
                      : loss >= kMistakeLoss ? Judgement::Mistake
                                             : Judgement::Fine);
    }
    return out;
}

}  // namespace xq::analysis
