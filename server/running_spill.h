#pragma once

#include <QString>
#include <vector>

#include "server/running_game.h"

namespace xq::server {

// The running games of a room that stopped while its store could not take them, kept in a file
// until the next start sets them up again and the store has them. The file holds the room's whole
// state: every game running at the stop, and no other.

// The file for a room, beside the file of results the store could not take (`resultSpill`, see
// result_spill.h); one per room, since rooms may share a store.
QString runningSpillPathFor(const QString& resultSpill, const QString& room);
// Writes the games (replacing the file, all or nothing, synced); false, with the reason.
bool writeRunningSpill(const QString& path, const QString& room,
                       const std::vector<RunningGame>& games, QString* error);
struct RunningSpill {
    enum class State { NoFile, Read, Unreadable };
    State state = State::NoFile;
    std::vector<RunningGame> games;  // when Read
    QString error;                   // when Unreadable: why (damaged, another room's, ...)
};
RunningSpill readRunningSpill(const QString& path, const QString& room);

}  // namespace xq::server
