#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "records/game_record.h"

namespace xq {

// How a PGN file writes its moves: coordinates ("h2e2", the default), Chinese notation
// ("炮二平五") or WXF ("C2.5"). The Format tag names it as other programs expect.
enum class MoveNotation { Iccs, Chinese, Wxf };

// "iccs", "chinese" or "wxf", in any letter case; nothing for another name.
std::optional<MoveNotation> notationFromName(const QString& name);

// The game as PGN text in UTF-8: the Game tag, the record's own tags where known (Event, Site,
// Date, Round, Red, Black first, then any others), Result, a FEN tag when the game does not start
// from the opening position, and Format; then one line per move number and the result. Fails
// when a move cannot be played where it stands (as a .drak file may hold one): *badMove is
// then the first such move (1-based) and nothing is written.
bool writePgn(const GameRecord& game, MoveNotation notation, QByteArray* out,
              long* badMove = nullptr);

}  // namespace xq
