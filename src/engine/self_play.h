#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/level.h"
#include "engine/time_budget.h"
#include "rules/position.h"

namespace xq::engine {

// One side of a game between two engines.
struct SelfPlayer {
    LevelProfile profile;
    // Table size of this side's searcher.
    std::size_t tableMegabytes = 4;
};

struct SelfPlayOptions {
    int maxPlies = 200;
    // Bank limit and free time per move of both sides, as a table would set them.
    int bankLimitSeconds = 600;
    int stepAllowanceSeconds = 30;
    // A game still running after maxPlies goes to the side this far ahead, else it is drawn.
    int adjudicateMargin = 300;
    std::uint32_t seed = 1;
};

enum class Winner { Red, Black, Draw };

struct SelfPlayGame {
    Winner winner = Winner::Draw;
    std::string reason;
    int plies = 0;
    // Moves that were not legal in the position: must stay 0.
    int illegalMoves = 0;
    // Moves that took so long that the bank would have run out: must stay 0.
    int timeOverruns = 0;
    // The longest a move took, and by how much a move went past its planned stop at most.
    std::int64_t longestMoveMs = 0;
    std::int64_t worstLatenessMs = 0;
    std::vector<Move> moves;
};

// Plays one game from the opening position, each side with its own searcher, under the table's
// clock model. Ends on a side without a legal move, a bank that ran out, an illegal move (which
// loses), a position seen for the third time (drawn), or after maxPlies (adjudicated).
SelfPlayGame playSelfGame(const SelfPlayer& red, const SelfPlayer& black,
                          const SelfPlayOptions& options);

}  // namespace xq::engine
