#include <gtest/gtest.h>

#include <string>

#include "rules/fen.h"
#include "test_boards.h"

namespace xq {
namespace {

using namespace xq::test;

TEST(Fen, OpeningPositionRoundTrips) {
    std::string error;
    auto pos = parseFen(kStartFen, &error);
    ASSERT_TRUE(pos.has_value()) << error;
    EXPECT_EQ(pos->toQiPan(), OpeningBoard());
    EXPECT_EQ(pos->sideToMove(), kRed);
    EXPECT_EQ(toFen(*pos), kStartFen);
}

TEST(Fen, ReadsSideToMoveAndLetterAliases) {
    auto black = parseFen("rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RHEAKAEHR b");
    ASSERT_TRUE(black.has_value());
    EXPECT_EQ(black->sideToMove(), kBlack);
    EXPECT_EQ(black->toQiPan(), OpeningBoard());
    auto boardOnly = parseFen("4k4/9/9/9/9/9/9/9/9/3K5");
    ASSERT_TRUE(boardOnly.has_value());
    EXPECT_EQ(boardOnly->sideToMove(), kRed);
    const std::string fen = "3k5/4a4/9/9/9/9/9/9/4A4/4K4 b - - 0 1";
    EXPECT_EQ(toFen(*parseFen(fen)), fen);
}

TEST(Fen, MalformedTextGivesAReasonNeverAPosition) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "empty"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9 w", "10 ranks"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR/9 w", "more than 10"},
        {"rnbakabnr/8/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", "8 files"},
        {"rnbakabnrr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", "too long"},
        {"rnbakabnr/55/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", "too long"},
        {"rnbakabnx/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", "letter 'x'"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR x", "side to move"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBA1ABNR w", "red must have one king"},
        {"3kk4/9/9/9/9/9/9/9/9/3K5 w", "too many"},
        {"9/9/9/4k4/9/9/9/9/9/3K5 w", "outside its palace"},
        {"3k5/9/9/9/9/9/9/9/9/5K3 w", "ok"},
        {"3k5/9/9/9/9/9/9/9/9/3K5 w", "exposed"},  // facing kings
        {"3k5/9/9/9/9/9/9/9/3R5/5K3 w", "exposed"},
        {"3k5/9/9/pppppp3/9/9/9/9/9/5K3 w", "too many pieces 'p'"},
        {"3k5/9/9/9/0/9/9/9/9/5K3 w", "unknown piece letter '0'"},
        // Ranks are named as moves are written: the first row is rank 9.
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/8/RNBAKABNR w", "rank 1 has 8 files"},
        // Points no piece of that kind can ever reach, named the same way.
        {"3k5/9/9/9/9/9/9/9/9/A2K5 w", "a red advisor can never stand on a0"},
        {"3k5/9/9/9/9/9/9/9/9/3KA4 w", "a red advisor can never stand on e0"},
        {"3k5/9/9/9/9/9/9/9/4A4/5K3 w", "ok"},
        {"3k5/9/9/9/9/9/9/9/9/B2K5 w", "a red elephant can never stand on a0"},
        {"3k5/9/9/9/9/9/9/B8/9/5K3 w", "ok"},
        {"3k5/9/9/9/B8/9/9/9/9/3K5 w", "a red elephant can never stand on a5"},
        {"3k5/9/9/9/9/9/9/P8/9/3K5 w", "a red pawn can never stand on a2"},
        {"3k5/9/9/9/9/9/1P7/9/9/3K5 w", "a red pawn can never stand on b3"},
        {"3k5/9/9/9/9/1P7/9/9/9/3K5 w", "a red pawn can never stand on b4"},
        {"3k5/9/9/9/1P7/9/9/9/9/5K3 w", "ok"},
        {"3k5/9/p8/9/9/9/9/9/9/3K5 w", "a black pawn can never stand on a7"},
        {"3k5/9/9/1p7/9/9/9/9/9/3K5 w", "a black pawn can never stand on b6"},
        {"2bk5/9/9/9/9/9/9/9/9/5K3 w", "ok"},
        {"3k5/4b4/9/9/9/9/9/9/9/3K5 w", "a black elephant can never stand on e8"},
    };
    for (const auto& [fen, reason] : cases) {
        std::string error;
        const auto pos = parseFen(fen, &error);
        if (std::string(reason) == "ok") {
            EXPECT_TRUE(pos.has_value()) << fen << ": " << error;
            continue;
        }
        EXPECT_FALSE(pos.has_value()) << fen;
        EXPECT_NE(error.find(reason), std::string::npos) << fen << " gave: " << error;
    }
}

}  // namespace
}  // namespace xq
