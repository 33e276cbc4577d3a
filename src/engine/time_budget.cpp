#include "engine/time_budget.h"

#include <algorithm>

namespace xq::engine {
namespace {

// The bank is spread as if this many moves were still to come.
constexpr int kMovesToCome = 25;
constexpr int kMinSafetyMs = 250;
constexpr int kMaxSafetyMs = 2000;

}  // namespace

int chargedSeconds(std::int64_t elapsedMs, int stepAllowanceSeconds) {
    const std::int64_t ticks = std::max<std::int64_t>(0, elapsedMs) / 1000;
    // Tick n charges the bank once n reaches the allowance; with no allowance every tick does.
    const std::int64_t charged = ticks - std::max(stepAllowanceSeconds, 1) + 1;
    return static_cast<int>(std::clamp<std::int64_t>(charged, 0, 1'000'000));
}

std::int64_t msBeforeLoss(const ClockState& clock) {
    const std::int64_t left = std::max(0, clock.bankLimitSeconds - clock.bankUsedSeconds);
    return (left + std::max(clock.stepAllowanceSeconds, 1)) * 1000;
}

MoveBudget planMove(const ClockState& clock, int capMs) {
    const std::int64_t window = msBeforeLoss(clock);
    const std::int64_t safety = std::clamp<std::int64_t>(window / 5, kMinSafetyMs, kMaxSafetyMs);
    const std::int64_t latest = std::max<std::int64_t>(0, window - safety);
    const std::int64_t free = std::max<std::int64_t>(
        0, std::int64_t{std::max(clock.stepAllowanceSeconds, 1)} * 1000 - safety);
    const std::int64_t bankLeftMs =
        std::int64_t{std::max(0, clock.bankLimitSeconds - clock.bankUsedSeconds)} * 1000;
    std::int64_t soft =
        std::min<std::int64_t>(std::max(0, capMs), free + bankLeftMs / kMovesToCome);
    soft = std::min(soft, latest);
    const std::int64_t hard = std::min(latest, soft + soft / 2 + 50);
    MoveBudget b;
    b.softMs = static_cast<int>(soft);
    b.hardMs = static_cast<int>(hard);
    b.latestMs = static_cast<int>(std::min<std::int64_t>(latest, 1'000'000'000));
    return b;
}

}  // namespace xq::engine
