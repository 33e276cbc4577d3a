#pragma once

#include <atomic>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/level.h"
#include "engine/searcher.h"
#include "engine/time_budget.h"

namespace xq::engine {

struct Choice {
    bool hasMove = false;
    Move move;
    // The engine's honest view of the position for the side to move, noise left out.
    int score = 0;
    int depth = 0;
    int legalMoves = 0;
    std::uint64_t nodes = 0;
};

// Picks the move a level plays. A king left open by the opponent is taken at once (the table
// ends the game on it). The weak levels score the root moves and pick with noise, now and then
// at random; the others play the search's best move. Moves in `excluded` are never played.
// Without a move to play (mated, stalemated, or every move excluded) hasMove is false.
Choice chooseMove(Searcher& searcher, SearchBoard& board, const LevelProfile& profile,
                  const MoveBudget& budget, std::mt19937& rng,
                  const std::vector<Move>& excluded = {}, const std::atomic<bool>* stop = nullptr);

// A legal move that takes the king of the side not to move, if the position has one.
bool findKingCapture(const SearchBoard& board, Move& out);

}  // namespace xq::engine
