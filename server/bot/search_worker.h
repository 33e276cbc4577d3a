#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "engine/move_choice.h"

class QObject;

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

// Runs the engine on a thread of its own so that the table's event loop never waits for it.
// The searcher works on its own copy of the position; the answer is handed back on the thread
// of the context object, through its event loop. One job at a time: starting a job stops the
// one before.
class SearchWorker {
public:
    using Done = std::function<void(const engine::Choice&)>;

    SearchWorker(QObject* context, std::size_t tableMegabytes, std::uint32_t seed);
    ~SearchWorker();
    SearchWorker(const SearchWorker&) = delete;
    SearchWorker& operator=(const SearchWorker&) = delete;

    void start(SearchJob job, Done done);
    // Asks a running search to stop soon; its answer still arrives.
    void cancel();

private:
    void join();

    QObject* context_;
    std::unique_ptr<engine::Searcher> searcher_;
    std::uint32_t seed_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace xq::server
