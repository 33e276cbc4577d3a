#pragma once

namespace xq::engine {

// Scores are centipawn-like units from the point of view of the side to move.
inline constexpr int kInfinity = 32000;
inline constexpr int kMate = 30000;
// Anything beyond this is a forced mate; the distance is kMate minus the score, in plies.
inline constexpr int kMateBound = kMate - 1000;
inline constexpr int kDrawScore = 0;
inline constexpr int kMaxPly = 96;

constexpr bool isMateScore(int score) {
    return score > kMateBound || score < -kMateBound;
}

}  // namespace xq::engine
