#pragma once

#include <functional>

#include "server/store/player_store.h"
#include "server/user_stats.h"

namespace xq::server {

// The room's statistics kept in the players' database: a name's stored record on arrival, and
// each finished game with both results in one transaction.
class DatabaseStats : public StatsStore {
public:
    using LogSink = std::function<void(const QString&)>;

    DatabaseStats(PlayerStore& store, LogSink log) : store_(store), log_(std::move(log)) {}

    std::optional<UserStats> enter(const QString& name) override;
    bool record(const GameOutcome& game, QString* error) override;

private:
    PlayerStore& store_;
    LogSink log_;
};

// A stored player as the table's rows count him: a runaway is a lost game as well as an escape.
UserStats statsOf(const StoredPlayer& stored);

}  // namespace xq::server
