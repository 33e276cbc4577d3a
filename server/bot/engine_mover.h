#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "server/bot/move_source.h"
#include "server/bot/search_worker.h"
#include "uci/engine_process.h"

namespace xq::server {

// How strongly an engine plays at each of the bot's levels: its skill (where it offers one) and
// the most time it may take a move. Level 6, the highest, is the engine at full strength.
struct EngineLevel {
    int skill = 20;
    int capMs = 1000;
};
inline constexpr int kMaxEngineLevel = 6;
EngineLevel engineLevel(int level);

// The bot's moves from a UCI engine in a process of its own. Until the engine answers, and for
// good once it has been given up (it would not start, or kept failing), the built-in search
// answers instead, so the bot always moves.
class EngineMover : public QObject, public MoveSource {
public:
    using LogSink = std::function<void(const QString&)>;
    // The answers come through the event loop of the thread it is made on (`context` is kept
    // for the built-in search's like).
    EngineMover(QObject* context, const QString& program, int level, std::size_t tableMegabytes,
                std::uint32_t seed, LogSink log);
    ~EngineMover() override;

    void start(SearchJob job, Done done) override;
    void cancel() override;

    // The engine is used (not given up).
    bool engineInUse() const { return !givenUp_; }

private:
    void onBestMove(std::optional<Move> move);

    uci::EngineProcess engine_;
    SearchWorker fallback_;
    LogSink log_;
    bool givenUp_ = false;
    std::optional<SearchJob> job_;  // the one under way at the engine
    Done done_;
    std::optional<uci::SearchLine> last_;  // its latest first line
};

}  // namespace xq::server
