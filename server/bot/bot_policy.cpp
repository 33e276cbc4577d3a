#include "server/bot/bot_policy.h"

#include "engine/score.h"

namespace xq::server {

void BotPolicy::newGame() {
    undos_ = 0;
    badMoves_ = 0;
}

bool BotPolicy::agreeToUndo() {
    return ++undos_ <= config_.undosPerGame;
}

bool BotPolicy::acceptDraw(int score, bool deadDrawn) const {
    return deadDrawn || score <= config_.drawBelow;
}

bool BotPolicy::resignAfter(int score) {
    if (score < -engine::kMateBound) return true;
    badMoves_ = score <= config_.resignBelow ? badMoves_ + 1 : 0;
    return badMoves_ >= config_.resignAfterMoves;
}

}  // namespace xq::server
