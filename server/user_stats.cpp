#include "server/user_stats.h"

namespace xq::server {
namespace {

int percent(int part, int whole) {
    return whole > 0 ? (part * 100 + whole / 2) / whole : 0;
}

}  // namespace

int UserStats::winRate() const {
    return percent(won, games);
}

int UserStats::escapeRate() const {
    return percent(escapes, games);
}

StatsBook::StatsBook(StatsStore* store) : store_(store) {}

void StatsBook::arrive(const QString& name) {
    if (!store_) {
        of(name);
        return;
    }
    of(name);
    // One question at a time per name: a crowd of arrivals asks once.
    if (asking_.contains(name)) return;
    asking_.insert(name);
    std::weak_ptr<int> alive = alive_;
    store_->look(name, [this, alive, name](std::optional<UserStats> stored) {
        if (alive.expired()) return;
        asking_.remove(name);
        if (stored) learn(name, *stored);
    });
}

void StatsBook::know(const QString& name, const UserStats& stats) {
    learn(name, stats);
}

void StatsBook::learn(const QString& name, const UserStats& stats) {
    UserStats& s = byName_[name];
    const bool same = s.userNumber == stats.userNumber && s.score == stats.score &&
                      s.games == stats.games && s.won == stats.won && s.lost == stats.lost &&
                      s.drawn == stats.drawn && s.escapes == stats.escapes && s.face == stats.face;
    s = stats;
    if (!same && changed_) changed_(name);
}

const UserStats& StatsBook::of(const QString& name) {
    auto it = byName_.find(name);
    if (it == byName_.end()) {
        it = byName_.insert(name, UserStats{});
        // Numbers are the store's to give: two servers on one store must not give one twice.
        if (!store_) it->userNumber = 10000 + ++arrivals_;
    }
    return *it;
}

const UserStats* StatsBook::find(const QString& name) const {
    auto it = byName_.constFind(name);
    return it == byName_.constEnd() ? nullptr : &*it;
}

void StatsBook::recordGame(const GameOutcome& game) {
    if (store_) {
        std::weak_ptr<int> alive = alive_;
        store_->record(game, [this, alive](const QString& name, const UserStats& stored) {
            if (!alive.expired()) learn(name, stored);
        });
        return;
    }
    for (std::size_t seat = 0; seat < 2; ++seat) {
        GameResult result = GameResult::Drawn;
        if (game.result == 0 || game.result == 1) {
            const bool lost = static_cast<std::size_t>(game.result) == seat;
            result = !lost          ? GameResult::Won
                     : game.escaped ? GameResult::Escaped
                                    : GameResult::Lost;
        }
        apply(game.names[seat], result, game.scoreChange[seat]);
    }
}

void StatsBook::apply(const QString& name, GameResult result, int scoreChange) {
    UserStats& s = byName_[name];
    if (s.userNumber == 0) s.userNumber = 10000 + ++arrivals_;
    s.score += scoreChange;
    ++s.games;
    switch (result) {
        case GameResult::Won:
            ++s.won;
            break;
        case GameResult::Drawn:
            ++s.drawn;
            break;
        case GameResult::Escaped:
            ++s.escapes;
            ++s.lost;
            break;
        case GameResult::Lost:
            ++s.lost;
            break;
    }
}

}  // namespace xq::server
