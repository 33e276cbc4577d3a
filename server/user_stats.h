#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <array>
#include <functional>
#include <memory>
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

// Where statistics live between runs (a database shared by the room's servers). Its answers come
// later, on the room's thread, never from within the call that asks.
class StatsStore {
public:
    using Looked = std::function<void(std::optional<UserStats>)>;
    using Stored = std::function<void(const QString& name, const UserStats& stats)>;
    virtual ~StatsStore() = default;
    // The stored statistics of a name; nothing for a name the store does not keep, or when it
    // failed. Asking makes no row.
    virtual void look(const QString& name, Looked answer) = 0;
    // Keeps the game until the store has committed it (retrying while the store is away); then
    // `stored` gets each player's statistics as stored.
    virtual void record(const GameOutcome& game, Stored stored) = 0;
    // Whether results are being committed now; a game that starts while they are not is not
    // rated.
    virtual bool takesResults() const = 0;
};

// Statistics keyed by name. Without a store they live here and a name gets its user number on
// its first arrival; with one, everything shown is what the store said, and a name it has not
// answered for yet shows no user number (0).
class StatsBook {
public:
    explicit StatsBook(StatsStore* store = nullptr);
    StatsBook(const StatsBook&) = delete;
    StatsBook& operator=(const StatsBook&) = delete;

    // Called when a name's statistics changed by an answer of the store, so that its rows can
    // be sent again.
    void onChange(std::function<void(const QString&)> changed) { changed_ = std::move(changed); }
    // A name arrives at a table or in the hall: what the store has of it is asked for afresh,
    // since another server on the same store may have changed it.
    void arrive(const QString& name);
    // What the store said of a name a moment ago (an account's login brought it).
    void know(const QString& name, const UserStats& stats);
    const UserStats& of(const QString& name);
    const UserStats* find(const QString& name) const;
    // A finished rated game. Without a store both players' statistics here count it at once;
    // with one the store's answer brings them, once it has committed the game.
    void recordGame(const GameOutcome& game);
    bool takesResults() const { return !store_ || store_->takesResults(); }
    bool hasStore() const { return store_ != nullptr; }

private:
    void apply(const QString& name, GameResult result, int scoreChange);
    void learn(const QString& name, const UserStats& stats);

    StatsStore* store_;
    QHash<QString, UserStats> byName_;
    QSet<QString> asking_;  // names whose look-up is under way
    int arrivals_ = 0;
    std::function<void(const QString&)> changed_;
    // The store's answers may come after the book is gone.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace xq::server
