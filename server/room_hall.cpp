// The hall side of the room: who is in it, what it is shown, and the places it reserves.

#include <algorithm>
#include <utility>

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
    enterHall(id, HallUser{name, ticket, false});
    return true;
}

void Room::accountLogin(ConnId id, const QString& name, const std::optional<UserStats>& stored) {
    if (stored) stats_.know(name, *stored);
    if (hallIdByName_.contains(name)) replaceHallUser(name);
    enterHall(id, HallUser{name, QString(), true});
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
    showPlayer(name, own);
    out_.send(ConnIds{id}, hall::ownRow(own));
    // The whole hall follows at the end of the turn, with the others arriving in it.
    newcomers_.append(id);
    unannounced_.insert(name);
    if (!changedPlayers_.contains(name)) {
        changedPlayers_.insert(name);
        changedOrder_.append(name);
    }
    hallChanged();
    // Somebody who comes while the store is away is told as those who were there were.
    if (!storeTakesResults_)
        out_.send(ConnIds{id}, hall::notice(QStringLiteral("数据库暂时不可用，对局暂不计分")));
    offerWaitingGame(id, name);
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
    // Its arrival was all it had to say: the connection is alive.
    if (std::holds_alternative<hall::in::KeepAlive>(*parsed)) return;
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
        // Seats held and never taken keep real players out: the name that lets them lapse
        // waits, and one address holds only a few at a time.
        if (const auto l = lapses_.constFind(name); l != lapses_.constEnd() && l->untilMs > now_) {
            const qint64 seconds = (l->untilMs - now_ + 999) / 1000;
            return refuseWith(QStringLiteral("你预订的座位没有使用，请%1秒后再预订").arg(seconds));
        }
        const QString address = addressOf(id);
        if (!address.isEmpty() && seatsByAddress_.value(address) >= options_.seatsPerAddress)
            return refuseWith(QStringLiteral("你所在的网络地址已预订了%1个座位，请先入座")
                                  .arg(options_.seatsPerAddress));
    }
    grant(id, name, number, place);
}

void Room::grant(ConnId id, const QString& name, int number, hall::Place place) {
    const QString ticket = newGrantTicket();
    reserve(name, Reservation{number, place, ticket, now_ + options_.reservationMs, addressOf(id)});
    out_.log(QStringLiteral("hall: table %1 place %2 reserved for %3")
                 .arg(number)
                 .arg(static_cast<int>(place))
                 .arg(name));
    out_.send(ConnIds{id}, hall::granted(number, place, ticket));
    tableChanged(number);
    playerMaybeChanged(name);
}

void Room::onHallChat(ConnId id, HallUser& user, const QString& text) {
    switch (hallChat_.take(options_.chat, now_, user.name, addressOf(id))) {
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
    changedTables_.insert(number);
    hallChanged();
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
    showPlayer(name, row);
    out_.send(ConnIds{*id}, hall::ownRow(row));
    if (!changedPlayers_.contains(name)) {
        changedPlayers_.insert(name);
        changedOrder_.append(name);
    }
    hallChanged();
}

void Room::showPlayer(const QString& name, const hall::PlayerRow& row) {
    shownPlayers_.insert(name, row);
    // Encoded once per change: every newcomer's whole hall is made of these.
    shownRowBytes_.insert(name, hall::encodedPlayerRow(row));
}

void Room::hallChanged() {
    hallPending_ = true;
    if (hallWake_) hallWake_();
}

bool Room::flushHall(bool everybody) {
    const ConnIds newcomers = sendWholeHall();
    if (!everybody || !hallPending_) return false;
    hallPending_ = false;
    const QList<QString> changedOrder = std::exchange(changedOrder_, {});
    const QSet<QString> changed = std::exchange(changedPlayers_, {});
    const QSet<QString> departed = std::exchange(departed_, {});
    const QSet<int> tables = std::exchange(changedTables_, {});
    unannounced_.clear();

    QStringList gone;
    for (const QString& name : departed)
        if (!hallIdByName_.contains(name)) gone.append(name);  // not back meanwhile
    QList<hall::PlayerRow> players;
    QSet<QString> listed;
    for (const QString& name : changedOrder) {
        if (!changed.contains(name) || !hallIdByName_.contains(name) || listed.contains(name))
            continue;
        listed.insert(name);
        players.append(shownPlayers_.value(name));
    }
    QList<int> numbers(tables.begin(), tables.end());
    std::sort(numbers.begin(), numbers.end());
    QList<hall::TableRow> rows;
    rows.reserve(numbers.size());
    for (int n : std::as_const(numbers))
        rows.append(shownTables_.value(n));
    // Those who got the whole hall since the last batch, before now, get these rows again: the
    // rows are the current ones, and a departed name they never saw changes nothing for them.
    ConnIds everyone;
    everyone.reserve(hallNames_.size());
    const QSet<ConnId> fresh(newcomers.begin(), newcomers.end());
    for (auto it = hallNames_.cbegin(); it != hallNames_.cend(); ++it)
        if (!fresh.contains(it.key())) everyone.append(it.key());
    if (everyone.isEmpty()) return true;
    for (const QByteArray& m : hall::playersGone(gone))
        out_.send(everyone, m);
    for (const QByteArray& m : hall::playerRows(players))
        out_.send(everyone, m);
    for (const QByteArray& m : hall::tableRows(rows))
        out_.send(everyone, m);
    return true;
}

ConnIds Room::sendWholeHall() {
    const ConnIds newcomers = std::exchange(newcomers_, {});
    if (newcomers.isEmpty()) return newcomers;
    QList<QByteArray> players;
    players.reserve(hallNames_.size());
    for (const HallUser& u : std::as_const(hallNames_))
        players.append(shownRowBytes_.value(u.name));
    QList<hall::TableRow> rows;
    rows.reserve(tableCount());
    for (int n = 1; n <= tableCount(); ++n)
        rows.append(tableRow(n));
    for (const QByteArray& m : hall::wholePlayerListOf(players))
        out_.send(newcomers, m);
    out_.send(newcomers, hall::tableList(rows));
    return newcomers;
}

}  // namespace xq::server
