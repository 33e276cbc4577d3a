#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "net/hall_messages.h"
#include "server/chat_rate.h"
#include "server/table.h"
#include "server/table_output.h"
#include "server/user_stats.h"

namespace xq::server {

struct RoomOptions {
    int tables = 1;
    ChatRate chat;
    qint64 reservationMs = 60'000;  // how long a reserved place waits for its table client
    // Players are accounts that proved who they are in the hall: guests' hellos are refused, and
    // a table client comes in only with the ticket of a grant.
    bool accounts = false;
    // A name whose seat lapsed unused waits this long before it may reserve again, twice as long
    // for every further lapse until a grant is used.
    qint64 lapseCoolDownMs = 30'000;
    qint64 maxCoolDownMs = 16 * 60'000;
    // Seats reserved and not yet taken, per address: guests choose their names freely.
    int seatsPerAddress = 2;
};

// A room of numbered tables and the hall in front of them, free of sockets and of real time
// like the tables themselves. Hall users reserve places; a table client is let in to the place
// reserved for its name and ticket (with one table, without a reservation, wherever there is
// room, as a lone table always did). Tickets bind names for the whole room, and the players'
// statistics are shared by all tables.
class Room {
public:
    static constexpr int kMaxTables = 500;

    Room(TableOutput& out, RoomOptions options, StatsBook& stats);
    ~Room();

    int tableCount() const { return static_cast<int>(tables_.size()); }
    // Table 1 to tableCount().
    const RoomTable& table(int number) const;

    // A table client's login; false (and the id closed) when it is refused. A grant's ticket is
    // spent by it, whatever comes of it.
    bool tableLogin(ConnId id, const QString& name, bool allowWatch, const QString& ticket);
    // The computer opponent: a free seat of table 1 that nobody reserved, or nothing.
    bool botLogin(ConnId id, const QString& name);
    // A guest's hall hello; false (and the id closed) when it is refused.
    bool hallLogin(ConnId id, const QString& name, const QString& ticket);
    // An account that proved itself (its password checked), by its stored name. An older hall
    // connection of the same account is closed: the newest login wins, so that a restarted hall
    // always gets in.
    // `stored`: his statistics, when the store gave them with his account.
    void accountLogin(ConnId id, const QString& name,
                      const std::optional<UserStats>& stored = std::nullopt);
    // Refuses a hall connection with a reason for the user, and closes it.
    void refuseHall(ConnId id, const QString& why, const QString& notice) {
        refuse(id, why, notice);
    }
    // The name of a hall connection, and whether it is an account's; empty when it is none.
    QString hallName(ConnId id) const { return hallNames_.value(id).name; }
    bool isAccount(ConnId id) const { return hallNames_.value(id).account; }
    bool hasAccounts() const { return options_.accounts; }
    void receive(ConnId id, const Cmd& message);
    void disconnect(ConnId id);
    // The time for what comes next; advanceTo() also moves every table's clock on (timeouts,
    // expired reservations).
    void setNow(qint64 nowMs) { now_ = nowMs; }
    void advanceTo(qint64 nowMs);

    // Whether the id is a hall user's connection.
    bool inHall(ConnId id) const { return hallNames_.contains(id); }
    int hallCount() const { return static_cast<int>(hallNames_.size()); }

    // The hall hears of arrivals, departures and changes in batches: flushHall() sends the
    // newcomers since the last call the whole hall (encoded once for all of them) and, when
    // `everybody`, everybody one message of the rows that changed, one of the names that left and
    // one of the tables that changed since the last such batch. A user's own row goes to him at
    // once. The owner of the room calls it at the end of every turn of its event loop; `wake` is
    // called whenever there is something to send.
    // True when the batch for everybody went.
    bool flushHall(bool everybody = true);
    bool hallPending() const { return hallPending_ || !newcomers_.isEmpty(); }
    void setHallWake(std::function<void()> wake) { hallWake_ = std::move(wake); }

    // Games kept over a restart, set up again at their tables (a table that is not free, or a
    // game that does not replay, is skipped and logged); how many were. `stored`: whether the
    // store holds them as they are; games that came from elsewhere (written aside at the last
    // stop) are all handed to the keeper at its first turn, every other table's kept game
    // forgotten, so that the store ends up holding exactly these.
    int resumeGames(const std::vector<RunningGame>& kept, bool stored = true);
    // What changed among the running games since the last call: the games to keep anew (a move
    // or a new game), and the tables whose game is over.
    struct RunningChanges {
        std::vector<RunningGame> changed;
        std::vector<int> ended;
        bool empty() const { return changed.empty() && ended.empty(); }
    };
    RunningChanges takeRunningChanges();
    // The changes taken could not be kept: they are taken again next time.
    void keptFailed(const RunningChanges& changes);
    // Every running game as it stands, for a last save before the server stops.
    std::vector<RunningGame> runningGames() const;
    // Whether the room took the id in: a hall user or somebody at a table.
    bool has(ConnId id) const { return inHall(id) || tableOf_.contains(id); }
    // The key of the address a connection comes from (empty: none to count), for the limits on
    // chat and reservations that a fresh connection must not escape.
    using AddressLookup = RoomTable::AddressLookup;
    void setAddressLookup(AddressLookup lookup);

private:
    class Slot;
    struct Reservation {
        int table = 0;
        hall::Place place = hall::Place::Seat0;
        QString ticket;
        qint64 untilMs = 0;
        QString address;
    };
    struct HallUser {
        QString name;
        QString ticket;
        bool account = false;
    };
    // Seats a name let lapse unused since its last grant that was used.
    struct Lapses {
        int count = 0;
        qint64 untilMs = 0;  // no reservation before this
    };

    RoomTable& tableAt(int number);
    void refuse(ConnId id, const QString& why, const QString& notice);
    // A name's ticket: the first one accepted anywhere in the room binds it.
    bool ticketFits(const QString& name, const QString& ticket) const;
    void bindTicket(const QString& name, const QString& ticket);
    // `vouched`: the room knows who this is (a grant's ticket); the table's own ticket binding
    // neither checks nor binds him.
    bool joinTable(ConnId id, int number, const QString& name, bool allowWatch,
                   const QString& ticket, Placement placement, bool vouched = false);
    // The hall's part of a login that got in: rows sent to him, and to the others.
    void enterHall(ConnId id, const HallUser& user);
    // An older hall connection of the name goes: the newer login takes its place.
    void replaceHallUser(const QString& name);
    // Where a login without a reservation goes at a table, leaving reserved seats alone.
    Placement freePlacement(int number) const;
    bool seatReserved(int number, int seat) const;
    void reserve(const QString& name, const Reservation& r);
    QHash<QString, Reservation>::iterator unreserve(QHash<QString, Reservation>::iterator it);

    // The hall.
    void onHallMessage(ConnId id, const Cmd& message);
    void onReserve(ConnId id, const QString& name, int table, hall::Place place);
    // The place is his for a while: a new one-time ticket goes to his hall.
    void grant(ConnId id, const QString& name, int table, hall::Place place);
    void onHallChat(ConnId id, HallUser& user, const QString& text);
    hall::TableRow tableRow(int number) const;
    hall::PlayerRow playerRow(const QString& name) const;
    QList<ConnId> hallIds() const;
    // After anything that may have changed table `number`: its row and the rows of the people
    // at it go to the hall, when they changed.
    void tableChanged(int number);
    void playerMaybeChanged(const QString& name);
    void expireReservations();
    // A hall user whose game waits for him at a table is asked to come back to it.
    void offerWaitingGame(ConnId id, const QString& name);
    // Something for the next flushHall().
    void hallChanged();
    void showPlayer(const QString& name, const hall::PlayerRow& row);
    // The newcomers that were sent it.
    ConnIds sendWholeHall();
    void noteLapse(const QString& name);
    QString addressOf(ConnId id) const { return addressOf_ ? addressOf_(id) : QString(); }
    // The store answered for a name: his rows, at his table and in the hall, are sent again.
    void statsChanged(const QString& name);
    // Whether the hall was last told that results are stored.
    void tellStoreState();

    TableOutput& out_;
    RoomOptions options_;
    StatsBook& stats_;
    std::vector<std::unique_ptr<Slot>> tables_;
    qint64 now_ = 0;

    QHash<ConnId, int> tableOf_;            // table connections and their tables
    QHash<QString, int> location_;          // names at a table, and which
    QHash<int, QSet<QString>> namesAt_;     // the same, by table
    QHash<QString, QString> ticketOf_;      // names bound to a ticket, for good
    QHash<QString, Reservation> reserved_;  // by name
    QHash<int, QString> seatHolders_;       // table * 2 + seat: who reserved it
    QHash<ConnId, HallUser> hallNames_;     // hall connections
    QHash<QString, ConnId> hallIdByName_;
    QHash<QString, int> seatsByAddress_;  // seats reserved, per address
    QHash<QString, Lapses> lapses_;       // by name
    AddressLookup addressOf_;
    ChatBook hallChat_;
    QHash<int, hall::TableRow> shownTables_;  // what the hall was last told
    QHash<QString, hall::PlayerRow> shownPlayers_;
    // Of each table with a game kept for a restart: what marks the version kept.
    struct KeptMark {
        std::array<QString, 2> names;
        long halfMoves = 0;
        std::array<int, 2> tally{};
        bool operator==(const KeptMark&) const = default;
    };
    QHash<int, KeptMark> kept_;
    QSet<int> endedUnkept_;  // tables whose game ended, not yet forgotten by the keeper
    QHash<QString, QByteArray> shownRowBytes_;  // the same, as the wire writes them

    // What waits for flushHall(). Changed players keep their order of arrival.
    bool hallPending_ = false;
    std::function<void()> hallWake_;
    QList<ConnId> newcomers_;       // hall connections not yet given the whole hall
    QSet<QString> unannounced_;     // names the others have not been told of
    QList<QString> changedOrder_;   // names whose rows changed, first change first
    QSet<QString> changedPlayers_;  // the same names
    QSet<QString> departed_;
    QSet<int> changedTables_;
    bool storeTakesResults_ = true;
};

}  // namespace xq::server
