#include <gtest/gtest.h>

#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/move_reason.h"

namespace xq {
namespace {

QiPan Board(const char* fen) {
    const auto pos = parseFen(fen);
    return pos ? pos->toQiPan() : QiPan{};
}

// Moves named by points as moves are written (file a..i from red's left, rank 0..9 from red's
// side), so that the cases read like a game.
int Rank(char digit) {
    return 9 - (digit - '0');
}
int File(char letter) {
    return letter - 'a';
}

TEST(MoveReason, EachKindSaysWhyInWordsAPlayerKnows) {
    const char* opening = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w";
    const struct {
        const char* fen;
        const char* move;
        MoveReason reason;
    } cases[] = {
        {opening, "h2e2", MoveReason::kNone},
        {opening, "h0g2", MoveReason::kNone},
        {opening, "a0a3", MoveReason::kOwnPiece},       // onto its own pawn
        {opening, "a0b1", MoveReason::kNotHowItMoves},  // a chariot does not go aslant
        {opening, "a0a5", MoveReason::kPathBlocked},    // over its own pawn
        {opening, "h2h9", MoveReason::kNone},           // over one screen: a capture
        {opening, "h2h7", MoveReason::kCannonScreen},   // a capture needs a screen
        {opening, "h2h8", MoveReason::kPathBlocked},    // a cannon without capture
        {"3k5/9/9/9/9/9/9/9/7R1/4K2N1 w", "h0g2", MoveReason::kHorseLeg},
        {opening, "h0f1", MoveReason::kHorseLeg},       // the elephant beside it
        {opening, "h0h1", MoveReason::kNotHowItMoves},  // not a horse's step
        {"3k5/9/9/9/9/9/9/9/3N5/2B1K4 w", "c0e2", MoveReason::kElephantEye},
        {"3k5/9/9/9/9/2B6/9/9/9/4K4 w", "c4e6", MoveReason::kElephantRiver},
        {opening, "c0d1", MoveReason::kNotHowItMoves},
        {opening, "e0e1", MoveReason::kNone},
        {"4k4/9/9/9/9/9/9/9/9/3K5 w", "d0c0", MoveReason::kPalace},
        {"3k5/9/9/9/9/9/9/9/4A4/4K4 w", "e1f2", MoveReason::kNone},
        {"3k5/9/9/9/9/9/9/9/4A4/4K4 w", "e1e2", MoveReason::kNotHowItMoves},
        {"3k5/9/9/9/9/9/9/9/4A4/4K4 w", "e1f0", MoveReason::kNone},
        {opening, "a3a2", MoveReason::kPawnBackward},
        {opening, "a3b3", MoveReason::kPawnSideways},
        {"3k5/9/9/9/P8/9/9/9/9/4K4 w", "a5b5", MoveReason::kNone},  // over the river
        {"3k5/9/9/9/P8/9/9/9/9/4K4 w", "a5a4", MoveReason::kPawnBackward},
        {"3k5/9/9/9/9/9/9/9/9/4K4 w", "e0d0", MoveReason::kKingsFace},
        {"3k5/9/9/9/9/9/9/9/9/4K4 w", "e1e0", MoveReason::kNoPiece},
    };
    for (const auto& c : cases) {
        QiPan board = Board(c.fen);
        const std::string m = c.move;
        const int r1 = Rank(m[1]), c1 = File(m[0]), r2 = Rank(m[3]), c2 = File(m[2]);
        EXPECT_EQ(WhyNot(board, r1, c1, r2, c2), c.reason) << c.fen << " " << m;
        EXPECT_EQ(c.reason == MoveReason::kNone, CanMoveQiZi(board, r1, c1, r2, c2)) << m;
        EXPECT_EQ(moveReasonText(c.reason).empty(), c.reason == MoveReason::kNone) << m;
    }
}

TEST(MoveReason, AgreesWithTheRulesOnEveryMoveOfSomePositions) {
    for (const char* fen :
         {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w",
          "r1bakab1r/9/1cn4cn/p1p1p1p1p/9/2P6/P3P1P1P/1CN2C1N1/9/R1BAKAB1R b",
          "3k5/4a4/4b4/9/2p1R4/9/2n6/4B4/4A4/3AK4 w", "4k4/9/9/9/9/9/9/9/9/3K5 w"}) {
        QiPan board = Board(fen);
        for (int r1 = 0; r1 < kRanks; ++r1) {
            for (int c1 = 0; c1 < kFiles; ++c1) {
                if (board[r1][c1] == kNoPiece) continue;
                const auto targets = legalTargets(board, r1, c1);
                for (int r2 = 0; r2 < kRanks; ++r2) {
                    for (int c2 = 0; c2 < kFiles; ++c2) {
                        const bool allowed = CanMoveQiZi(board, r1, c1, r2, c2);
                        EXPECT_EQ(WhyNot(board, r1, c1, r2, c2) == MoveReason::kNone, allowed)
                            << fen << " " << r1 << c1 << "-" << r2 << c2;
                        const bool listed = std::find(targets.begin(), targets.end(),
                                                      std::pair{r2, c2}) != targets.end();
                        EXPECT_EQ(listed, allowed);
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace xq
