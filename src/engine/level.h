#pragma once

namespace xq::engine {

inline constexpr int kMinLevel = 1;
inline constexpr int kMaxLevel = 5;

// How hard a level plays. The weak levels look only a move or two ahead and blur their judgement
// with noise and the odd random move, so that a beginner can beat them; the strong ones search
// as deep as their time allows.
struct LevelProfile {
    int level = 3;
    int maxDepth = 64;
    // Most time to spend on a move, when the clock allows it.
    int capMs = 1000;
    // Each root move's score is blurred by up to this much either way (0: exact play).
    int noise = 0;
    // Per cent of moves chosen at random among the legal ones.
    int randomPercent = 0;
};

// The profile of a level; levels outside 1..5 are brought into range.
LevelProfile profileForLevel(int level);

}  // namespace xq::engine
