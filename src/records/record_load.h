#pragma once

#include <QString>

#include "records/game_record.h"
#include "records/pgn_reader.h"

namespace xq {

// Reads a record of the kind its extension names (recordFormatOf): a PGN file's first game, or a
// .drak file's moves from the opening position. The game is replaced only on success. A .drak
// file that does not read, or a text record, which cannot be read back, gives PgnError::Unreadable.
bool loadGameRecord(const QString& path, GameRecord& game, PgnError* error = nullptr);

}  // namespace xq
