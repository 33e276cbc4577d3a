// Games kept over a restart of the server: saving them as they go, setting them up again, and
// asking their players back.

#include "net/hall_messages.h"
#include "server/room.h"

namespace xq::server {

int Room::resumeGames(const std::vector<RunningGame>& kept, bool stored) {
    int resumed = 0;
    if (!stored) {
        // Forgotten first and then written anew, in the same batch (see takeRunningChanges).
        for (int n = 1; n <= tableCount(); ++n)
            endedUnkept_.insert(n);
    }
    for (const RunningGame& game : kept) {
        const int number = game.table;
        const bool namesFree =
            !location_.contains(game.names[0]) && !location_.contains(game.names[1]) &&
            !reserved_.contains(game.names[0]) && !reserved_.contains(game.names[1]);
        if (number < 1 || number > tableCount() || !namesFree || !tableAt(number).resume(game)) {
            out_.log(QStringLiteral("the kept game of %1 and %2 at table %3 cannot be set up "
                                    "again; it is dropped")
                         .arg(game.names[0], game.names[1])
                         .arg(number));
            continue;
        }
        if (game.savedAt.isValid()) {
            out_.log(QStringLiteral("table %1: the game of %2 and %3 goes on from its moves kept "
                                    "at %4; moves played after that are lost")
                         .arg(number)
                         .arg(game.names[0], game.names[1],
                              game.savedAt.toLocalTime().toString(
                                  QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))));
        }
        for (const QString& name : game.names) {
            stats_.arrive(name);  // their rows show their stored record before they are back
            location_.insert(name, number);
            namesAt_[number].insert(name);
        }
        if (stored)
            kept_.insert(number,
                         KeptMark{game.names, table(number).game().halfMoves(), game.tally});
        tableChanged(number);
        ++resumed;
    }
    return resumed;
}

void Room::keptFailed(const RunningChanges& changes) {
    for (const RunningGame& g : changes.changed)
        kept_.remove(g.table);
    for (int n : changes.ended)
        endedUnkept_.insert(n);
}

Room::RunningChanges Room::takeRunningChanges() {
    RunningChanges changes;
    for (int n : std::as_const(endedUnkept_)) {
        // Running again meanwhile: the new game is written over it below.
        if (!kept_.contains(n)) changes.ended.push_back(n);
    }
    endedUnkept_.clear();
    for (int n = 1; n <= tableCount(); ++n) {
        const RoomTable& t = table(n);
        const bool running = t.phase() == TablePhase::Playing && !t.seatName(0).isEmpty() &&
                             !t.seatName(1).isEmpty();
        const auto seen = kept_.constFind(n);
        if (!running) {
            if (seen != kept_.constEnd()) {
                kept_.remove(n);
                changes.ended.push_back(n);
            }
            continue;
        }
        const KeptMark mark{
            {t.seatName(0), t.seatName(1)}, t.game().halfMoves(), {t.tally(0), t.tally(1)}};
        if (seen != kept_.constEnd() && *seen == mark) continue;
        if (auto game = t.runningGame()) {
            kept_.insert(n, mark);
            changes.changed.push_back(std::move(*game));
        }
    }
    return changes;
}

std::vector<RunningGame> Room::runningGames() const {
    std::vector<RunningGame> games;
    for (int n = 1; n <= tableCount(); ++n) {
        if (auto game = table(n).runningGame()) games.push_back(std::move(*game));
    }
    return games;
}

void Room::offerWaitingGame(ConnId id, const QString& name) {
    const auto at = location_.constFind(name);
    if (at == location_.constEnd()) return;
    const RoomTable& t = table(*at);
    const auto place = t.placeOf(name);
    if (!place || *place > 1 || !t.offline(*place) || t.phase() != TablePhase::Playing) return;
    out_.send(ConnIds{id}, hall::gameWaiting(*at, static_cast<hall::Place>(*place)));
}

}  // namespace xq::server
