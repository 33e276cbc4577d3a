// The hall side of the room: who is in it, what it is shown, and the places it reserves.

#include "net/chat_text.h"
#include "net/hall_messages.h"
#include "server/grant_ticket.h"
#include "server/room.h"
#include "server/user_row_text.h"

namespace xq::server {

bool Room::hallLogin(ConnId id, const QString& name, const QString& ticket) {
    if (options_.accounts) {
        refuse(id, QStringLiteral("hall: %1 as a guest in a room of accounts").arg(name),
               QStringLiteral("本房间需要账号：请输入密码登录，或先注册"));
        return false;
    }
    if (!ticketFits(name, ticket)) {
        refuse(id, QStringLiteral("hall: %1 without its ticket").arg(name),
               QStringLiteral("用户名 ") + name + QStringLiteral(" 已被他人使用"));
        return false;
    }
    if (hallIdByName_.contains(name)) {
        // The same ticket proves the same user (his hall restarted before the old connection
        // was seen to end); without one, nobody can tell.
        if (ticket.isEmpty()) {
            refuse(id, QStringLiteral("hall: %1 is already in").arg(name),
                   QStringLiteral("用户名 ") + name + QStringLiteral(" 已在大厅"));
            return false;
        }
        replaceHallUser(name);
    }
    bindTicket(name, ticket);
    enterHall(id, HallUser{name, ticket, false, {}});
    return true;
}

void Room::accountLogin(ConnId id, const QString& name, const std::optional<UserStats>& stored) {
    if (stored) stats_.know(name, *stored);
    if (hallIdByName_.contains(name)) replaceHallUser(name);
    enterHall(id, HallUser{name, QString(), true, {}});
}

void Room::replaceHallUser(const QString& name) {
    const ConnId old = hallIdByName_.value(name);
    out_.log(QStringLiteral("hall: %1 logged in again; the older connection %2 goes")
                 .arg(name)
                 .arg(old));
    out_.send(ConnIds{old}, hall::notice(QStringLiteral("你的账号已在别处登录")));
    out_.close(old);
    disconnect(old);
}

void Room::enterHall(ConnId id, const HallUser& user) {
    const QString& name = user.name;
    stats_.arrive(name);
    hallNames_.insert(id, user);
    hallIdByName_.insert(name, id);
    out_.log(QStringLiteral("hall: %1 comes in").arg(name));

    const hall::PlayerRow own = playerRow(name);
    shownPlayers_.insert(name, own);
    QList<hall::PlayerRow> players;
    players.reserve(hallNames_.size());
    for (const HallUser& u : std::as_const(hallNames_))
        players.append(u.name == name ? own : playerRow(u.name));
    QList<hall::TableRow> rows;
    rows.reserve(tableCount());
    for (int n = 1; n <= tableCount(); ++n)
        rows.append(tableRow(n));
    const ConnIds to{id};
    out_.send(to, hall::ownRow(own));
    out_.send(to, hall::playerList(players));
    out_.send(to, hall::tableList(rows));
    ConnIds others = hallIds();
    others.removeOne(id);
    if (!others.isEmpty()) out_.send(others, hall::playerChanged(own));
}

void Room::onHallMessage(ConnId id, const Cmd& message) {
    HallUser& user = hallNames_[id];
    const auto parsed = hall::parseClientMessage(message);
    if (!parsed) {
        out_.log(QStringLiteral("hall: ignored a message of code %1 from %2")
                     .arg(message.isEmpty() ? -1 : static_cast<std::uint8_t>(message[0]))
                     .arg(user.name));
        return;
    }
    if (const auto* r = std::get_if<hall::in::Reserve>(&*parsed))
        return onReserve(id, user.name, r->table, r->place);
    if (const auto* said = std::get_if<hall::in::Say>(&*parsed))
        return onHallChat(id, user, said->text);
    // Passwords are the server's to check, off the room's thread; one that reaches here has
    // nobody to answer it.
    if (std::holds_alternative<hall::in::ChangePassword>(*parsed)) return;
    // Leaving: the connection ends after what was sent to it; its end takes him out.
    out_.close(id);
    disconnect(id);
}

void Room::onReserve(ConnId id, const QString& name, int number, hall::Place place) {
    const auto refuseWith = [&](const QString& reason) {
        out_.log(QStringLiteral("hall: %1 may not have table %2 place %3: %4")
                     .arg(name)
                     .arg(number)
                     .arg(static_cast<int>(place))
                     .arg(reason));
        out_.send(ConnIds{id}, hall::refused(number, place, reason));
    };
    if (number < 1 || number > tableCount()) return refuseWith(QStringLiteral("没有这张桌子"));
    if (const auto r = reserved_.constFind(name); r != reserved_.constEnd())
        return refuseWith(QStringLiteral("你已在%1号桌").arg(r->table));
    const RoomTable& t = table(number);
    if (const auto at = location_.constFind(name); at != location_.constEnd()) {
        // His own seat, while its window is gone: a new grant brings him back to it.
        const bool back = *at == number && place != hall::Place::Watch &&
                          t.seatName(static_cast<int>(place)) == name &&
                          t.offline(static_cast<int>(place));
        if (!back) return refuseWith(QStringLiteral("你已在%1号桌").arg(*at));
        return grant(id, name, number, place);
    }
    if (place == hall::Place::Watch) {
        if (t.seatName(0).isEmpty() && t.seatName(1).isEmpty())
            return refuseWith(QStringLiteral("该桌没有棋手"));
    } else {
        const int seat = static_cast<int>(place);
        if (!t.seatName(seat).isEmpty() || seatReserved(number, seat))
            return refuseWith(QStringLiteral("座位已有人"));
    }
    grant(id, name, number, place);
}

void Room::grant(ConnId id, const QString& name, int number, hall::Place place) {
    const QString ticket = newGrantTicket();
    reserve(name, Reservation{number, place, ticket, now_ + options_.reservationMs});
    out_.log(QStringLiteral("hall: table %1 place %2 reserved for %3")
                 .arg(number)
                 .arg(static_cast<int>(place))
                 .arg(name));
    out_.send(ConnIds{id}, hall::granted(number, place, ticket));
    tableChanged(number);
    playerMaybeChanged(name);
}

void Room::onHallChat(ConnId id, HallUser& user, const QString& text) {
    switch (user.chat.take(options_.chat, now_)) {
        case ChatAllowance::Verdict::DropAndTell:
            out_.send(ConnIds{id}, hall::notice(QStringLiteral("发言太快，请稍后再说")));
            return;
        case ChatAllowance::Verdict::Drop:
            return;
        case ChatAllowance::Verdict::Pass:
            // One line said is one line shown: a line break would start a line of its own,
            // in anybody's name.
            out_.send(hallIds(), hall::chatLine(user.name, blankLineBreaks(text)));
            return;
    }
}

QList<ConnId> Room::hallIds() const {
    return hallNames_.keys();
}

hall::TableRow Room::tableRow(int number) const {
    const RoomTable& t = table(number);
    hall::TableRow row;
    row.number = number;
    for (int s = 0; s < 2; ++s) {
        QString name = t.seatName(s);
        if (name.isEmpty()) name = seatHolders_.value(number * 2 + s);
        const auto i = static_cast<std::size_t>(s);
        row.names[i] = name;
        if (!name.isEmpty()) {
            const UserStats* stats = stats_.find(name);
            row.scores[i] = stats ? stats->score : UserStats{}.score;
        }
    }
    row.spectators = t.spectatorCount();
    row.playing = t.phase() == TablePhase::Playing || t.phase() == TablePhase::Loading;
    return row;
}

hall::PlayerRow Room::playerRow(const QString& name) const {
    const UserStats* found = stats_.find(name);
    const UserStats stats = found ? *found : UserStats{};
    hall::PlayerRow row;
    row.name = name;
    row.userNumber = stats.userNumber;
    row.score = stats.score;
    row.games = stats.games;
    row.won = stats.won;
    row.lost = stats.lost;
    row.drawn = stats.drawn;
    row.escapes = stats.escapes;
    row.face = stats.face >= 0 ? stats.face : facePicture(name);
    if (const auto r = reserved_.constFind(name); r != reserved_.constEnd()) {
        row.table = r->table;
        row.place = r->place;
    } else if (const auto at = location_.constFind(name); at != location_.constEnd()) {
        row.table = *at;
        row.place = static_cast<hall::Place>(table(*at).placeOf(name).value_or(2));
    }
    return row;
}

void Room::tableChanged(int number) {
    const hall::TableRow row = tableRow(number);
    auto shown = shownTables_.find(number);
    if (shown != shownTables_.end() && *shown == row) return;
    shownTables_.insert(number, row);
    if (!hallNames_.isEmpty()) out_.send(hallIds(), hall::tableChanged(row));
    // Who came or went, or whose score changed: the names seen at this table, checked again.
    const RoomTable& t = table(number);
    const QSet<QString> names = namesAt_.value(number);
    for (const QString& name : names) {
        if (!t.placeOf(name)) {
            namesAt_[number].remove(name);
            if (location_.value(name) == number) location_.remove(name);
        }
        playerMaybeChanged(name);
    }
}

void Room::playerMaybeChanged(const QString& name) {
    const auto id = hallIdByName_.constFind(name);
    if (id == hallIdByName_.constEnd()) return;
    const hall::PlayerRow row = playerRow(name);
    auto shown = shownPlayers_.find(name);
    if (shown != shownPlayers_.end() && *shown == row) return;
    shownPlayers_.insert(name, row);
    out_.send(ConnIds{*id}, hall::ownRow(row));
    out_.send(hallIds(), hall::playerChanged(row));
}

}  // namespace xq::server
