#include <gtest/gtest.h>

#include <string>

#include "rules/check.h"
#include "test_boards.h"

namespace xq {
namespace {

using namespace xq::test;

struct CheckCase {
    std::string name;
    QiPan board;
    int rank, file;  // the point of the piece that has just moved
    bool check;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.name;
}

class IsJiangJunCases : public ::testing::TestWithParam<CheckCase> {};

TEST_P(IsJiangJunCases, ExaminesOnlyTheMovedPiece) {
    CheckCase c = GetParam();
    const QiPan before = c.board;
    EXPECT_EQ(IsJiangJun(c.board, c.rank, c.file), c.check);
    EXPECT_EQ(c.board, before);
}

INSTANTIATE_TEST_SUITE_P(
    Announcement, IsJiangJunCases,
    ::testing::Values(
        CheckCase{"chariot_on_open_file",
                  BoardWith({{0, 4, kBKing}, {9, 3, kRKing}, {5, 4, kRChariot}}), 5, 4, true},
        CheckCase{"chariot_screened",
                  BoardWith({{0, 4, kBKing}, {9, 3, kRKing}, {5, 4, kRChariot}, {2, 4, kBPawn}}), 5,
                  4, false},
        CheckCase{"horse_free_leg", BoardWith({{0, 4, kBKing}, {9, 3, kRKing}, {2, 3, kRHorse}}), 2,
                  3, true},
        CheckCase{"horse_blocked_leg",
                  BoardWith({{0, 4, kBKing}, {9, 3, kRKing}, {2, 3, kRHorse}, {1, 3, kBAdvisor}}),
                  2, 3, false},
        CheckCase{"cannon_one_screen",
                  BoardWith({{0, 4, kBKing}, {9, 3, kRKing}, {5, 4, kRCannon}, {3, 4, kBPawn}}), 5,
                  4, true},
        CheckCase{"cannon_two_screens",
                  BoardWith({{0, 4, kBKing},
                             {9, 3, kRKing},
                             {5, 4, kRCannon},
                             {3, 4, kBPawn},
                             {2, 4, kBCannon}}),
                  5, 4, false},
        CheckCase{"cannon_no_screen", BoardWith({{0, 4, kBKing}, {9, 3, kRKing}, {5, 4, kRCannon}}),
                  5, 4, false},
        CheckCase{"black_pawn_beside_red_king",
                  BoardWith({{0, 3, kBKing}, {9, 4, kRKing}, {9, 3, kBPawn}}), 9, 3, true},
        CheckCase{"black_pawn_in_front_of_red_king",
                  BoardWith({{0, 3, kBKing}, {9, 4, kRKing}, {8, 4, kBPawn}}), 8, 4, true},
        CheckCase{"red_pawn_in_front_of_black_king",
                  BoardWith({{0, 4, kBKing}, {9, 3, kRKing}, {1, 4, kRPawn}}), 1, 4, true},
        CheckCase{"red_pawn_behind_black_king",
                  BoardWith({{1, 4, kBKing}, {9, 3, kRKing}, {0, 4, kRPawn}}), 0, 4, false},
        CheckCase{"black_chariot_on_red_king",
                  BoardWith({{0, 4, kBKing}, {9, 3, kRKing}, {9, 0, kBChariot}}), 9, 0, true},
        // The chariot behind the horse now attacks, but only the moved horse is examined.
        CheckCase{"discovered_check_not_announced",
                  BoardWith({{0, 4, kBKing}, {9, 3, kRKing}, {5, 4, kRChariot}, {6, 5, kRHorse}}),
                  6, 5, false},
        // The king's own rule keeps it in the palace: facing kings are never announced.
        CheckCase{"facing_kings_not_check",
                  BoardWith({{0, 4, kBKing}, {9, 4, kRKing}, {5, 0, kRChariot}}), 9, 4, false},
        CheckCase{"empty_point", BoardWith({{0, 4, kBKing}, {9, 3, kRKing}}), 5, 5, false}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return info.param.name; });

}  // namespace
}  // namespace xq
