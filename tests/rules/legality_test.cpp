#include <gtest/gtest.h>

#include <string>

#include "rules/legality.h"
#include "test_boards.h"

namespace xq {
namespace {

using namespace xq::test;

// Adds the kings that the pieces do not name: black on (0, 4), red on (9, 3), off each other's
// file, so that sideways moves are tested against real kings without facing by default.
QiPan WithKings(std::initializer_list<Placed> pieces) {
    bool black = false, red = false;
    for (const Placed& p : pieces) {
        black = black || p.piece == kBKing;
        red = red || p.piece == kRKing;
    }
    QiPan board = BoardWith(pieces);
    if (!black) board[0][4] = kBKing;
    if (!red) board[9][3] = kRKing;
    return board;
}

struct MoveCase {
    std::string name;
    QiPan board;
    int r1, c1, r2, c2;
    bool legal;
};

void PrintTo(const MoveCase& c, std::ostream* os) {
    *os << c.name;
}

class CanMoveQiZiCases : public ::testing::TestWithParam<MoveCase> {};

TEST_P(CanMoveQiZiCases, DecidesAndRestoresTheBoard) {
    MoveCase c = GetParam();
    const QiPan before = c.board;
    EXPECT_EQ(CanMoveQiZi(c.board, c.r1, c.c1, c.r2, c.c2), c.legal);
    EXPECT_EQ(c.board, before) << "the trial move must leave the board as it was";
}

// One side of the river and the other, blocked legs and eyes, screens, palaces, facing kings.
INSTANTIATE_TEST_SUITE_P(
    Rules, CanMoveQiZiCases,
    ::testing::Values(
        MoveCase{"horse_out", OpeningBoard(), 9, 1, 7, 2, true},
        MoveCase{"horse_leg_blocked_by_elephant", OpeningBoard(), 9, 1, 8, 3, false},
        MoveCase{"horse_all_eight", WithKings({{4, 4, kRHorse}}), 4, 4, 2, 3, true},
        MoveCase{"horse_sideways_leg_blocked", WithKings({{4, 4, kRHorse}, {4, 5, kBPawn}}), 4, 4,
                 3, 6, false},
        MoveCase{"horse_forward_leg_free_other_blocked",
                 WithKings({{4, 4, kRHorse}, {4, 5, kBPawn}}), 4, 4, 2, 5, true},
        MoveCase{"horse_not_an_l", WithKings({{4, 4, kRHorse}}), 4, 4, 2, 2, false},
        MoveCase{"cannon_capture_over_screen", OpeningBoard(), 7, 1, 0, 1, true},
        MoveCase{"cannon_capture_without_screen", OpeningBoard(), 7, 1, 2, 1, false},
        MoveCase{"cannon_quiet_move", OpeningBoard(), 7, 1, 7, 4, true},
        MoveCase{"cannon_quiet_over_piece", OpeningBoard(), 7, 1, 1, 1, false},
        MoveCase{"cannon_two_screens",
                 WithKings({{7, 1, kRCannon}, {5, 1, kRPawn}, {4, 1, kBPawn}, {2, 1, kBHorse}}), 7,
                 1, 2, 1, false},
        MoveCase{"chariot_two_steps", OpeningBoard(), 9, 0, 7, 0, true},
        MoveCase{"chariot_onto_own_pawn", OpeningBoard(), 9, 0, 6, 0, false},
        MoveCase{"chariot_through_pawn", OpeningBoard(), 9, 0, 5, 0, false},
        MoveCase{"chariot_diagonal", WithKings({{5, 0, kRChariot}}), 5, 0, 4, 1, false},
        MoveCase{"chariot_stays", WithKings({{5, 0, kRChariot}}), 5, 0, 5, 0, false},
        MoveCase{"chariot_captures", WithKings({{5, 0, kRChariot}, {5, 7, kBHorse}}), 5, 0, 5, 7,
                 true},
        MoveCase{"black_elephant_crosses_river", WithKings({{4, 2, kBElephant}}), 4, 2, 6, 4,
                 false},
        MoveCase{"red_elephant_free_eye", WithKings({{7, 4, kRElephant}}), 7, 4, 5, 2, true},
        MoveCase{"red_elephant_blocked_eye", WithKings({{7, 4, kRElephant}, {6, 3, kBPawn}}), 7, 4,
                 5, 2, false},
        MoveCase{"red_elephant_crosses_river", WithKings({{5, 2, kRElephant}}), 5, 2, 3, 4, false},
        MoveCase{"black_elephant_home", OpeningBoard(), 0, 2, 2, 4, true},
        MoveCase{"red_king_forward", OpeningBoard(), 9, 4, 8, 4, true},
        MoveCase{"red_king_sideways", WithKings({{9, 4, kRKing}, {5, 4, kBPawn}}), 9, 4, 9, 3,
                 true},
        MoveCase{"red_king_leaves_palace", WithKings({{9, 3, kRKing}, {5, 3, kBPawn}}), 9, 3, 9, 2,
                 false},
        MoveCase{"red_king_diagonal", WithKings({{9, 4, kRKing}, {5, 4, kBPawn}}), 9, 4, 8, 3,
                 false},
        MoveCase{"red_king_out_of_palace_forward", WithKings({{7, 4, kRKing}, {5, 4, kBPawn}}), 7,
                 4, 6, 4, false},
        MoveCase{"black_king_in_palace", WithKings({{1, 4, kBKing}, {5, 4, kRPawn}}), 1, 4, 2, 4,
                 true},
        MoveCase{"black_king_leaves_palace", WithKings({{2, 4, kBKing}, {5, 4, kRPawn}}), 2, 4, 3,
                 4, false},
        MoveCase{"advisor_diagonal", OpeningBoard(), 9, 3, 8, 4, true},
        MoveCase{"advisor_straight", WithKings({{8, 4, kRAdvisor}}), 8, 4, 7, 4, false},
        MoveCase{"advisor_to_palace_corner", WithKings({{8, 4, kRAdvisor}}), 8, 4, 7, 3, true},
        MoveCase{"advisor_out_of_palace_file", WithKings({{7, 3, kRAdvisor}}), 7, 3, 6, 2, false},
        MoveCase{"black_advisor_stays_home", WithKings({{2, 3, kBAdvisor}}), 2, 3, 3, 4, false},
        MoveCase{"black_pawn_forward", WithKings({{3, 4, kBPawn}, {9, 3, kRKing}}), 3, 4, 4, 4,
                 true},
        MoveCase{"black_pawn_sideways_before_river", WithKings({{3, 4, kBPawn}}), 3, 4, 3, 3,
                 false},
        MoveCase{"black_pawn_sideways_after_river", WithKings({{5, 4, kBPawn}, {9, 3, kRKing}}), 5,
                 4, 5, 3, true},
        MoveCase{"black_pawn_sideways_right", WithKings({{5, 4, kBPawn}, {9, 3, kRKing}}), 5, 4, 5,
                 5, true},
        MoveCase{"black_pawn_backward", WithKings({{5, 4, kBPawn}, {9, 3, kRKing}}), 5, 4, 4, 4,
                 false},
        MoveCase{"black_pawn_two_sideways", WithKings({{5, 4, kBPawn}, {9, 3, kRKing}}), 5, 4, 5, 2,
                 false},
        MoveCase{"red_pawn_forward", OpeningBoard(), 6, 0, 5, 0, true},
        MoveCase{"red_pawn_sideways_before_river", OpeningBoard(), 6, 0, 6, 1, false},
        MoveCase{"red_pawn_sideways_after_river", WithKings({{4, 0, kRPawn}}), 4, 0, 4, 1, true},
        MoveCase{"red_pawn_backward", WithKings({{4, 0, kRPawn}}), 4, 0, 5, 0, false},
        MoveCase{"capture_own_piece", OpeningBoard(), 9, 0, 9, 1, false},
        MoveCase{"empty_source", OpeningBoard(), 5, 4, 4, 4, false},
        MoveCase{"kind_outside_rules", WithKings({{5, 4, 24}}), 5, 4, 4, 4, false},
        // The last piece between the kings may not leave the file ...
        MoveCase{"screen_leaves_file", WithKings({{9, 4, kRKing}, {5, 4, kRChariot}}), 5, 4, 5, 3,
                 false},
        // ... but moving along the file is not tested for facing.
        MoveCase{"screen_moves_along_file", WithKings({{9, 4, kRKing}, {5, 4, kRChariot}}), 5, 4, 6,
                 4, true},
        MoveCase{"king_takes_last_screen_on_own_file",
                 WithKings({{9, 4, kRKing}, {8, 4, kBChariot}}), 9, 4, 8, 4, true},
        MoveCase{"king_steps_into_facing", WithKings({{9, 3, kRKing}, {5, 3, kBPawn}}), 9, 3, 9, 4,
                 false},
        MoveCase{"king_steps_beside_facing", WithKings({{8, 4, kRKing}, {5, 4, kBPawn}}), 8, 4, 8,
                 3, true},
        MoveCase{"king_capture_is_ordinary",
                 WithKings({{0, 4, kBKing}, {0, 0, kRChariot}, {9, 3, kRKing}}), 0, 0, 0, 4, true},
        MoveCase{"walking_into_check_is_allowed",
                 WithKings({{9, 4, kRKing}, {5, 4, kBPawn}, {8, 3, kBChariot}}), 9, 4, 9, 3, true}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return info.param.name; });

TEST(CanMoveQiZi, PointsOutsideTheArrayReadAsEmpty) {
    QiPan board = OpeningBoard();
    const QiPan before = board;
    EXPECT_FALSE(CanMoveQiZi(board, 11, 0, 9, 0));
    EXPECT_FALSE(CanMoveQiZi(board, 255, 255, 0, 0));
    EXPECT_FALSE(CanMoveQiZi(board, 0, 10, 0, 9));
    // A red chariot aimed far below the board walks only empty (outside) points and must not
    // write outside the array.
    board[6][0] = 0;
    const QiPan open = board;
    CanMoveQiZi(board, 9, 0, 250, 0);
    CanMoveQiZi(board, 9, 0, 9, 250);
    EXPECT_EQ(board, open);
    EXPECT_NE(board, before);
}

TEST(CountBetween, CountsOnlyStrictlyInnerPointsOfOneLine) {
    const QiPan board = OpeningBoard();
    struct {
        int r1, c1, r2, c2, expected;
    } const cases[] = {
        {0, 4, 9, 4, 2}, {0, 1, 9, 1, 2}, {9, 1, 0, 1, 2}, {0, 0, 0, 8, 7}, {0, 8, 0, 0, 7},
        {3, 0, 3, 8, 3}, {0, 0, 9, 8, 0}, {4, 4, 4, 4, 0}, {0, 0, 0, 1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CountBetween(board, c.r1, c.c1, c.r2, c.c2), c.expected)
            << c.r1 << c.c1 << "->" << c.r2 << c.c2;
    }
}

TEST(FindQiZi, FirstPointInScanOrderOrUnchanged) {
    const QiPan board = OpeningBoard();
    std::uint8_t r = 42, f = 43;
    FindQiZi(board, kRHorse, r, f);
    EXPECT_EQ(r, 9);
    EXPECT_EQ(f, 1);
    FindQiZi(board, kBPawn, r, f);
    EXPECT_EQ(r, 3);
    EXPECT_EQ(f, 0);
    r = 42, f = 43;
    FindQiZi(board, 99, r, f);
    EXPECT_EQ(r, 42);
    EXPECT_EQ(f, 43);
}

TEST(KingsFacing, SameFileWithNothingBetween) {
    EXPECT_FALSE(KingsFacing(OpeningBoard()));
    EXPECT_TRUE(KingsFacing(BoardWith({{0, 4, kBKing}, {9, 4, kRKing}})));
    EXPECT_FALSE(KingsFacing(BoardWith({{0, 4, kBKing}, {9, 3, kRKing}})));
    EXPECT_FALSE(KingsFacing(BoardWith({{0, 4, kBKing}, {5, 4, kBPawn}, {9, 4, kRKing}})));
    EXPECT_TRUE(KingsFacing(BoardWith({{2, 5, kBKing}, {7, 5, kRKing}, {5, 4, kBPawn}})));
}

}  // namespace
}  // namespace xq
