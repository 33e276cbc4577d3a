// Arrivals, departures, raised hands and the settings stage of the table.

#include "net/message_codes.h"
#include "net/table_events.h"
#include "server/table.h"

namespace xq::server {

void RoomTable::comeBack(ConnId id, int seat) {
    Seat& s = seats_[static_cast<std::size_t>(seat)];
    s.conn = id;
    s.offline = false;
    Person p;
    p.name = s.name;
    p.seat = seat;
    people_[id] = p;
    idByName_.insert(s.name, id);
    log(QStringLiteral("%1 is back on seat %2").arg(s.name).arg(seat));
    sendWelcome(id, p);
    out_.send(everybodyBut(id), tablemsg::encode(tablemsg::BackOnline{s.name}));
    s.comebackMs = kComebackMs;
    if (waitingForResume() && !seats_[0].offline && !seats_[1].offline) {
        clock_.resumeAt(now_);
        log(QStringLiteral("both players are back: the kept game goes on"));
    }
    maybeBeginSettings();
}

void RoomTable::goOffline(int seat) {
    Seat& s = seats_[static_cast<std::size_t>(seat)];
    if (s.conn) people_.erase(*s.conn);
    idByName_.remove(s.name);
    s.conn.reset();
    s.offline = true;
    s.offlineSinceMs = now_;
    log(QStringLiteral("%1 dropped out; the seat is kept for %2 s")
            .arg(s.name)
            .arg(kComebackMs / 1000));
    refusePendingFor(seat);
    toAll(tablemsg::encode(tablemsg::WentOffline{s.name}));
}

void RoomTable::refusePendingFor(int seat) {
    if (!pending_ || pending_->seat == seat) return;
    const Pending p = *pending_;
    pending_.reset();
    log(QStringLiteral("request %1 of seat %2 refused: the other player is gone")
            .arg(p.code)
            .arg(p.seat));
    toAll(tablemsg::encode(
        tablemsg::Negotiation{p.code, code::kRefuse, static_cast<std::uint8_t>(seat)}));
}

void RoomTable::leaveForGood(int seat, bool closeConn) {
    Seat& s = seats_[static_cast<std::size_t>(seat)];
    const QString name = s.name;
    const std::optional<ConnId> conn = s.conn;
    log(QStringLiteral("%1 leaves seat %2").arg(name).arg(seat));
    // He hears nothing more: what follows is for those who stay.
    if (conn) people_.erase(*conn);
    idByName_.remove(name);
    s.conn.reset();
    if (phase_ == TablePhase::Playing) {
        finishGame(seat, QStringLiteral("逃跑"), true);
    } else if (phase_ == TablePhase::Loading) {
        failLoad(QStringLiteral("a player left"));
    } else {
        refusePendingFor(seat);
    }
    seats_[static_cast<std::size_t>(seat)] = Seat{};
    toAll(tablemsg::encode(tablemsg::LeftTable{name}));
    if (conn && closeConn) out_.close(*conn);
    enterWaiting();
}

void RoomTable::spectatorLeaves(ConnId id, bool closeIt) {
    auto it = people_.find(id);
    if (it == people_.end()) return;
    const QString name = it->second.name;
    people_.erase(it);
    idByName_.remove(name);
    spectators_.remove(id);
    log(QStringLiteral("spectator %1 left").arg(name));
    toAll(tablemsg::encode(tablemsg::SpectatorLeft{name}));
    if (closeIt) out_.close(id);
}

void RoomTable::enterWaiting() {
    phase_ = TablePhase::Waiting;
    agreedTerms_.reset();
    proposedTerms_ = TableTerms::defaults();
    ownerConfirmed_ = false;
    tally_ = {0, 0};
    nextRed_ = 0;
    pending_.reset();
    upload_.reset();
    lowerHands();
    log(QStringLiteral("the table waits for players"));
    toAll(tablemsg::encode(tablemsg::waitingForPlayers()));
}

int RoomTable::handsUp() const {
    return (seats_[0].handUp ? 1 : 0) + (seats_[1].handUp ? 1 : 0);
}

void RoomTable::lowerHands() {
    for (Seat& s : seats_)
        s.handUp = false;
}

void RoomTable::onHandText(const Person& p, const QString& text) {
    if (text != p.name)
        return ignore(p, tablemsg::encode(tablemsg::HandsUp{1, text, {}}),
                      "hand raised in another's name");
    Seat& seat = seats_[static_cast<std::size_t>(p.seat)];
    switch (phase_) {
        case TablePhase::Waiting:
            if (seat.handUp) return;
            seat.handUp = true;
            log(QStringLiteral("%1 raises the hand").arg(p.name));
            toAll(tablemsg::encode(
                tablemsg::HandsUp{static_cast<std::uint8_t>(handsUp()), p.name, {}}));
            return maybeBeginSettings();
        case TablePhase::Settings:
            if (p.seat != 1) {
                log(QStringLiteral("%1 raised the hand while setting the terms").arg(p.name));
                return;
            }
            if (!ownerConfirmed_) {
                log(QStringLiteral("%1 agreed before the owner set the terms").arg(p.name));
                return;
            }
            seat.handUp = true;
            agreedTerms_ = proposedTerms_;
            log(QStringLiteral("%1 agrees to the terms %2").arg(p.name, agreedTerms_->text()));
            toAll(tablemsg::encode(tablemsg::HandsUp{2, p.name, {}}));
            return startGame();
        case TablePhase::BetweenGames:
            return raiseAfterGame(p.seat);
        default:
            log(QStringLiteral("%1 raised the hand during a game").arg(p.name));
            return;
    }
}

void RoomTable::onRaiseHand(int seat) {
    const std::uint8_t s = static_cast<std::uint8_t>(seat);
    if (phase_ == TablePhase::BetweenGames) return raiseAfterGame(seat);
    if (phase_ == TablePhase::Waiting && seats_[0].taken() && seats_[1].taken()) {
        Seat& st = seats_[s];
        if (st.handUp) return;
        st.handUp = true;
        log(QStringLiteral("%1 raises the hand").arg(st.name));
        toAll(tablemsg::encode(tablemsg::Ready{s}));
        return maybeBeginSettings();
    }
    log(QStringLiteral("hand of seat %1 not taken now").arg(seat));
}

void RoomTable::raiseAfterGame(int seat) {
    Seat& s = seats_[static_cast<std::size_t>(seat)];
    if (s.handUp) return;
    s.handUp = true;
    log(QStringLiteral("%1 is ready for the next game").arg(s.name));
    toAll(tablemsg::encode(tablemsg::Ready{static_cast<std::uint8_t>(seat)}));
    if (handsUp() == 2) startGame();
}

void RoomTable::maybeBeginSettings() {
    // Both players must be there to set and agree terms; one whose connection broke after a game
    // either comes back or leaves when his minute is up.
    const auto present = [](const Seat& s) { return s.taken() && !s.offline; };
    if (phase_ == TablePhase::Waiting && present(seats_[0]) && present(seats_[1]) && handsUp() > 0)
        beginSettings();
}

void RoomTable::beginSettings() {
    phase_ = TablePhase::Settings;
    lowerHands();
    proposedTerms_ = TableTerms::defaults();
    ownerConfirmed_ = false;
    nextRed_ = 0;
    log(QStringLiteral("settings stage: %1 sets the terms").arg(seats_[0].name));
    for (int s = 0; s < 2; ++s)
        toSeat(s, tablemsg::encode(tablemsg::settingsStage(s, false, proposedTerms_.text())));
}

void RoomTable::onOwnerTerms(const Person& p, const tablemsg::OwnerSettings& terms) {
    if (phase_ != TablePhase::Settings || p.seat != 0)
        return ignore(p, tablemsg::encode(terms), "terms from someone who cannot set them");
    if (terms.name != p.name) return ignore(p, tablemsg::encode(terms), "terms in another's name");
    const auto parsed = parseOwnerTerms(terms.settings);
    if (const auto* reason = std::get_if<QString>(&parsed)) {
        log(QStringLiteral("terms of %1 refused: %2").arg(p.name, *reason));
        toSeat(0, tablemsg::encode(tablemsg::Notice{QStringLiteral("桌主设置无效：") + *reason}));
        toSeat(0, tablemsg::encode(
                      tablemsg::settingsStage(0, ownerConfirmed_, proposedTerms_.text())));
        return;
    }
    proposedTerms_ = std::get<TableTerms>(parsed);
    ownerConfirmed_ = true;
    seats_[0].handUp = true;
    log(QStringLiteral("%1 sets the terms %2").arg(p.name, proposedTerms_.text()));
    ConnIds others = everybody();
    if (seats_[1].conn) {
        others.removeOne(*seats_[1].conn);
        toSeat(1, tablemsg::encode(tablemsg::HandsUp{1, p.name, proposedTerms_.text()}));
    }
    out_.send(others, tablemsg::encode(tablemsg::HandsUp{1, p.name, {}}));
}

}  // namespace xq::server
