#pragma once

#include <QByteArray>
#include <QString>

#include "records/pgn_reader.h"

namespace xq {

// Reads the first game of a PGN file, written in UTF-8 or, as many Chinese programs write it,
// in code page 936.
bool loadPgnFile(const QString& path, GameRecord& game, PgnError* error = nullptr);

// The text of a PGN file: UTF-8 when the bytes are UTF-8, else code page 936.
QString decodePgnBytes(const QByteArray& bytes);

}  // namespace xq
