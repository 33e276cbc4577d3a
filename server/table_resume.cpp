// Games kept over a restart of the server: what is kept, and setting the table up again.

#include <algorithm>

#include "net/table_events.h"
#include "records/record_file.h"
#include "server/table.h"

namespace xq::server {

std::optional<RunningGame> RoomTable::runningGame() const {
    if (phase_ != TablePhase::Playing || !seats_[0].taken() || !seats_[1].taken())
        return std::nullopt;
    RunningGame kept;
    kept.table = number_;
    kept.names = {seats_[0].name, seats_[1].name};
    kept.redSeat = game_.redSeat();
    kept.terms = termsInForce().text();
    kept.tally = tally_;
    kept.bankSeconds = {clock_.bankSeconds(0, now_), clock_.bankSeconds(1, now_)};
    kept.moves = qiPuFileText(game_.history());
    kept.movesAtStart = static_cast<int>(movesAtStart_);
    kept.rated = rated_;
    return kept;
}

bool RoomTable::resume(const RunningGame& kept) {
    if (phase_ != TablePhase::Waiting || seats_[0].taken() || seats_[1].taken() || !people_.empty())
        return false;
    if (kept.names[0].isEmpty() || kept.names[1].isEmpty() || kept.names[0] == kept.names[1] ||
        (kept.redSeat != 0 && kept.redSeat != 1))
        return false;
    const auto terms = parseOwnerTerms(kept.terms);
    if (!std::holds_alternative<TableTerms>(terms)) return false;
    QiPuHistory read;
    if (!parseQiPuText(kept.moves, read)) return false;
    std::vector<QiPuItem> moves;
    for (long i = 1; i <= qiPuUpperBound(read); ++i)
        moves.push_back(read[static_cast<std::size_t>(i)]);
    const auto history = checkRecord(moves);
    if (!history) return false;

    agreedTerms_ = std::get<TableTerms>(terms);
    proposedTerms_ = *agreedTerms_;
    ownerConfirmed_ = true;
    tally_ = {std::max(0, kept.tally[0]), std::max(0, kept.tally[1])};
    game_.startFrom(*history, kept.redSeat);
    // What was loaded before the restart still does not count; what was played still does.
    movesAtStart_ = std::clamp<long>(kept.movesAtStart, 0, game_.halfMoves());
    // Its players were told at its start whether it counts; a restart does not change that.
    rated_ = kept.rated;
    clock_.restore(game_.toMove(), agreedTerms_->stepAllowanceSeconds(), kept.bankSeconds);
    nextRed_ = kept.redSeat;
    pending_.reset();
    for (int s = 0; s < 2; ++s) {
        Seat& seat = seats_[static_cast<std::size_t>(s)];
        seat = Seat{};
        seat.name = kept.names[static_cast<std::size_t>(s)];
        seat.offline = true;
        seat.offlineSinceMs = now_;
        seat.comebackMs = kResumeComebackMs;
    }
    phase_ = TablePhase::Playing;
    log(QStringLiteral("the game of %1 and %2 is kept from before the restart: move %3, seat %4 "
                       "to move; they have %5 min to come back")
            .arg(kept.names[0], kept.names[1])
            .arg(game_.halfMoves())
            .arg(game_.toMove())
            .arg(kResumeComebackMs / 60'000));
    return true;
}

void RoomTable::abandonResumed() {
    log(QStringLiteral("neither %1 nor %2 came back: the kept game is dropped, unrated")
            .arg(seats_[0].name, seats_[1].name));
    pending_.reset();
    seats_ = {};
    agreedTerms_.reset();
    proposedTerms_ = TableTerms::defaults();
    ownerConfirmed_ = false;
    tally_ = {};
    phase_ = TablePhase::Waiting;
    // Spectators who came meanwhile see the table empty.
    toAll(tablemsg::encode(tablemsg::waitingForPlayers()));
}

}  // namespace xq::server
