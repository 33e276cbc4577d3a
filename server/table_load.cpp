// Loading a stored record to play on from it.

#include "net/message_codes.h"
#include "net/table_events.h"
#include "server/table.h"

namespace xq::server {

void RoomTable::onLoadRequest(int seat) {
    const auto s = static_cast<std::uint8_t>(seat);
    const Seat& other = seats_[static_cast<std::size_t>(seat ^ 1)];
    if (phase_ == TablePhase::Playing || phase_ == TablePhase::Loading) {
        log(QStringLiteral("load request of seat %1 during a game").arg(seat));
        return;
    }
    if (phase_ == TablePhase::Settings || !other.taken() || other.offline || handsUp() > 0) {
        log(QStringLiteral("load request of seat %1 refused: the table is not ready").arg(seat));
        return toAll(tablemsg::encode(tablemsg::Negotiation{code::kLoad, code::kLoadFailed, s}));
    }
    pending_ = Pending{code::kLoad, seat};
    log(QStringLiteral("%1 asks to load a record").arg(seats_[s].name));
    toAllButSeat(seat, tablemsg::encode(tablemsg::Negotiation{code::kLoad, code::kAsk, s}));
}

void RoomTable::beginLoading(int asker) {
    phase_ = TablePhase::Loading;
    loadAsker_ = asker;
    loadDeadlineMs_ = now_ + kLoadMs;
    upload_.reset();
    lowerHands();
    log(QStringLiteral("%1 uploads a record").arg(seats_[static_cast<std::size_t>(asker)].name));
}

void RoomTable::onLoadChunk(const Person& p, const tablemsg::Request& request, const Cmd& m) {
    const auto* chunk = std::get_if<tablemsg::RecordChunk>(&request);
    const std::uint8_t seat = chunk ? chunk->seat : std::get<tablemsg::LoadAbandoned>(request).seat;
    if (seat != p.seat || phase_ != TablePhase::Loading || p.seat != loadAsker_)
        return ignore(p, m, "unexpected here");
    onUploadStep(chunk ? upload_.add(*chunk) : upload_.giveUp());
}

void RoomTable::onUploadStep(RecordUpload::Step step) {
    switch (step) {
        case RecordUpload::Step::NeedMore:
            return;
        case RecordUpload::Step::GivenUp:
            return failLoad(QStringLiteral("given up by the player"));
        case RecordUpload::Step::Refused:
            return failLoad(QStringLiteral("a chunk out of order or malformed"));
        case RecordUpload::Step::Complete:
            break;
    }
    if (const auto history = checkRecord(upload_.moves())) return acceptLoad(*history);
    failLoad(QStringLiteral("the record does not replay"));
}

void RoomTable::failLoad(const QString& why) {
    log(QStringLiteral("loading failed: %1").arg(why));
    upload_.reset();
    lowerHands();
    phase_ = agreedTerms_ ? TablePhase::BetweenGames : TablePhase::Waiting;
    toAll(tablemsg::encode(tablemsg::Negotiation{code::kLoad, code::kLoadFailed,
                                                 static_cast<std::uint8_t>(loadAsker_)}));
}

void RoomTable::acceptLoad(const QiPuHistory& history) {
    if (!agreedTerms_) agreedTerms_ = TableTerms::defaults();
    upload_.reset();
    game_.startFrom(history, nextRed_);
    movesAtStart_ = game_.halfMoves();
    clock_.start(now_, game_.toMove(), agreedTerms_->stepAllowanceSeconds());
    phase_ = TablePhase::Playing;
    pending_.reset();
    log(QStringLiteral("record of %1 moves loaded; seat %2 to move")
            .arg(game_.halfMoves())
            .arg(game_.toMove()));
    toAll(tablemsg::encode(tablemsg::RecordMoves{tablemsg::movesOf(game_.history())}));
    toAll(currentSnapshot());
}

}  // namespace xq::server
