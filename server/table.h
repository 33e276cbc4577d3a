#pragma once

#include <QHash>
#include <QString>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "net/codec.h"
#include "net/table_requests.h"
#include "net/wire_limits.h"
#include "server/board_game.h"
#include "server/chat_rate.h"
#include "server/game_clock.h"
#include "server/record_upload.h"
#include "server/running_game.h"
#include "server/table_output.h"
#include "server/table_terms.h"
#include "server/user_stats.h"
#include "server/watcher_rows.h"

namespace xq::server {

enum class TablePhase { Waiting, Settings, Playing, BetweenGames, Loading };

// Where a login is to go: wherever there is room (the first free seat, else watching), or the
// place a hall reserved.
enum class Placement { Any, Seat0, Seat1, Watch };

// One table with two seats and any number of spectators, free of sockets and of real time:
// participants come in by id, messages go out through TableOutput, and the clock moves only
// when advanceTo() is called. Malformed or unexpected input is logged and changes nothing.
class RoomTable {
public:
    static constexpr qint64 kComebackMs = 60'000;
    static constexpr qint64 kLoadMs = 120'000;
    static constexpr int kBackstopSeconds = 5;
    // A game kept over a restart of the server: how long its players have to come back to it.
    static constexpr qint64 kResumeComebackMs = 10 * 60'000;
    static constexpr qsizetype kMaxChatBytes = xq::kMaxChatBytes;
    // A game changes scores and counters only when each side made this many moves: a game
    // given up at once shows nothing of either player, and would let two accounts farm points.
    static constexpr int kRatedMovesEach = 2;

    // The statistics may be shared by the tables of a room (and kept in a database); without a
    // book the table keeps its own.
    explicit RoomTable(TableOutput& out, ChatRate chatRate = {}, StatsBook* stats = nullptr);

    // A name that logged in: takes a seat, watches, or takes its seat back after a broken
    // connection. False (and the id closed) when the name is already at the table, when the
    // name belongs to a ticket and this login does not bring it (an empty ticket is none), or
    // when the place asked for is not there (a taken seat, nobody to watch). A `vouched` login
    // was checked by the room (a grant's one-time ticket): the name's ticket is neither asked
    // for nor bound.
    bool login(ConnId id, const QString& name, bool allowWatch, const QString& ticket = {},
               Placement placement = Placement::Any, bool vouched = false);
    // The address a connection is counted under (empty for none), for limits that a fresh
    // connection must not escape; without it chat is limited per name alone.
    using AddressLookup = std::function<QString(ConnId)>;
    void setAddressLookup(AddressLookup lookup) { addressOf_ = std::move(lookup); }
    // The table's number in its room, for the archive and the log.
    void setNumber(int number) { number_ = number; }
    int number() const { return number_; }
    void receive(ConnId id, const Cmd& message);
    void disconnect(ConnId id);
    void advanceTo(qint64 nowMs);
    // The name's statistics changed (the store answered): his row goes to everybody here again.
    void statsChanged(const QString& name);

    TablePhase phase() const { return phase_; }
    const BoardGame& game() const { return game_; }
    qint64 now() const { return now_; }
    QString seatName(int seat) const;
    std::optional<int> seatOf(ConnId id) const;
    bool handUp(int seat) const;
    bool offline(int seat) const;
    int tally(int seat) const;
    int bankSeconds(int seat) const;
    const std::optional<TableTerms>& agreedTerms() const { return agreedTerms_; }
    const StatsBook& stats() const { return stats_; }
    int spectatorCount() const { return static_cast<int>(spectators_.ids().size()); }
    // Where a name is at this table: 0 or 1 for a seat (also while its connection is broken),
    // 2 watching; nothing when it is not here.
    std::optional<int> placeOf(const QString& name) const;
    // Everybody connected to this table: the players' and the spectators' connections.
    ConnIds connections() const { return everybody(); }

    // The game in progress, as it is kept for a restart; nothing between games, while a record
    // loads, or with a seat empty.
    std::optional<RunningGame> runningGame() const;
    // A kept game set up again at an empty table: both players away, each with a while to come
    // back, and the clocks stopped until both are here. False, the table unchanged, when the
    // table is not empty or the kept game does not replay.
    bool resume(const RunningGame& kept);
    // Whether the game was carried over a restart and waits for both its players.
    bool waitingForResume() const { return phase_ == TablePhase::Playing && clock_.stopped(); }

private:
    struct Person {
        QString name;
        int seat = -1;  // -1: a spectator
        int watchedSeat = 0;
        QString watchedName;
        bool allowWatch = true;
        QByteArray spectatorRow;  // encoded; it does not change while he watches
    };
    struct Seat {
        QString name;
        std::optional<ConnId> conn;
        bool handUp = false;
        bool offline = false;
        qint64 offlineSinceMs = 0;
        qint64 comebackMs = kComebackMs;
        bool taken() const { return !name.isEmpty(); }
    };
    struct Pending {
        std::uint8_t code = 0;
        int seat = 0;
    };

    // Who gets what.
    ConnIds everybody() const;
    ConnIds everybodyBut(ConnId id) const;
    void toAll(const Cmd& m);
    // Everybody but the player of a seat: a request goes to the one who answers it (and the
    // spectators), never back to the one who asked.
    void toAllButSeat(int seat, const Cmd& m);
    void toOne(ConnId id, const Cmd& m);
    void toSeat(int seat, const Cmd& m);
    void log(const QString& line);
    void ignore(const Person& who, const Cmd& m, const char* why);

    // Rows and the welcome of a newcomer.
    QString playerRow(int seat) const;
    Cmd userList() const;
    void sendWelcome(ConnId id, const Person& p);
    void sendTableState(ConnId id, const Person& p);
    Cmd currentSnapshot() const;

    // Arrivals and departures (table.cpp, table_seats.cpp).
    void seatPlayer(ConnId id, const QString& name, int seat, bool allowWatch);
    void addSpectator(ConnId id, const QString& name, bool allowWatch);
    void comeBack(ConnId id, int seat);
    void goOffline(int seat);
    void leaveForGood(int seat, bool closeConn = true);
    void spectatorLeaves(ConnId id, bool closeIt);
    void enterWaiting();
    void refusePendingFor(int seat);

    // Hands and the settings stage (table_seats.cpp).
    void onHandText(const Person& p, const QString& text);
    void onOwnerTerms(const Person& p, const tablemsg::OwnerSettings& terms);
    void onRaiseHand(int seat);
    void raiseInWaiting(int seat, const Cmd& announce);
    void maybeBeginSettings();
    void beginSettings();
    void raiseAfterGame(int seat);
    int handsUp() const;
    void lowerHands();

    // The game (table_play.cpp).
    void startGame();
    void onMove(const Person& p, const tablemsg::Move& move, const Cmd& m);
    void onRequest(std::uint8_t code, int seat);
    void onAnswer(std::uint8_t code, bool agree, int seat);
    void finishGame(int result, const QString& reason, bool escaped = false);
    // A kept game whose players both stayed away: dropped, counted for nobody.
    void abandonResumed();
    // Whether the game that ends now counts (scores, statistics, the archive): the one place
    // that decides it.
    bool ratedGame() const;
    // Two moves of each side played in this game (kRatedMovesEach): fewer count for nobody.
    bool longEnoughToRate() const;
    // The end of a game too short to count: told with no changes, stored nowhere.
    void finishUnrated(int result, const QString& reason);
    TableTerms termsInForce() const;

    // Loading a stored record (table_load.cpp).
    void onLoadRequest(int seat);
    void beginLoading(int asker);
    // What the uploader's chunk (or his giving up, or a malformed chunk) did to the upload.
    void onUploadStep(RecordUpload::Step step);
    void failLoad(const QString& why);
    void acceptLoad(const QiPuHistory& history);

    void refuseLogin(ConnId id, const QString& why, const QString& notice);
    void onChat(ConnId id, const Person& p, const tablemsg::Chat& chat, const Cmd& m);
    // False when the participant has used up his chat for now (and is told so once).
    bool takeChatTurn(ConnId id);
    void onRefusal(const Person& p, const tablemsg::Refusal& refusal, const Cmd& m);
    void dispatchPlayer(const Person& p, const tablemsg::Request& request, const Cmd& m);
    // A chunk of the record being loaded, from a player who named his own seat.
    void onLoadChunk(const Person& p, const tablemsg::Request& request, const Cmd& m);

    TableOutput& out_;
    ChatRate chatRate_;
    ChatBook chat_;  // by name and address: a reconnection is no fresh allowance
    AddressLookup addressOf_;
    int number_ = 1;
    qint64 now_ = 0;
    TablePhase phase_ = TablePhase::Waiting;
    std::array<Seat, 2> seats_;
    std::map<ConnId, Person> people_;
    QHash<QString, ConnId> idByName_;
    QHash<QString, QString> ticketOf_;  // a name's first accepted ticket, for good
    SpectatorList spectators_;
    StatsBook ownStats_;
    StatsBook& stats_;

    std::optional<TableTerms> agreedTerms_;
    TableTerms proposedTerms_ = TableTerms::defaults();
    bool ownerConfirmed_ = false;
    std::array<int, 2> tally_{};
    int nextRed_ = 0;

    BoardGame game_;
    long movesAtStart_ = 0;  // a loaded record's moves, not played at this table
    GameClock clock_;
    std::optional<Pending> pending_;
    bool rated_ = true;  // set at the start of each game: the store takes results

    int loadAsker_ = 0;
    qint64 loadDeadlineMs_ = 0;
    RecordUpload upload_;
};

}  // namespace xq::server
