#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <array>
#include <optional>

namespace xq::server {

// What the room knows of a name: kept for as long as the server runs, and between runs when
// the room has a store.
struct UserStats {
    int userNumber = 0;
    int score = 1000;
    int games = 0;
    int won = 0;
    int lost = 0;  // escapes included
    int drawn = 0;
    int escapes = 0;
    int face = -1;  // -1: the picture the name hashes to

    // Whole per cents, rounded; 0 before the first game.
    int winRate() const;
    int escapeRate() const;
};

enum class GameResult { Won, Lost, Drawn, Escaped };

// A finished game as the room keeps it: both players' results and the record of the game.
struct GameOutcome {
    int table = 1;
    std::array<QString, 2> names;  // seat 0, seat 1
    int redSeat = 0;
    int result = 2;  // the losing seat, or 2 for a draw
    bool escaped = false;
    QString reason;
    std::array<int, 2> scoreChange{};
    QString terms;     // the agreed table settings, "`"-joined
    QByteArray moves;  // the record text (.drak)
};

// Where statistics live between runs (a database shared by the room's servers).
class StatsStore {
public:
    virtual ~StatsStore() = default;
    // The stored statistics of a name, made on its first arrival; nothing when the store fails.
    virtual std::optional<UserStats> enter(const QString& name) = 0;
    // The game and both players' new statistics, all or nothing. False, with the reason.
    virtual bool record(const GameOutcome& game, QString* error) = 0;
};

// Statistics keyed by name; a name gets its user number on its first arrival (from the store,
// when there is one).
class StatsBook {
public:
    explicit StatsBook(StatsStore* store = nullptr) : store_(store) {}

    // A name arrives at a table or in the hall: what the store has of it is fetched afresh, since
    // another server on the same store may have changed it.
    UserStats& arrive(const QString& name);
    UserStats& of(const QString& name);
    const UserStats* find(const QString& name) const;
    // A finished game: both players' statistics here and, in one transaction, in the store.
    // False, with the reason, when the store did not take it; the statistics here count the game
    // all the same, since it was played.
    bool recordGame(const GameOutcome& game, QString* error);

private:
    void apply(const QString& name, GameResult result, int scoreChange);

    StatsStore* store_;
    QHash<QString, UserStats> byName_;
    int arrivals_ = 0;
};

}  // namespace xq::server
