// A match of two playing levels of the computer opponent, alternating colours. Prints every
// game and the score; illegal moves and moves that would have lost on time must both stay 0.
//
//   bot_match [games] [strong level] [weak level] [ms per move of the strong level] [max plies]

#include <cstdio>
#include <cstdlib>

#include "engine/self_play.h"

int main(int argc, char** argv) {
    using namespace xq::engine;
    const auto arg = [&](int i, int fallback) { return argc > i ? std::atoi(argv[i]) : fallback; };
    const int games = arg(1, 10);
    const int strongLevel = arg(2, 5);
    const int weakLevel = arg(3, 1);
    const int strongMs = arg(4, 200);
    const int maxPlies = arg(5, 160);

    SelfPlayer strong{profileForLevel(strongLevel)};
    strong.profile.capMs = strongMs;
    const SelfPlayer weak{profileForLevel(weakLevel)};

    int wins = 0, draws = 0, losses = 0, illegal = 0, overruns = 0;
    std::int64_t longest = 0, lateness = 0;
    for (int g = 0; g < games; ++g) {
        const bool strongIsRed = g % 2 == 0;
        SelfPlayOptions options;
        options.maxPlies = maxPlies;
        options.seed = static_cast<std::uint32_t>(1000 + g);
        // A tight clock: a minute in the bank, one free second per move.
        options.bankLimitSeconds = 60;
        options.stepAllowanceSeconds = 1;
        const SelfPlayGame game =
            strongIsRed ? playSelfGame(strong, weak, options) : playSelfGame(weak, strong, options);
        const Winner strongSide = strongIsRed ? Winner::Red : Winner::Black;
        const char* result = "draw";
        if (game.winner == strongSide) {
            ++wins;
            result = "strong wins";
        } else if (game.winner != Winner::Draw) {
            ++losses;
            result = "weak wins";
        } else {
            ++draws;
        }
        illegal += game.illegalMoves;
        overruns += game.timeOverruns;
        longest = std::max(longest, game.longestMoveMs);
        lateness = std::max(lateness, game.worstLatenessMs);
        std::printf("game %2d: level %d plays %s, %3d plies, %s (%s)\n", g + 1, strongLevel,
                    strongIsRed ? "red  " : "black", game.plies, result, game.reason.c_str());
        std::fflush(stdout);
    }
    std::printf("level %d vs level %d: %d wins, %d draws, %d losses\n", strongLevel, weakLevel,
                wins, draws, losses);
    std::printf(
        "illegal moves: %d, time overruns: %d, longest move: %lld ms, "
        "worst past the planned stop: %lld ms\n",
        illegal, overruns, static_cast<long long>(longest), static_cast<long long>(lateness));
    return illegal == 0 && overruns == 0 ? 0 : 1;
}
