#pragma once

#include <QHash>
#include <QString>

namespace xq::server {

// What the server remembers of a name for as long as it runs.
struct UserStats {
    int userNumber = 0;
    int score = 1000;
    int games = 0;
    int won = 0;
    int lost = 0;
    int drawn = 0;
    int escapes = 0;

    // Whole per cents, rounded; 0 before the first game.
    int winRate() const;
    int escapeRate() const;
};

enum class GameResult { Won, Lost, Drawn, Escaped };

// Statistics keyed by name; a name gets its user number on its first arrival.
class StatsBook {
public:
    UserStats& of(const QString& name);
    const UserStats* find(const QString& name) const;
    void record(const QString& name, GameResult result, int scoreChange);

private:
    QHash<QString, UserStats> byName_;
    int arrivals_ = 0;
};

}  // namespace xq::server
