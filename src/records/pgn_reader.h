#pragma once

#include <QString>

#include "records/game_record.h"
#include "rules/fen.h"

namespace xq {

// Why a PGN text could not be read.
struct PgnError {
    enum Fault {
        Unreadable,     // the file could not be read at all
        NoGame,         // no tag and no move
        BadTag,         // a tag line that is not [Name "value"]
        BadFen,         // the FEN tag names no possible position; reason says why
        NotAMove,       // a word of the moves is no move in any of the three notations
        IllegalMove,    // a move the side to move cannot play there
        AmbiguousMove,  // a move that fits more than one move of the side to move
        Unclosed,       // a comment or variation that never ends
        TooLong,        // more moves than any game has
    };
    Fault fault = Unreadable;
    int line = 0;    // 1-based; 0 when no line is to blame
    QString text;    // the tag line or move as written
    QString reason;  // with BadFen: the FEN reader's reason
    FenFault fen;    // with BadFen: the fault, for a reader that words it itself
};

// Reads the first game of a PGN text. Moves may be in coordinates ("h2e2"), Chinese notation or
// WXF, each word read in whichever of them it is written; move numbers, comments in braces or
// after ";", variations in brackets, annotation glyphs ($1, !, ?) and results are passed over,
// and line breaks may stand anywhere. A [FEN] tag gives the start. Every move must be one the
// side to move can play; the first that is not is the error.
bool readPgn(const QString& text, GameRecord& game, PgnError* error = nullptr);

}  // namespace xq
