#include "server/bot/search_worker.h"

#include <QMetaObject>
#include <QObject>
#include <random>

namespace xq::server {

SearchWorker::SearchWorker(QObject* context, std::size_t tableMegabytes, std::uint32_t seed)
    : context_(context),
      searcher_(std::make_unique<engine::Searcher>(tableMegabytes)),
      seed_(seed) {}

SearchWorker::~SearchWorker() {
    cancel();
    join();
}

void SearchWorker::cancel() {
    stop_.store(true);
}

void SearchWorker::join() {
    if (thread_.joinable()) thread_.join();
}

void SearchWorker::start(SearchJob job, Done done) {
    cancel();
    join();
    stop_.store(false);
    const std::uint32_t seed = seed_++;
    thread_ = std::thread([this, job = std::move(job), done = std::move(done), seed] {
        if (job.newGame) searcher_->clear();
        engine::SearchBoard board(Position::Initial());
        for (Move m : job.moves)
            board.make(m);
        std::mt19937 rng(seed);
        const engine::Choice choice = engine::chooseMove(*searcher_, board, job.profile, job.budget,
                                                         rng, job.excluded, &stop_);
        // Posted to the context's event loop; dropped if the context is gone by then.
        QMetaObject::invokeMethod(
            context_, [done, choice] { done(choice); }, Qt::QueuedConnection);
    });
}

}  // namespace xq::server
