#include "server/table.h"

#include "net/cp936.h"
#include "net/leading_number.h"
#include "net/message_codes.h"
#include "net/table_events.h"
#include "server/chat_line.h"
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
    const tablemsg::FrameHead head = tablemsg::frameHead(m);
    log(QStringLiteral("ignored %1/%2 (%3 bytes) from %4: %5")
            .arg(head.code)
            .arg(head.sub)
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
    return tablemsg::encodeUserList(players, spectators_.joinedRows());
}

Cmd RoomTable::currentSnapshot() const {
    const TableTerms terms = termsInForce();
    if (phase_ == TablePhase::Playing || phase_ == TablePhase::Loading) {
        tablemsg::RunningSnapshot rs;
        rs.bankLimit = terms.bankTriple();
        rs.stepTime = terms.stepTriple();
        rs.tally = tally_;
        if (phase_ == TablePhase::Loading) {
            rs.redSeat = static_cast<std::uint8_t>(nextRed_);
            rs.gameState = static_cast<std::uint8_t>(10 + loadAsker_);
            return tablemsg::encode(rs);
        }
        rs.redSeat = static_cast<std::uint8_t>(game_.redSeat());
        rs.gameState = static_cast<std::uint8_t>(game_.toMove());
        for (int s = 0; s < 2; ++s)
            rs.banksUsed[static_cast<std::size_t>(s)] =
                GameClock::triple(clock_.bankSeconds(s, now_));
        rs.moves = tablemsg::movesOf(game_.history());
        return tablemsg::encode(rs);
    }
    tablemsg::WaitingSnapshot ws;
    ws.handsUp = {seats_[0].handUp, seats_[1].handUp};
    ws.tally = tally_;
    if (agreedTerms_) {
        ws.bankLimit = agreedTerms_->bankTriple();
        ws.stepTime = agreedTerms_->stepTriple();
    }
    ws.redSeat = static_cast<std::uint8_t>(nextRed_);
    ws.gameState = 50;  // no game: the clients' idle phase
    return tablemsg::encode(ws);
}

void RoomTable::sendTableState(ConnId id, const Person& p) {
    switch (phase_) {
        case TablePhase::Playing:
        case TablePhase::Loading:
        case TablePhase::BetweenGames:
            toOne(id, currentSnapshot());
            break;
        case TablePhase::Waiting:
            toOne(id, tablemsg::encode(tablemsg::waitingForPlayers()));
            break;
        case TablePhase::Settings:
            if (p.seat >= 0)
                toOne(id, tablemsg::encode(tablemsg::settingsStage(p.seat, ownerConfirmed_,
                                                                   proposedTerms_.text())));
            break;
    }
}

void RoomTable::sendWelcome(ConnId id, const Person& p) {
    toOne(id, tablemsg::encode(tablemsg::Identity{p.name, p.seat >= 0 ? p.name : p.watchedName}));
    toOne(id, userList());
    sendTableState(id, p);
}

void RoomTable::refuseLogin(ConnId id, const QString& why, const QString& notice) {
    log(QStringLiteral("refused login: %1").arg(why));
    // The client ends when its connection does; it shows this reason.
    toOne(id, tablemsg::encode(tablemsg::Notice{notice}));
    out_.close(id);
}

bool RoomTable::login(ConnId id, const QString& name, bool allowWatch, const QString& ticket,
                      Placement placement, bool vouched) {
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
    if (!vouched && bound != ticketOf_.constEnd() && *bound != ticket) {
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
    if (!vouched && !ticket.isEmpty() && bound == ticketOf_.constEnd())
        ticketOf_.insert(name, ticket);
    if (backTo) {
        comeBack(id, *backTo);
        return true;
    }
    stats_.arrive(name);  // the store's record is asked for; rows are sent again when it comes
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
    out_.send(everybodyBut(id), tablemsg::encode(tablemsg::Arrival{playerRow(seat)}));
    maybeBeginSettings();
}

void RoomTable::addSpectator(ConnId id, const QString& name, bool allowWatch) {
    Person p;
    p.name = name;
    p.allowWatch = allowWatch;
    p.watchedSeat = seats_[0].taken() ? 0 : 1;
    p.watchedName = seats_[static_cast<std::size_t>(p.watchedSeat)].name;
    p.spectatorRow = encodeCp936(
        userRowText(name, stats_.of(name), RowPlace{p.watchedSeat, p.watchedName, false, false}));
    people_[id] = p;
    idByName_.insert(name, id);
    spectators_.add(id, p.spectatorRow);
    log(QStringLiteral("login %1 watches %2").arg(name, p.watchedName));
    sendWelcome(id, p);
    out_.send(everybodyBut(id), tablemsg::encodeSpectatorArrival(p.spectatorRow));
}

void RoomTable::statsChanged(const QString& name) {
    if (const auto seat = placeOf(name); seat && *seat < 2) {
        toAll(tablemsg::encode(tablemsg::RowChanged{playerRow(*seat)}));
        return;
    }
    const auto id = idByName_.constFind(name);
    if (id == idByName_.constEnd()) return;
    auto person = people_.find(*id);
    if (person == people_.end() || person->second.seat >= 0) return;
    Person& p = person->second;
    const QString row =
        userRowText(name, stats_.of(name), RowPlace{p.watchedSeat, p.watchedName, false, false});
    p.spectatorRow = encodeCp936(row);
    spectators_.replace(*id, p.spectatorRow);
    toAll(tablemsg::encode(tablemsg::RowChanged{row}));
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
    if (phase_ == TablePhase::Playing && !clock_.stopped()) {
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
    const auto outOfTime = [this](const Seat& seat) {
        return seat.offline && now_ - seat.offlineSinceMs >= seat.comebackMs;
    };
    // Neither came back to a kept game: nobody ran away from it.
    if (waitingForResume() && outOfTime(seats_[0]) && outOfTime(seats_[1])) abandonResumed();
    for (int s = 0; s < 2; ++s) {
        if (outOfTime(seats_[static_cast<std::size_t>(s)])) leaveForGood(s);
    }
}

void RoomTable::receive(ConnId id, const Cmd& m) {
    auto it = people_.find(id);
    if (it == people_.end()) return;
    const Person p = it->second;  // a copy: handlers may remove the person
    const tablemsg::ParsedRequest parsed = tablemsg::parseRequest(m);
    if (const auto* refusal = std::get_if<tablemsg::Refusal>(&parsed))
        return onRefusal(p, *refusal, m);
    const tablemsg::Request& request = std::get<tablemsg::Request>(parsed);
    if (const auto* chat = std::get_if<tablemsg::Chat>(&request)) return onChat(id, p, *chat, m);
    if (std::holds_alternative<tablemsg::TableBegun>(request)) return;  // game-begun note
    if (const auto* leave = std::get_if<tablemsg::Leave>(&request);
        leave && leave->name == p.name) {
        if (p.seat >= 0) {
            log(QStringLiteral("%1 leaves the table").arg(p.name));
            return leaveForGood(p.seat);
        }
        return spectatorLeaves(id, true);
    }
    if (p.seat < 0) return ignore(p, m, "not a player");
    dispatchPlayer(p, request, m);
}

void RoomTable::onRefusal(const Person& p, const tablemsg::Refusal& refusal, const Cmd& m) {
    // A malformed chunk from the uploader ends his upload; anything else malformed is dropped.
    const bool ownChunk = refusal.code == code::kLoad && refusal.sub == code::kRecordData &&
                          p.seat >= 0 && refusal.seat == p.seat;
    if (ownChunk && phase_ == TablePhase::Loading && p.seat == loadAsker_)
        return onUploadStep(RecordUpload::Step::Refused);
    if (p.seat < 0 && refusal.code != code::kChat && !m.isEmpty())
        return ignore(p, m, "not a player");
    ignore(p, m, refusal.reason);
}

void RoomTable::dispatchPlayer(const Person& p, const tablemsg::Request& request, const Cmd& m) {
    // Game messages name the sender's seat; another seat is not his.
    const auto own = [&p](std::uint8_t seat) { return seat == p.seat; };
    if (const auto* hand = std::get_if<tablemsg::HandUp>(&request))
        return onHandText(p, hand->name);
    if (const auto* terms = std::get_if<tablemsg::OwnerSettings>(&request))
        return onOwnerTerms(p, *terms);
    if (const auto* raise = std::get_if<tablemsg::RaiseHand>(&request); raise && own(raise->seat))
        return onRaiseHand(p.seat);
    if (const auto* move = std::get_if<tablemsg::Move>(&request); move && own(move->seat))
        return onMove(p, *move, m);
    if (const auto* ask = std::get_if<tablemsg::Ask>(&request); ask && own(ask->seat))
        return onRequest(static_cast<std::uint8_t>(ask->topic), p.seat);
    if (const auto* answer = std::get_if<tablemsg::Answer>(&request); answer && own(answer->seat))
        return onAnswer(static_cast<std::uint8_t>(answer->topic), answer->agree, p.seat);
    if (const auto* resign = std::get_if<tablemsg::Resign>(&request);
        resign && own(resign->seat) && phase_ == TablePhase::Playing) {
        log(QStringLiteral("%1 %2").arg(p.name, resign->timeOut ? QStringLiteral("runs out of time")
                                                                : QStringLiteral("resigns")));
        return finishGame(p.seat,
                          resign->timeOut ? QStringLiteral("超时") : QStringLiteral("认输"));
    }
    if (std::holds_alternative<tablemsg::RecordChunk>(request) ||
        std::holds_alternative<tablemsg::LoadAbandoned>(request))
        return onLoadChunk(p, request, m);
    ignore(p, m, "unexpected here");
}

void RoomTable::onChat(ConnId id, const Person& p, const tablemsg::Chat& chat, const Cmd& m) {
    const ChatLine line = checkChatLine(chat.fields, p.name);
    if (line.refusal != nullptr) return ignore(p, m, line.refusal);
    if (!takeChatTurn(id)) return ignore(p, m, "chat too fast");
    // A line that needs no change goes on byte for byte; one that does changes only where it must.
    const Cmd relayed = line.textChanged ? blankTextLineBreaks(m) : m;
    if (leadingNumber(line.fields[8]) > 0) {
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
    const auto verdict =
        chat_.take(chatRate_, now_, it->second.name, addressOf_ ? addressOf_(id) : QString());
    if (verdict == ChatAllowance::Verdict::DropAndTell)
        toOne(id, tablemsg::encode(tablemsg::Notice{QStringLiteral("发言太快，请稍后再说")}));
    return verdict == ChatAllowance::Verdict::Pass;
}

}  // namespace xq::server
