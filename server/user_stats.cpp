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

void StatsBook::record(const QString& name, GameResult result, int scoreChange) {
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
