#include "rules/board.h"

namespace xq {

void InitQiPan(QiPan& board) {
    for (auto& rank : board)
        rank.fill(kNoPiece);
    constexpr std::array<int, 9> kBackRank = {kChariot, kHorse,    kElephant, kAdvisor, kKing,
                                              kAdvisor, kElephant, kHorse,    kChariot};
    for (int f = 0; f < kFiles; ++f) {
        board[0][f] = makePiece(kBlack, kBackRank[f]);
        board[9][f] = makePiece(kRed, kBackRank[f]);
    }
    for (int f : {1, 7}) {
        board[2][f] = makePiece(kBlack, kCannon);
        board[7][f] = makePiece(kRed, kCannon);
    }
    for (int f = 0; f < kFiles; f += 2) {
        board[3][f] = makePiece(kBlack, kPawn);
        board[6][f] = makePiece(kRed, kPawn);
    }
}

void ToShowPos(std::uint8_t redView, std::uint8_t rank, std::uint8_t file, std::uint8_t& row,
               std::uint8_t& col) {
    if (rank > 9 || file > 8) return;
    if (redView > 0) {
        row = rank;
        col = file;
    } else {
        row = static_cast<std::uint8_t>(9 - rank);
        col = static_cast<std::uint8_t>(8 - file);
    }
}

void BuildShowQiPan(const QiPan& logical, std::uint8_t redView, QiPan& show) {
    for (auto& rank : show)
        rank.fill(kNoPiece);
    for (std::uint8_t r = 0; r < kRanks; ++r) {
        for (std::uint8_t f = 0; f < kFiles; ++f) {
            std::uint8_t row = 0, col = 0;
            ToShowPos(redView, r, f, row, col);
            show[row][col] = logical[r][f];
        }
    }
}

}  // namespace xq
