#pragma once

#include <functional>

#include "engine/level.h"
#include "engine/move_choice.h"
#include "engine/time_budget.h"

namespace xq::server {

// One question for the engine: the game so far (moves from the opening position), how to play,
// and how long it may take.
struct SearchJob {
    std::vector<Move> moves;
    engine::LevelProfile profile;
    engine::MoveBudget budget;
    std::vector<Move> excluded;
    bool newGame = false;  // forget what earlier games taught the searcher first
};

// Whatever finds the bot its moves: the built-in search, or an engine of its own. The answer
// comes through the event loop of the thread that asked, never inside start(). One job at a
// time: starting a job stops the one before (its answer may still come; the bot tells answers
// apart itself).
class MoveSource {
public:
    using Done = std::function<void(const engine::Choice&)>;
    virtual ~MoveSource() = default;
    virtual void start(SearchJob job, Done done) = 0;
    // Asks a running search to stop soon; its answer still arrives.
    virtual void cancel() = 0;
};

}  // namespace xq::server
