#include <gtest/gtest.h>

#include "rules/board.h"
#include "rules/history.h"
#include "test_boards.h"

namespace xq {
namespace {

using namespace xq::test;

TEST(InitQiPan, PlacesOpeningAndClearsEveryCell) {
    QiPan board;
    for (auto& rank : board)
        rank.fill(99);
    InitQiPan(board);
    struct {
        int rank, file;
        Piece expected;
    } const cases[] = {{0, 0, 1}, {0, 4, 4},  {9, 4, 20}, {2, 1, 3},  {7, 7, 19},
                       {3, 8, 7}, {6, 0, 23}, {0, 2, 6},  {9, 3, 21}, {9, 7, 18},
                       {4, 4, 0}, {5, 4, 0},  {1, 4, 0},  {8, 4, 0},  {3, 1, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(board[c.rank][c.file], c.expected) << c.rank << "," << c.file;
    }
    for (int f = 0; f < 10; ++f)
        EXPECT_EQ(board[10][f], 0) << "rank 10 file " << f;
    for (int r = 0; r < 11; ++r)
        EXPECT_EQ(board[r][9], 0) << "rank " << r << " file 9";
    int pieces = 0;
    for (const auto& rank : board) {
        for (Piece p : rank)
            pieces += p != 0;
    }
    EXPECT_EQ(pieces, 32);
}

TEST(ToShowPos, TurnsBoardForBlackViewAndIgnoresOffBoardPoints) {
    struct {
        std::uint8_t redView, rank, file, row, col;
    } const cases[] = {
        {0, 9, 4, 0, 4}, {0, 0, 0, 9, 8}, {0, 3, 2, 6, 6},
        {1, 9, 4, 9, 4}, {1, 0, 0, 0, 0}, {2, 5, 1, 5, 1},  // any positive value is the red view
    };
    for (const auto& c : cases) {
        std::uint8_t row = 77, col = 77;
        ToShowPos(c.redView, c.rank, c.file, row, col);
        EXPECT_EQ(row, c.row);
        EXPECT_EQ(col, c.col);
        // The mapping is its own inverse.
        std::uint8_t backRank = 0, backFile = 0;
        ToShowPos(c.redView, row, col, backRank, backFile);
        EXPECT_EQ(backRank, c.rank);
        EXPECT_EQ(backFile, c.file);
    }
    for (auto [rank, file] : {std::pair{10, 0}, {0, 9}, {255, 255}}) {
        std::uint8_t row = 77, col = 66;
        ToShowPos(0, static_cast<std::uint8_t>(rank), static_cast<std::uint8_t>(file), row, col);
        EXPECT_EQ(row, 77);
        EXPECT_EQ(col, 66);
    }
}

TEST(BuildShowQiPan, BlackViewPutsRedAtTheTopAndClearsSpareCells) {
    const QiPan logical = OpeningBoard();
    QiPan show;
    for (auto& rank : show)
        rank.fill(55);
    BuildShowQiPan(logical, 0, show);
    EXPECT_EQ(show[0][4], kRKing);
    EXPECT_EQ(show[9][4], kBKing);
    EXPECT_EQ(show[2][7], kRCannon);  // red cannon (7, 1) seen from black
    EXPECT_EQ(show[10][0], 0);
    EXPECT_EQ(show[4][9], 0);
    BuildShowQiPan(logical, 1, show);
    EXPECT_EQ(show, logical);
}

TEST(History, PlaceholderAppendReadAndDrop) {
    QiPuHistory history;
    AddQiPu(history, 9, 1, 18, 7, 2, 0);  // a history without bounds takes it at index 0
    EXPECT_EQ(qiPuUpperBound(history), 0);

    resetQiPu(history);
    EXPECT_EQ(qiPuUpperBound(history), 0);
    EXPECT_EQ(GetQiPu(history, 0), QiPuMove{});

    AddQiPu(history, 9, 1, 18, 7, 2, 0);
    ASSERT_EQ(qiPuUpperBound(history), 1);
    EXPECT_EQ(history[1], (QiPuItem{145, 18, 114, 0}));
    EXPECT_EQ(GetQiPu(history, 1), (QiPuMove{9, 1, 18, 7, 2, 0}));
    EXPECT_FALSE(GetQiPu(history, 2).has_value());
    EXPECT_FALSE(GetQiPu(history, -1).has_value());

    DelQiPu(history);
    DelQiPu(history);  // never drops the placeholder
    EXPECT_EQ(qiPuUpperBound(history), 0);
}

TEST(replayQiPu, AppliesRecordedPiecesAndSkipsPointsOutsideTheBoard) {
    QiPuHistory history;
    resetQiPu(history);
    AddQiPu(history, 7, 7, 19, 7, 4, 0);             // cannon to the centre
    AddQiPu(history, 0, 1, 2, 2, 2, 0);              // horse out
    history.push_back(QiPuItem{0xFF, 17, 0xFA, 0});  // garbage from a file: rank 15, file 15
    QiPan board{};
    replayQiPu(history, board);
    QiPan expected = OpeningBoard();
    expected[7][7] = 0;
    expected[7][4] = kRCannon;
    expected[0][1] = 0;
    expected[2][2] = kBHorse;
    EXPECT_EQ(board, expected);
}

}  // namespace
}  // namespace xq
