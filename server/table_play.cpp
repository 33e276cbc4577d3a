// Game start, moves, negotiations and the end of a game.

#include "net/message_codes.h"
#include "net/table_events.h"
#include "records/record_file.h"
#include "server/table.h"

namespace xq::server {

TableTerms RoomTable::termsInForce() const {
    return agreedTerms_.value_or(TableTerms::defaults());
}

void RoomTable::startGame() {
    const TableTerms terms = termsInForce();
    phase_ = TablePhase::Playing;
    lowerHands();
    pending_.reset();
    game_.start(nextRed_);
    movesAtStart_ = game_.halfMoves();
    clock_.start(now_, game_.toMove(), terms.stepAllowanceSeconds());
    log(QStringLiteral("game starts: %1 has red, %2 has black, terms %3")
            .arg(seats_[static_cast<std::size_t>(nextRed_)].name,
                 seats_[static_cast<std::size_t>(nextRed_ ^ 1)].name, terms.text()));
    const auto red = static_cast<std::uint8_t>(nextRed_);
    // Red moves first.
    toAll(tablemsg::encode(tablemsg::GameStart{red, red, terms.bankTriple(), terms.stepTriple()}));
    // A result the store cannot take now would be announced and then lost: the game is played
    // for nothing, and the players know it from the start.
    rated_ = stats_.takesResults();
    if (!rated_) {
        log(QStringLiteral("the game is not rated: the store takes no results now"));
        toAll(tablemsg::encode(tablemsg::Notice{QStringLiteral("数据库暂时不可用，本局不计分")}));
    }
}

void RoomTable::onMove(const Person& p, const tablemsg::Move& move, const Cmd& m) {
    if (phase_ != TablePhase::Playing) return ignore(p, m, "no game is running");
    const std::uint8_t from = move.from, to = move.to;
    std::optional<QString> why;
    if (pending_) {
        why = QStringLiteral("请等待对方答复");
    } else if (waitingForResume()) {
        why = QStringLiteral("请等待对方回到棋局");
    } else {
        why = game_.refusal(p.seat, from, to);
    }
    if (why) {
        log(QStringLiteral("move %1 -> %2 of %3 refused: %4")
                .arg(from, 2, 16, QChar(u'0'))
                .arg(to, 2, 16, QChar(u'0'))
                .arg(p.name, *why));
        toSeat(p.seat, tablemsg::encode(tablemsg::Notice{QStringLiteral("走法无效：") + *why}));
        return;
    }
    const int bank = clock_.bankSeconds(p.seat, now_);
    const QiPuItem item = game_.play(from, to);
    clock_.passTurn(now_);
    log(QStringLiteral("move %1 of %2: %3 -> %4, piece %5, took %6, bank %7 s")
            .arg(game_.halfMoves())
            .arg(p.name)
            .arg(from, 2, 16, QChar(u'0'))
            .arg(to, 2, 16, QChar(u'0'))
            .arg(item.bteQiZi)
            .arg(item.bteEatQiZi)
            .arg(bank));
    toAll(tablemsg::encode(tablemsg::MoveEcho{static_cast<std::uint8_t>(p.seat), item.bteFromPos,
                                              item.bteQiZi, item.bteToPos, item.bteEatQiZi,
                                              GameClock::triple(bank)}));
    if (const auto end = game_.ending()) finishGame(end->loser, end->reason);
}

void RoomTable::onRequest(std::uint8_t c, int seat) {
    const QString& name = seats_[static_cast<std::size_t>(seat)].name;
    if (pending_) {
        log(QStringLiteral("request %1 of %2 while another is pending").arg(c).arg(name));
        return;
    }
    if (c == code::kLoad) return onLoadRequest(seat);
    const bool allowed = phase_ == TablePhase::Playing && !waitingForResume() &&
                         seat == game_.toMove() && (c != code::kUndo || game_.halfMoves() >= 2);
    if (!allowed) {
        log(QStringLiteral("request %1 of %2 not allowed now").arg(c).arg(name));
        return;
    }
    pending_ = Pending{c, seat};
    log(QStringLiteral("%1 asks for %2")
            .arg(name, c == code::kUndo ? QStringLiteral("an undo") : QStringLiteral("a draw")));
    toAllButSeat(seat, tablemsg::encode(
                           tablemsg::Negotiation{c, code::kAsk, static_cast<std::uint8_t>(seat)}));
}

void RoomTable::onAnswer(std::uint8_t c, bool agree, int seat) {
    if (!pending_ || pending_->code != c || pending_->seat != (seat ^ 1)) {
        log(QStringLiteral("answer %1 of seat %2 to no pending request").arg(c).arg(seat));
        return;
    }
    pending_.reset();
    const QString& name = seats_[static_cast<std::size_t>(seat)].name;
    log(QStringLiteral("%1 %2 request %3")
            .arg(name, agree ? QStringLiteral("agrees to") : QStringLiteral("refuses"))
            .arg(c));
    const auto s = static_cast<std::uint8_t>(seat);
    if (!agree) return toAll(tablemsg::encode(tablemsg::Negotiation{c, code::kRefuse, s}));
    if (c == code::kUndo) {
        game_.undoTwo();
        return toAll(tablemsg::encode(tablemsg::Negotiation{c, code::kAgree, s}));
    }
    if (c == code::kDraw) return finishGame(2, QStringLiteral("双方同意和棋"));
    toAll(tablemsg::encode(tablemsg::Negotiation{c, code::kAgree, s}));
    beginLoading(seat ^ 1);
}

bool RoomTable::ratedGame() const {
    // The store took results when the game began (its players were told if not), and enough
    // was played for it to mean something.
    return rated_ && longEnoughToRate();
}

void RoomTable::finishGame(int result, const QString& reason, bool escaped) {
    if (!longEnoughToRate()) return finishUnrated(result, reason);
    const TableTerms terms = termsInForce();
    const bool rated = ratedGame();
    std::array<qint32, 2> score{0, 0};
    if (result == 0 || result == 1) {
        const auto loser = static_cast<std::size_t>(result);
        const std::size_t winner = loser ^ 1;
        if (rated) {
            score[loser] = -(escaped ? terms.penalty() : terms.stake());
            score[winner] = terms.stake();
        }
        ++tally_[winner];
        log(QStringLiteral("game over: %1 loses (%2), scores %3 / %4")
                .arg(seats_[loser].name, reason)
                .arg(score[0])
                .arg(score[1]));
    } else {
        result = 2;
        escaped = false;
        log(QStringLiteral("game over: drawn (%1)").arg(reason));
    }
    GameOutcome record;
    record.table = number_;
    record.names = {seats_[0].name, seats_[1].name};
    record.redSeat = game_.redSeat();
    record.result = result;
    record.escaped = escaped;
    record.reason = reason;
    record.scoreChange = {score[0], score[1]};
    record.terms = terms.text();
    record.moves = qiPuFileText(game_.history());
    if (rated) stats_.recordGame(record);
    phase_ = TablePhase::BetweenGames;
    pending_.reset();
    lowerHands();
    nextRed_ = game_.redSeat() ^ 1;
    toAll(tablemsg::encode(
        tablemsg::GameEnd{score[0], score[1], static_cast<std::uint8_t>(result), reason}));
    for (int s = 0; s < 2; ++s) {
        if (seats_[static_cast<std::size_t>(s)].taken())
            toAll(tablemsg::encode(tablemsg::RowChanged{playerRow(s)}));
    }
}

bool RoomTable::longEnoughToRate() const {
    // Only the moves played in this game count: a loaded record's were played elsewhere, and
    // taking moves back takes them off.
    return game_.halfMoves() - movesAtStart_ >= 2 * kRatedMovesEach;
}

void RoomTable::finishUnrated(int result, const QString& reason) {
    if (result == 0 || result == 1) {
        // The table's own count of the sitting follows the result, as every client counts it.
        ++tally_[static_cast<std::size_t>(result ^ 1)];
    } else {
        result = 2;
    }
    log(QStringLiteral("game over: %1 (%2) after %3 moves, not rated")
            .arg(result == 2
                     ? QStringLiteral("drawn")
                     : seats_[static_cast<std::size_t>(result)].name + QStringLiteral(" loses"),
                 reason)
            .arg(game_.halfMoves() - movesAtStart_));
    phase_ = TablePhase::BetweenGames;
    pending_.reset();
    lowerHands();
    nextRed_ = game_.redSeat() ^ 1;
    // The words go with the result, which the table window shows in its result box; a notice of
    // its own would close that box.
    toAll(tablemsg::encode(
        tablemsg::GameEnd{0, 0, static_cast<std::uint8_t>(result),
                          reason + QStringLiteral("（双方各走满两步才计分，本局不计分）")}));
}

}  // namespace xq::server
