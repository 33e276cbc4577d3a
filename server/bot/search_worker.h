#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "engine/move_choice.h"
#include "server/bot/move_source.h"

class QObject;

namespace xq::server {

// Runs the engine on a thread of its own so that the table's event loop never waits for it.
// The searcher works on its own copy of the position; the answer is handed back on the thread
// of the context object, through its event loop. One job at a time: starting a job stops the
// one before.
class SearchWorker : public MoveSource {
public:
    SearchWorker(QObject* context, std::size_t tableMegabytes, std::uint32_t seed);
    ~SearchWorker() override;
    SearchWorker(const SearchWorker&) = delete;
    SearchWorker& operator=(const SearchWorker&) = delete;

    void start(SearchJob job, Done done) override;
    void cancel() override;

private:
    void join();

    QObject* context_;
    std::unique_ptr<engine::Searcher> searcher_;
    std::uint32_t seed_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace xq::server
