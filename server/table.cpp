#include "server/table.h"

#include "net/cp936.h"
#include "net/leading_number.h"
#include "net/message_codes.h"
#include "server/chat_line.h"
#include "server/outgoing.h"
#include "server/snapshot.h"
#include "server/user_row_text.h"

namespace xq::server {

RoomTable::RoomTable(TableOutput& out, ChatRate chatRate, StatsBook* stats)
    : out_(out), chatRate_(chatRate), stats_(stats ? *stats : ownStats_) {}

std::optional<int> RoomTable::placeOf(const QString& name) const {
    if (name.isEmpty()) return std::nullopt;
    for (int s = 0; s < 2; ++s) {
        if (seats_[static_cast<std::size_t>(s)].name == name) return s;
    }
    if (idByName_.contains(name)) return 2;
    return std::nullopt;
}

QString RoomTable::seatName(int seat) const {
    return seat == 0 || seat == 1 ? seats_[static_cast<std::size_t>(seat)].name : QString();
}

std::optional<int> RoomTable::seatOf(ConnId id) const {
    auto it = people_.find(id);
    if (it == people_.end() || it->second.seat < 0) return std::nullopt;
    return it->second.seat;
}

bool RoomTable::handUp(int seat) const {
    return (seat == 0 || seat == 1) && seats_[static_cast<std::size_t>(seat)].handUp;
}

bool RoomTable::offline(int seat) const {
    return (seat == 0 || seat == 1) && seats_[static_cast<std::size_t>(seat)].offline;
}

int RoomTable::tally(int seat) const {
    return seat == 0 || seat == 1 ? tally_[static_cast<std::size_t>(seat)] : 0;
}

int RoomTable::bankSeconds(int seat) const {
    return phase_ == TablePhase::Playing ? clock_.bankSeconds(seat, now_) : 0;
}

ConnIds RoomTable::everybody() const {
    ConnIds ids;
    ids.reserve(static_cast<qsizetype>(spectators_.ids().size()) + 2);
    for (const Seat& s : seats_) {
        if (s.conn) ids.append(*s.conn);
    }
    for (ConnId id : spectators_.ids())
        ids.append(id);
    return ids;
}

ConnIds RoomTable::everybodyBut(ConnId id) const {
    ConnIds ids = everybody();
    ids.removeOne(id);
    return ids;
}

void RoomTable::toAll(const Cmd& m) {
    out_.send(everybody(), m);
}

void RoomTable::toAllButSeat(int seat, const Cmd& m) {
    const auto& conn = (seat == 0 || seat == 1) ? seats_[static_cast<std::size_t>(seat)].conn
                                                : std::optional<ConnId>{};
    out_.send(conn ? everybodyBut(*conn) : everybody(), m);
}

void RoomTable::toOne(ConnId id, const Cmd& m) {
    out_.send(ConnIds{id}, m);
}

void RoomTable::toSeat(int seat, const Cmd& m) {
    if (seat != 0 && seat != 1) return;
    if (const auto& conn = seats_[static_cast<std::size_t>(seat)].conn) toOne(*conn, m);
}

void RoomTable::log(const QString& line) {
    out_.log(line);
}

void RoomTable::ignore(const Person& who, const Cmd& m, const char* why) {
    const int code = m.isEmpty() ? -1 : ByteAt(m, 0);
    const int sub = m.size() > 1 ? ByteAt(m, 1) : -1;
    log(QStringLiteral("ignored %1/%2 (%3 bytes) from %4: %5")
            .arg(code)
            .arg(sub)
            .arg(m.size())
            .arg(who.name, QString::fromLatin1(why)));
}

QString RoomTable::playerRow(int seat) const {
    const Seat& s = seats_[static_cast<std::size_t>(seat)];
    const UserStats* stats = stats_.find(s.name);
    return userRowText(s.name, stats ? *stats : UserStats{},
                       RowPlace{seat, QString(), s.handUp, s.offline});
}

Cmd RoomTable::userList() const {
    QStringList players;
    for (int s = 0; s < 2; ++s) {
        if (seats_[static_cast<std::size_t>(s)].taken()) players << playerRow(s);
    }
    Cmd list = out::userList(players);
    const QByteArray& watchers = spectators_.joinedRows();
    if (!watchers.isEmpty()) {
        list.reserve(list.size() + 1 + watchers.size());
        if (!players.isEmpty()) list.append('\n');
        list.append(watchers);
    }
    return list;
}

Cmd RoomTable::currentSnapshot() const {
    const TableTerms terms = termsInForce();
    if (phase_ == TablePhase::Playing || phase_ == TablePhase::Loading) {
        RunningState rs;
        rs.bankLimit = terms.bankTriple();
        rs.stepTime = terms.stepTriple();
        rs.tally = tally_;
        if (phase_ == TablePhase::Loading) {
            rs.redSeat = nextRed_;
            rs.toMove = 10 + loadAsker_;
            return runningSnapshot(rs, QiPuHistory{QiPuItem{}});
        }
        rs.redSeat = game_.redSeat();
        rs.toMove = game_.toMove();
        for (int s = 0; s < 2; ++s)
            rs.banks[static_cast<std::size_t>(s)] = GameClock::triple(clock_.bankSeconds(s, now_));
        return runningSnapshot(rs, game_.history());
    }
    WaitingState ws;
    ws.hands = {seats_[0].handUp, seats_[1].handUp};
    ws.tally = tally_;
    if (agreedTerms_) {
        ws.bankLimit = agreedTerms_->bankTriple();
        ws.stepTime = agreedTerms_->stepTriple();
    }
    ws.nextRed = nextRed_;
    return waitingSnapshot(ws);
}

void RoomTable::sendTableState(ConnId id, const Person& p) {
    switch (phase_) {
        case TablePhase::Playing:
        case TablePhase::Loading:
        case TablePhase::BetweenGames:
            toOne(id, currentSnapshot());
            break;
        case TablePhase::Waiting:
            toOne(id, out::tableWaits());
            break;
        case TablePhase::Settings:
            if (p.seat >= 0) toOne(id, out::settingsStage(p.seat, ownerConfirmed_, proposedTerms_));
            break;
    }
}

void RoomTable::sendWelcome(ConnId id, const Person& p) {
    toOne(id, out::identity(p.name, p.seat >= 0 ? p.name : p.watchedName));
    toOne(id, userList());
    sendTableState(id, p);
}

void RoomTable::refuseLogin(ConnId id, const QString& why, const QString& notice) {
    log(QStringLiteral("refused login: %1").arg(why));
    // The client ends when its connection does; it shows this reason.
    toOne(id, out::notice(notice));
    out_.close(id);
}

bool RoomTable::login(ConnId id, const QString& name, bool allowWatch, const QString& ticket,
                      Placement placement) {
    if (people_.count(id) != 0) {
        log(QStringLiteral("login of %1 on a connection that is already in").arg(name));
        return false;
    }
    if (name.isEmpty()) {
        refuseLogin(id, QStringLiteral("no name"), QStringLiteral("用户名无效"));
        return false;
    }
    // Once a name has come with a ticket, only that ticket lets it in: nobody else can take the
    // seat of a player whose connection broke.
    const auto bound = ticketOf_.constFind(name);
    if (bound != ticketOf_.constEnd() && *bound != ticket) {
        refuseLogin(id, name + QStringLiteral(" without its ticket"),
                    QStringLiteral("用户名 ") + name + QStringLiteral(" 已被他人使用"));
        return false;
    }
    std::optional<int> backTo;
    for (int s = 0; s < 2; ++s) {
        const Seat& seat = seats_[static_cast<std::size_t>(s)];
        if (seat.offline && seat.name == name) backTo = s;
    }
    if (!backTo && (idByName_.contains(name) || seats_[0].name == name || seats_[1].name == name)) {
        refuseLogin(id, name + QStringLiteral(" is already at the table"),
                    QStringLiteral("用户名 ") + name + QStringLiteral(" 已在本桌"));
        return false;
    }
    // A place a hall reserved must still be there: the seat free, somebody to watch.
    if (!backTo && (placement == Placement::Seat0 || placement == Placement::Seat1)) {
        const int s = placement == Placement::Seat0 ? 0 : 1;
        if (seats_[static_cast<std::size_t>(s)].taken()) {
            refuseLogin(id, name + QStringLiteral(": the reserved seat is taken"),
                        QStringLiteral("座位已有人"));
            return false;
        }
    }
    if (!backTo && placement == Placement::Watch && !seats_[0].taken() && !seats_[1].taken()) {
        refuseLogin(id, name + QStringLiteral(": nobody to watch"), QStringLiteral("该桌没有棋手"));
        return false;
    }
    if (!ticket.isEmpty() && bound == ticketOf_.constEnd()) ticketOf_.insert(name, ticket);
    if (backTo) {
        comeBack(id, *backTo);
        return true;
    }
    stats_.arrive(name);  // the first arrival fixes the user number
    if (placement == Placement::Seat0 || placement == Placement::Seat1) {
        seatPlayer(id, name, placement == Placement::Seat0 ? 0 : 1, allowWatch);
        return true;
    }
    if (placement == Placement::Any) {
        for (int s = 0; s < 2; ++s) {
            if (!seats_[static_cast<std::size_t>(s)].taken()) {
                seatPlayer(id, name, s, allowWatch);
                return true;
            }
        }
    }
    addSpectator(id, name, allowWatch);
    return true;
}

void RoomTable::seatPlayer(ConnId id, const QString& name, int seat, bool allowWatch) {
    Seat& s = seats_[static_cast<std::size_t>(seat)];
    s = Seat{};
    s.name = name;
    s.conn = id;
    Person p;
    p.name = name;
    p.seat = seat;
    p.allowWatch = allowWatch;
    people_[id] = p;
    idByName_.insert(name, id);
    log(QStringLiteral("login %1 takes seat %2").arg(name).arg(seat));
    sendWelcome(id, p);
    out_.send(everybodyBut(id), out::playerArrived(playerRow(seat)));
    maybeBeginSettings();
}

void RoomTable::addSpectator(ConnId id, const QString& name, bool allowWatch) {
    Person p;
    p.name = name;
    p.allowWatch = allowWatch;
    p.watchedSeat = seats_[0].taken() ? 0 : 1;
    p.watchedName = seats_[static_cast<std::size_t>(p.watchedSeat)].name;
    p.spectatorRow = EncodeCp936(
        userRowText(name, stats_.of(name), RowPlace{p.watchedSeat, p.watchedName, false, false}));
    people_[id] = p;
    idByName_.insert(name, id);
    spectators_.add(id, p.spectatorRow);
    log(QStringLiteral("login %1 watches %2").arg(name, p.watchedName));
    sendWelcome(id, p);
    out_.send(everybodyBut(id), out::spectatorArrived(p.spectatorRow));
}

void RoomTable::disconnect(ConnId id) {
    auto it = people_.find(id);
    if (it == people_.end()) return;
    const int seat = it->second.seat;
    log(QStringLiteral("connection of %1 lost").arg(it->second.name));
    if (seat < 0) {
        spectatorLeaves(id, false);
    } else if (phase_ == TablePhase::Playing || phase_ == TablePhase::Loading) {
        goOffline(seat);
    } else {
        leaveForGood(seat, false);
    }
}

void RoomTable::advanceTo(qint64 nowMs) {
    if (nowMs > now_) now_ = nowMs;
    if (phase_ == TablePhase::Playing) {
        const int mover = game_.toMove();
        const int limit = termsInForce().bankLimitSeconds();
        if (clock_.bankSeconds(mover, now_) > limit + kBackstopSeconds) {
            log(QStringLiteral("the bank of seat %1 ran out; the server calls the time-out")
                    .arg(mover));
            finishGame(mover, QStringLiteral("超时"));
        }
    }
    if (phase_ == TablePhase::Loading && now_ >= loadDeadlineMs_)
        failLoad(QStringLiteral("no complete record in time"));
    for (int s = 0; s < 2; ++s) {
        const Seat& seat = seats_[static_cast<std::size_t>(s)];
        if (seat.offline && now_ - seat.offlineSinceMs >= kComebackMs) leaveForGood(s);
    }
}

void RoomTable::receive(ConnId id, const Cmd& m) {
    auto it = people_.find(id);
    if (it == people_.end()) return;
    const Person p = it->second;  // a copy: handlers may remove the person
    if (m.isEmpty()) return ignore(p, m, "empty");
    const std::uint8_t c = ByteAt(m, 0);
    if (c == code::kChat) return onChat(id, p, m);
    if (c == code::kUser && m.size() == 2 && ByteAt(m, 1) == 1) return;  // game-begun note
    if (c == code::kLeave && m.size() > 2 && ByteAt(m, 1) == 0 && CmdToString(m, 2) == p.name) {
        if (p.seat >= 0) {
            log(QStringLiteral("%1 leaves the table").arg(p.name));
            return leaveForGood(p.seat);
        }
        return spectatorLeaves(id, true);
    }
    if (p.seat < 0) return ignore(p, m, "not a player");
    dispatchPlayer(p, m);
}

void RoomTable::dispatchPlayer(const Person& p, const Cmd& m) {
    const std::uint8_t c = ByteAt(m, 0);
    const qsizetype n = m.size();
    const std::uint8_t sub = n > 1 ? ByteAt(m, 1) : 0;
    // Game messages name the sender's seat in byte 2 (18: byte 1); another seat is not his.
    const bool ownSeat =
        (c == code::kRaiseHand ? n > 1 && ByteAt(m, 1) == p.seat : n > 2 && ByteAt(m, 2) == p.seat);
    switch (c) {
        case code::kHandUp:
            if (n > 2 && sub == 1) return onHandText(p, CmdToString(m, 2));
            if (n > 2 && sub == 0) return onOwnerTerms(p, CmdToString(m, 2));
            break;
        case code::kRaiseHand:
            if (n == 2 && ownSeat) return onRaiseHand(p.seat);
            break;
        case code::kMove:
            if (n == 10 && ownSeat) return onMove(p, m);
            break;
        case code::kUndo:
        case code::kDraw:
        case code::kLoad:
            if (n == 3 && ownSeat && sub == code::kAsk) return onRequest(c, p.seat);
            if (n == 3 && ownSeat && (sub == code::kAgree || sub == code::kRefuse))
                return onAnswer(c, sub == code::kAgree, p.seat);
            if (c == code::kLoad && ownSeat && sub == code::kRecordData) {
                if (phase_ == TablePhase::Loading && p.seat == loadAsker_) return onChunk(m);
            }
            break;
        case code::kResign:
            if (n == 3 && ownSeat && (sub == 0 || sub == 1) && phase_ == TablePhase::Playing) {
                log(QStringLiteral("%1 %2").arg(p.name, sub == 0
                                                            ? QStringLiteral("resigns")
                                                            : QStringLiteral("runs out of time")));
                return finishGame(p.seat,
                                  sub == 0 ? QStringLiteral("认输") : QStringLiteral("超时"));
            }
            break;
        default:
            break;
    }
    ignore(p, m, "unexpected here");
}

void RoomTable::onChat(ConnId id, const Person& p, const Cmd& m) {
    if (m.size() > kMaxChatBytes) return ignore(p, m, "chat line too long");
    const ChatLine line = checkChatLine(CmdToString(m, 1), p.name);
    if (line.refusal != nullptr) return ignore(p, m, line.refusal);
    if (!takeChatTurn(id)) return ignore(p, m, "chat too fast");
    // A line that needs no change goes on byte for byte.
    const Cmd relayed = line.textChanged ? out::withText({code::kChat}, line.fields.join(u'`')) : m;
    if (LeadingNumber(line.fields[8]) > 0) {
        ConnIds to{id};
        const ConnId other = idByName_.value(line.fields[1], id);
        if (other != id) to.append(other);
        out_.send(to, relayed);
        return;
    }
    toAll(relayed);
}

bool RoomTable::takeChatTurn(ConnId id) {
    auto it = people_.find(id);
    if (it == people_.end()) return false;
    const auto verdict = it->second.chat.take(chatRate_, now_);
    if (verdict == ChatAllowance::Verdict::DropAndTell)
        toOne(id, out::notice(QStringLiteral("发言太快，请稍后再说")));
    return verdict == ChatAllowance::Verdict::Pass;
}

}  // namespace xq::server
