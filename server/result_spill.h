#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "server/store/finished_game.h"

namespace xq::server {

// Results the store had not committed when the server stopped, kept in a file beside the
// database until the next start commits them.

// The file for a store: beside an SQLite file, or in `folder` when one is given (a PostgreSQL
// store has no folder of its own: then `programFolder`).
QString spillPathFor(const QString& where, const QString& folder, const QString& programFolder);
// Writes the games (replacing the file, all or nothing, synced); false, with the reason.
bool writeSpill(const QString& path, const std::vector<FinishedGame>& games, QString* error);
// The games in the file; none when there is no file. Nothing, with the reason, when the file
// cannot be read or is damaged.
std::optional<std::vector<FinishedGame>> readSpill(const QString& path, QString* error);

}  // namespace xq::server
