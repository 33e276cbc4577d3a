#include "server/room.h"

#include <algorithm>

#include "net/table_events.h"

namespace xq::server {

// One table of the room: its output goes to the room's, its log lines say which table.
class Room::Slot : public TableOutput {
public:
    Slot(Room& room, int number, StatsBook& stats)
        : room_(room), number_(number), table(*this, room.options_.chat, &stats) {
        table.setNumber(number);
    }

    void send(const ConnIds& to, const Cmd& message) override { room_.out_.send(to, message); }
    void close(ConnId id) override {
        room_.tableOf_.remove(id);
        room_.out_.close(id);
    }
    void log(const QString& line) override {
        // A lone table logs as it always did.
        room_.out_.log(
            room_.tableCount() > 1 ? QStringLiteral("table %1: %2").arg(number_).arg(line) : line);
    }

private:
    Room& room_;
    int number_;

public:
    RoomTable table;
};

Room::Room(TableOutput& out, RoomOptions options, StatsBook& stats)
    : out_(out), options_(options), stats_(stats) {
    const int count = std::clamp(options_.tables, 1, kMaxTables);
    tables_.reserve(static_cast<std::size_t>(count));
    for (int n = 1; n <= count; ++n)
        tables_.push_back(std::make_unique<Slot>(*this, n, stats_));
    stats_.onChange([this](const QString& name) { statsChanged(name); });
}

Room::~Room() {
    stats_.onChange(nullptr);
}

void Room::statsChanged(const QString& name) {
    if (const auto at = location_.constFind(name); at != location_.constEnd()) {
        const int number = *at;
        tableAt(number).statsChanged(name);
        tableChanged(number);
    }
    playerMaybeChanged(name);
}

void Room::tellStoreState() {
    const bool takes = stats_.takesResults();
    if (takes == storeTakesResults_) return;
    storeTakesResults_ = takes;
    out_.log(takes ? QStringLiteral("the store takes results again")
                   : QStringLiteral("the store takes no results now: new games are not rated"));
    if (hallNames_.isEmpty()) return;
    out_.send(hallIds(), hall::notice(takes ? QStringLiteral("数据库已恢复，对局重新计分")
                                            : QStringLiteral("数据库暂时不可用，对局暂不计分")));
}

const RoomTable& Room::table(int number) const {
    return tables_[static_cast<std::size_t>(std::clamp(number, 1, tableCount()) - 1)]->table;
}

RoomTable& Room::tableAt(int number) {
    RoomTable& t =
        tables_[static_cast<std::size_t>(std::clamp(number, 1, tableCount()) - 1)]->table;
    t.advanceTo(now_);
    return t;
}

void Room::refuse(ConnId id, const QString& why, const QString& notice) {
    out_.log(QStringLiteral("refused login: %1").arg(why));
    out_.send(ConnIds{id}, tablemsg::encode(tablemsg::Notice{notice}));
    out_.close(id);
}

bool Room::ticketFits(const QString& name, const QString& ticket) const {
    const auto bound = ticketOf_.constFind(name);
    return bound == ticketOf_.constEnd() || *bound == ticket;
}

void Room::bindTicket(const QString& name, const QString& ticket) {
    if (!ticket.isEmpty() && !ticketOf_.contains(name)) ticketOf_.insert(name, ticket);
}

bool Room::seatReserved(int number, int seat) const {
    return seatHolders_.contains(number * 2 + seat);
}

void Room::reserve(const QString& name, const Reservation& r) {
    reserved_.insert(name, r);
    if (r.place != hall::Place::Watch) {
        seatHolders_.insert(r.table * 2 + static_cast<int>(r.place), name);
        if (!r.address.isEmpty()) ++seatsByAddress_[r.address];
    }
}

QHash<QString, Room::Reservation>::iterator Room::unreserve(
    QHash<QString, Reservation>::iterator it) {
    if (it->place != hall::Place::Watch) {
        seatHolders_.remove(it->table * 2 + static_cast<int>(it->place));
        if (const auto n = seatsByAddress_.find(it->address); n != seatsByAddress_.end()) {
            if (--*n <= 0) seatsByAddress_.erase(n);
        }
    }
    return reserved_.erase(it);
}

void Room::setAddressLookup(AddressLookup lookup) {
    addressOf_ = lookup;
    for (const auto& slot : tables_)
        slot->table.setAddressLookup(lookup);
}

Placement Room::freePlacement(int number) const {
    if (!seatReserved(number, 0) && !seatReserved(number, 1)) return Placement::Any;
    const RoomTable& t = table(number);
    for (int s = 0; s < 2; ++s) {
        if (t.seatName(s).isEmpty() && !seatReserved(number, s))
            return s == 0 ? Placement::Seat0 : Placement::Seat1;
    }
    return Placement::Watch;
}

bool Room::tableLogin(ConnId id, const QString& name, bool allowWatch, const QString& ticket) {
    const auto reservation = reserved_.find(name);
    if (reservation != reserved_.end() && !ticket.isEmpty() && reservation->ticket == ticket) {
        // The grant's ticket: spent now, whatever comes of this login.
        const Reservation r = *reservation;
        unreserve(reservation);
        lapses_.remove(name);  // he came: a later lapse is his first again
        const Placement placement = r.place == hall::Place::Seat0   ? Placement::Seat0
                                    : r.place == hall::Place::Seat1 ? Placement::Seat1
                                                                    : Placement::Watch;
        const bool in = joinTable(id, r.table, name, allowWatch, ticket, placement, true);
        if (!in) {
            tableChanged(r.table);  // the reserved seat is free again
            playerMaybeChanged(name);
        }
        return in;
    }
    if (options_.accounts) {
        refuse(id, name + QStringLiteral(" without a grant's ticket"),
               QStringLiteral("请先在大厅登录"));
        return false;
    }
    if (!ticketFits(name, ticket) || reservation != reserved_.end()) {
        refuse(id, name + QStringLiteral(" without its ticket"),
               QStringLiteral("用户名 ") + name + QStringLiteral(" 已被他人使用"));
        return false;
    }
    // Back to the table he is still seated at (his connection broke during a game).
    if (const auto at = location_.constFind(name); at != location_.constEnd())
        return joinTable(id, *at, name, allowWatch, ticket, Placement::Any);
    if (tableCount() == 1) return joinTable(id, 1, name, allowWatch, ticket, freePlacement(1));
    refuse(id, name + QStringLiteral(" has no reserved place"),
           QStringLiteral("请先在大厅选择座位"));
    return false;
}

bool Room::botLogin(ConnId id, const QString& name) {
    const RoomTable& first = table(1);
    for (int s = 0; s < 2; ++s) {
        if (first.seatName(s) == name && first.offline(s))
            return joinTable(id, 1, name, true, QString(), Placement::Any);
    }
    const Placement placement = freePlacement(1);
    if (placement == Placement::Watch || !ticketFits(name, QString())) {
        refuse(id, name + QStringLiteral(": no free seat at table 1"),
               QStringLiteral("座位已有人"));
        return false;
    }
    return joinTable(id, 1, name, true, QString(), placement);
}

bool Room::joinTable(ConnId id, int number, const QString& name, bool allowWatch,
                     const QString& ticket, Placement placement, bool vouched) {
    if (!tableAt(number).login(id, name, allowWatch, ticket, placement, vouched)) return false;
    if (!vouched) bindTicket(name, ticket);
    tableOf_.insert(id, number);
    location_.insert(name, number);
    namesAt_[number].insert(name);
    tableChanged(number);
    return true;
}

void Room::receive(ConnId id, const Cmd& message) {
    if (inHall(id)) return onHallMessage(id, message);
    const auto at = tableOf_.constFind(id);
    if (at == tableOf_.constEnd()) return;
    const int number = *at;
    tableAt(number).receive(id, message);
    tableChanged(number);
}

void Room::disconnect(ConnId id) {
    if (const auto user = hallNames_.find(id); user != hallNames_.end()) {
        const QString name = user->name;
        hallNames_.erase(user);
        hallIdByName_.remove(name);
        shownPlayers_.remove(name);
        shownRowBytes_.remove(name);
        out_.log(QStringLiteral("hall: %1 leaves").arg(name));
        newcomers_.removeOne(id);
        changedPlayers_.remove(name);
        // Whom the others never saw need not be seen to go.
        if (!unannounced_.remove(name)) departed_.insert(name);
        hallChanged();
        return;
    }
    const auto at = tableOf_.constFind(id);
    if (at == tableOf_.constEnd()) return;
    const int number = *at;
    tableOf_.erase(at);
    RoomTable& t = tableAt(number);
    const std::optional<int> seat = t.seatOf(id);
    t.disconnect(id);
    tableChanged(number);
    // A player whose window went during a game, while his hall stays: he is asked back.
    if (seat) {
        const QString name = t.seatName(*seat);
        if (const auto hallId = hallIdByName_.constFind(name); hallId != hallIdByName_.constEnd())
            offerWaitingGame(*hallId, name);
    }
}

void Room::advanceTo(qint64 nowMs) {
    now_ = nowMs;
    for (int n = 1; n <= tableCount(); ++n) {
        tableAt(n);
        tableChanged(n);
    }
    expireReservations();
    tellStoreState();
}

void Room::expireReservations() {
    for (auto it = reserved_.begin(); it != reserved_.end();) {
        if (it->untilMs > now_) {
            ++it;
            continue;
        }
        const QString name = it.key();
        const int number = it->table;
        out_.log(QStringLiteral("the place reserved for %1 at table %2 is free again")
                     .arg(name)
                     .arg(number));
        // A seat kept from the others, not his own seat held for his return.
        if (it->place != hall::Place::Watch &&
            table(number).seatName(static_cast<int>(it->place)) != name)
            noteLapse(name);
        it = unreserve(it);
        tableChanged(number);
        playerMaybeChanged(name);
    }
}

void Room::noteLapse(const QString& name) {
    // A seat that lapses unused was kept from everybody else for the whole reservation; a name
    // that does it again and again waits longer and longer. Old lapses are forgotten once the
    // wait has long passed, which also bounds what is kept.
    Lapses& l = lapses_[name];
    if (l.count > 0 && now_ > l.untilMs + options_.maxCoolDownMs) l.count = 0;
    qint64 wait = options_.lapseCoolDownMs;
    for (int i = 0; i < l.count && wait < options_.maxCoolDownMs; ++i)
        wait *= 2;
    ++l.count;
    l.untilMs = now_ + std::min(wait, options_.maxCoolDownMs);
    for (auto it = lapses_.begin(); it != lapses_.end();) {
        it = now_ > it->untilMs + options_.maxCoolDownMs ? lapses_.erase(it) : std::next(it);
    }
}

}  // namespace xq::server
