#pragma once

#include <QString>

#include "records/pgn_reader.h"

namespace xq {

// What the user is told when a record file could not be read or a record or text record could
// not be written. The words are Chinese; the system's own reason, which is usually English,
// follows only in brackets at the end.

// Why the record at path could not be loaded: missing, not openable, or not a record.
QString loadFailureText(const QString& path);
QString saveFailureText(const QString& path, const QString& reason);
QString exportFailureText(const QString& path, const QString& reason);

// Why a PGN file could not be read, naming the line at fault.
QString pgnLoadFailureText(const QString& path, const PgnError& error);
// A game that does not start from the opening position cannot be kept in a .drak file.
QString drakStartFailureText(const QString& path);
// Move k (1-based, shown as its list line) cannot be played where it stands, so the game cannot
// be written in a notation that names moves by the position.
QString pgnMoveFailureText(const QString& path, long k, const QString& line);
// A FEN that names no possible position, and why.
QString fenFailureText(const QString& fen, const FenFault& fault);
// Why a FEN was refused, in Chinese; points and ranks named as moves name them ("a0", rank 0 on
// red's side).
QString fenFaultChineseText(const FenFault& fault);

}  // namespace xq
