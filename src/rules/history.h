#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "rules/board.h"

namespace xq {

// One move as records and messages carry it, in this byte order.
struct QiPuItem {
    std::uint8_t bteFromPos = 0;  // packed from-point
    std::uint8_t bteQiZi = 0;     // moving piece
    std::uint8_t bteToPos = 0;    // packed to-point
    std::uint8_t bteEatQiZi = 0;  // piece that stood on the to-point, 0 if none

    friend bool operator==(const QiPuItem&, const QiPuItem&) = default;
};

// A move with its points unpacked.
struct QiPuMove {
    std::uint8_t fromRank = 0;
    std::uint8_t fromFile = 0;
    std::uint8_t piece = 0;
    std::uint8_t toRank = 0;
    std::uint8_t toFile = 0;
    std::uint8_t eaten = 0;

    friend bool operator==(const QiPuMove&, const QiPuMove&) = default;
};

// The move history: index 0 is an all-zero placeholder that is never a move, so move k of the
// game (1-based) sits at index k and the upper bound is the number of half-moves played.
using QiPuHistory = std::vector<QiPuItem>;

// Makes the history the single placeholder.
void resetQiPu(QiPuHistory& history);

// Upper bound of the history: number of half-moves, or -1 for a history without placeholder.
inline long qiPuUpperBound(const QiPuHistory& history) {
    return static_cast<long>(history.size()) - 1;
}

// Appends one move (a history without bounds gets it at index 0).
void AddQiPu(QiPuHistory& history, std::uint8_t fromRank, std::uint8_t fromFile, std::uint8_t piece,
             std::uint8_t toRank, std::uint8_t toFile, std::uint8_t eaten);

// Reads item index; nothing for an index outside the history.
std::optional<QiPuMove> GetQiPu(const QiPuHistory& history, long index);

// Drops the last move; the placeholder is never dropped.
void DelQiPu(QiPuHistory& history);

// Replays the history onto the opening position: for every move the from-point is emptied and
// the recorded piece put on the to-point. Points outside the array are skipped.
void replayQiPu(const QiPuHistory& history, QiPan& board);

}  // namespace xq
