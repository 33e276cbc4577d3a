#pragma once

#include <cstdint>

namespace xq::engine {

// The clock of the side to move as the table counts it: every second of a move runs on the step
// clock; from the second at which the step clock reaches the free time per move, every second is
// also charged to the bank; the game is lost once the bank exceeds its limit.
struct ClockState {
    int bankUsedSeconds = 0;
    int bankLimitSeconds = 0;
    int stepAllowanceSeconds = 0;
};

// Seconds charged to the bank by a move that took elapsedMs.
int chargedSeconds(std::int64_t elapsedMs, int stepAllowanceSeconds);

// How long a move may take before the bank exceeds its limit: a move must be sent strictly
// before this many milliseconds.
std::int64_t msBeforeLoss(const ClockState& clock);

// Time for one move, counted from the start of the turn.
struct MoveBudget {
    int softMs = 0;    // aim: start no new iteration past half of it
    int hardMs = 0;    // the search stops here
    int latestMs = 0;  // the move must be on its way by then, whatever else happens
};

// Plans a move: spend the free time per move up to the level's cap, plus a small share of what
// is left in the bank, and keep a safety margin before the moment the move would lose on time.
MoveBudget planMove(const ClockState& clock, int capMs);

}  // namespace xq::engine
