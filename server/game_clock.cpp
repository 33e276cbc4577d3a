#include "server/game_clock.h"

#include <algorithm>

namespace xq::server {

void GameClock::start(qint64 nowMs, int mover, int stepAllowanceSeconds) {
    bank_ = {0, 0};
    turnStartMs_ = nowMs;
    mover_ = mover & 1;
    allowance_ = std::max(0, stepAllowanceSeconds);
    stopped_ = false;
}

void GameClock::restore(int mover, int stepAllowanceSeconds, std::array<int, 2> banks) {
    bank_ = {std::max(0, banks[0]), std::max(0, banks[1])};
    mover_ = mover & 1;
    allowance_ = std::max(0, stepAllowanceSeconds);
    turnStartMs_ = 0;
    stopped_ = true;
}

void GameClock::resumeAt(qint64 nowMs) {
    if (!stopped_) return;
    // The step clock starts afresh: the mover gets his free time again after the pause.
    turnStartMs_ = nowMs;
    stopped_ = false;
}

void GameClock::passTurn(qint64 nowMs) {
    resumeAt(nowMs);
    bank_[static_cast<std::size_t>(mover_)] = bankSeconds(mover_, nowMs);
    mover_ ^= 1;
    turnStartMs_ = nowMs;
}

int GameClock::chargedSoFar(qint64 nowMs) const {
    const auto elapsed = static_cast<int>(std::max<qint64>(0, nowMs - turnStartMs_) / 1000);
    // Tick n charges the bank when n >= allowance; with no allowance every tick does.
    return std::max(0, elapsed - std::max(allowance_, 1) + 1);
}

int GameClock::bankSeconds(int seat, qint64 nowMs) const {
    if (seat != 0 && seat != 1) return 0;
    const int stored = bank_[static_cast<std::size_t>(seat)];
    return seat == mover_ && !stopped_ ? stored + chargedSoFar(nowMs) : stored;
}

std::array<std::uint8_t, 3> GameClock::triple(int seconds) {
    seconds = std::max(0, seconds);
    return {static_cast<std::uint8_t>((seconds / 3600) % 100),
            static_cast<std::uint8_t>((seconds / 60) % 60),
            static_cast<std::uint8_t>(seconds % 60)};
}

}  // namespace xq::server
