#pragma once

#include <QHash>
#include <QSet>
#include <QString>
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

private:
    class Slot;
    struct Reservation {
        int table = 0;
        hall::Place place = hall::Place::Seat0;
        QString ticket;
        qint64 untilMs = 0;
    };
    struct HallUser {
        QString name;
        QString ticket;
        bool account = false;
        ChatAllowance chat;
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
    QHash<int, hall::TableRow> shownTables_;  // what the hall was last told
    QHash<QString, hall::PlayerRow> shownPlayers_;
    bool storeTakesResults_ = true;
};

}  // namespace xq::server
