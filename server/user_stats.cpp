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

UserStats& StatsBook::arrive(const QString& name) {
    if (store_) {
        if (const auto stored = store_->enter(name)) {
            UserStats& s = byName_[name];
            s = *stored;
            return s;
        }
    }
    return of(name);
}

UserStats& StatsBook::of(const QString& name) {
    auto it = byName_.find(name);
    if (it == byName_.end()) {
        it = byName_.insert(name, UserStats{});
        it->userNumber = 10000 + ++arrivals_;
    }
    return *it;
}

const UserStats* StatsBook::find(const QString& name) const {
    auto it = byName_.constFind(name);
    return it == byName_.constEnd() ? nullptr : &*it;
}

bool StatsBook::recordGame(const GameOutcome& game, QString* error) {
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
    return !store_ || store_->record(game, error);
}

void StatsBook::apply(const QString& name, GameResult result, int scoreChange) {
    UserStats& s = of(name);
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
