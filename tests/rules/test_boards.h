#pragma once

#include <initializer_list>

#include "rules/board.h"

namespace xq::test {

struct Placed {
    int rank;
    int file;
    Piece piece;
};

// An otherwise empty board with the given pieces.
inline QiPan BoardWith(std::initializer_list<Placed> pieces) {
    QiPan board{};
    for (const Placed& p : pieces)
        board[p.rank][p.file] = p.piece;
    return board;
}

inline QiPan OpeningBoard() {
    QiPan board{};
    InitQiPan(board);
    return board;
}

inline constexpr Piece kBChariot = 1, kBHorse = 2, kBCannon = 3, kBKing = 4, kBAdvisor = 5,
                       kBElephant = 6, kBPawn = 7;
inline constexpr Piece kRChariot = 17, kRHorse = 18, kRCannon = 19, kRKing = 20, kRAdvisor = 21,
                       kRElephant = 22, kRPawn = 23;

}  // namespace xq::test
