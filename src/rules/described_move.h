#pragma once

#include <cstdint>

#include "rules/position.h"

namespace xq {

// Which of several pieces of one kind on one file a move names.
enum class Mark : std::uint8_t { None, Front, Middle, Rear, Ordinal };

// A move as the Chinese and WXF notations describe it: the piece, which one of its kind it is,
// the direction and the target. Files count 1..9 from the moving side's right hand; the front
// piece is the one nearer the opponent.
struct DescribedMove {
    int kind = 0;  // kChariot..kPawn
    Mark mark = Mark::None;
    int ordinal = 0;   // with Mark::Ordinal: 1 for the front-most
    int among = 0;     // with a mark: how many of the kind stand on that file (0: not known)
    int file = 0;      // the file left; 0 when the description leaves it out
    char direction{};  // '+' advance, '-' retreat, '.' sideways
    int target = 0;    // the file reached, or the number of ranks moved

    friend bool operator==(const DescribedMove&, const DescribedMove&) = default;
};

// How the move of the piece on move.from is written. A piece alone of its kind and side on its
// file is named by that file; advisors, elephants and kings always are (their direction tells
// two of them apart). Otherwise its place on the file names it: front and rear for two, front,
// middle and rear for three pawns, ordinals from the front for four or five. Pawns keep the file
// besides when another file also holds two or more of them.
DescribedMove describeMove(const Position& pos, Move move);

enum class FindResult { Found, NoMove, Ambiguous };

// The move of the side to move, among those the table allows (generateAllowedMoves), that the
// description names. A description that leaves out what would tell two moves apart (a hand-written
// "车九进一" with both chariots on that file) is read when only one move fits it, or only one of
// those that fit keeps the mover's king safe.
FindResult findDescribedMove(const Position& pos, const DescribedMove& d, Move* found);

}  // namespace xq
