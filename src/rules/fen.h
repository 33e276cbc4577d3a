#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rules/position.h"

namespace xq {

// Standard xiangqi FEN: the first row is rank 0 (black's back rank); red pieces upper case,
// black lower case, letters r n b a k c p (h and e are read as n and b); side to move w (red) or
// b (black). Fields after the side to move are accepted and ignored.
inline constexpr std::string_view kStartFen =
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1";

// Reads a FEN. A malformed text, or a position that cannot arise in a game (not exactly one king
// per side inside its palace, more pieces of a kind than a side owns, an advisor, elephant or
// pawn on a point it can never reach, the side that just moved left with its king exposed),
// gives nothing and a one-line reason in *error. Ranks and points in the reasons are named as
// moves are written: files a..i from red's left, ranks 0..9 from red's side (the FEN's first
// row is rank 9).
std::optional<Position> parseFen(std::string_view fen, std::string* error = nullptr);

// Why a FEN was refused, for a reader that words it itself (the windows say it in Chinese).
struct FenFault {
    enum Kind {
        Empty,              // no placement at all
        RankWidth,          // `rank` ended after `files` files
        TooManyRanks,       // more than 10 ranks
        RankTooLong,        // `rank` has more than 9 files
        UnknownLetter,      // `letter` is no piece
        TooManyPieces,      // more pieces written as `letter` than a side owns
        BoardSize,          // the placement ended before 10 ranks of 9 files
        BadSide,            // `side` is neither w nor b
        UnreachablePoint,   // a piece of `pieceSide`/`pieceKind` on `square`, where it never gets
        KingCount,          // `pieceSide` has no king or more than one
        KingOutsidePalace,  // `pieceSide`'s king stands outside its palace
        kingExposed,        // the side that just moved left its king in check
    };
    Kind kind = Empty;
    int rank = 0;       // as moves name ranks: 0..9 from red's side
    int files = 0;      // RankWidth
    char letter = 0;    // UnknownLetter, TooManyPieces
    std::string side;   // BadSide
    int pieceSide = 0;  // UnreachablePoint, KingCount, KingOutsidePalace: kRed or kBlack
    int pieceKind = 0;  // UnreachablePoint
    int square = 0;     // UnreachablePoint
};

std::optional<Position> parseFen(std::string_view fen, FenFault* fault);
// The fault in one English line, as parseFen's error text gives it.
std::string fenFaultText(const FenFault& fault);
// A point named as moves name it ("a0" .. "i9").
std::string fenSquareName(int square);

std::string toFen(const Position& pos);

}  // namespace xq
