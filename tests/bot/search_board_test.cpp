#include <gtest/gtest.h>

#include "engine/evaluation.h"
#include "engine/zobrist.h"
#include "engine_helpers.h"

namespace xq::engine::test {
namespace {

int BalanceFromScratch(const Position& pos) {
    int sum = 0;
    for (int sq = 0; sq < kSquares; ++sq) {
        if (pos.at(sq) != kNoPiece) sum += signedValue(pos.at(sq), sq);
    }
    return sum;
}

// Every make and unmake along random games leaves the incremental key and balance equal to the
// ones computed from scratch, and unmake restores the position exactly.
TEST(SearchBoardTest, IncrementalKeyAndBalanceMatchAFreshComputation) {
    std::mt19937 rng(7);
    for (int game = 0; game < 20; ++game) {
        SearchBoard board(Position::Initial());
        std::vector<std::pair<Move, Piece>> played;
        for (int ply = 0; ply < 120; ++ply) {
            const MoveList moves = LegalMoves(board.position());
            if (moves.empty()) break;
            const Move m = moves[std::uniform_int_distribution<int>(0, moves.size() - 1)(rng)];
            const std::uint64_t keyBefore = board.key();
            const int balanceBefore = board.balance();
            const Piece captured = board.make(m);
            ASSERT_EQ(board.key(), computeKey(board.position()));
            ASSERT_EQ(board.balance(), BalanceFromScratch(board.position()));
            // Take it back and play it again: the same key both ways.
            board.unmake(m, captured);
            ASSERT_EQ(board.key(), keyBefore);
            ASSERT_EQ(board.balance(), balanceBefore);
            board.make(m);
            played.emplace_back(m, captured);
        }
        // Unwinding the whole game ends at the opening again.
        while (!played.empty()) {
            board.unmake(played.back().first, played.back().second);
            played.pop_back();
        }
        EXPECT_EQ(board.key(), computeKey(Position::Initial()));
        EXPECT_EQ(board.balance(), 0);
    }
}

TEST(SearchBoardTest, NullMoveFlipsOnlyTheSideToMove) {
    SearchBoard board(Position::Initial());
    const std::uint64_t key = board.key();
    board.makeNull();
    EXPECT_EQ(board.sideToMove(), kBlack);
    EXPECT_EQ(board.key(), computeKey(board.position()));
    board.unmakeNull();
    EXPECT_EQ(board.key(), key);
    EXPECT_EQ(board.sideToMove(), kRed);
}

TEST(SearchBoardTest, RepetitionIsSeenWhenAPositionComesBack) {
    const Move redOut{static_cast<std::uint8_t>(squareOf(9, 1)),
                      static_cast<std::uint8_t>(squareOf(7, 2))};
    const Move blackOut{static_cast<std::uint8_t>(squareOf(0, 1)),
                        static_cast<std::uint8_t>(squareOf(2, 2))};
    const Move redBack{redOut.to, redOut.from};
    const Move blackBack{blackOut.to, blackOut.from};
    SearchBoard board(Position::Initial());
    for (Move m : {redOut, blackOut, redBack})
        board.make(m);
    EXPECT_FALSE(board.repeats());
    board.make(blackBack);
    EXPECT_TRUE(board.repeats()) << "horses out and back: the opening again";
    board.unmake(blackBack, kNoPiece);
    EXPECT_FALSE(board.repeats());
}

// The evaluation judges a position and its colour-swapped mirror alike, from the side to move.
TEST(EvaluationTest, IsTheSameForBothColours) {
    for (const Position& pos : RandomPositions(11, 12, 100)) {
        const SearchBoard board(pos);
        const SearchBoard flipped(ColourFlipped(pos));
        ASSERT_EQ(evaluate(board), evaluate(flipped)) << toFen(pos);
        ASSERT_EQ(board.balance(), -flipped.balance());
    }
}

TEST(EvaluationTest, ValuesFollowTheUsualOrderOfPieces) {
    EXPECT_GT(kindValue(kChariot), kindValue(kCannon));
    EXPECT_GE(kindValue(kCannon), kindValue(kHorse));
    EXPECT_GT(kindValue(kHorse), kindValue(kAdvisor));
    EXPECT_GT(kindValue(kAdvisor), kindValue(kPawn));
    // A pawn over the river is worth more than one at home.
    const Piece redPawn = makePiece(kRed, kPawn);
    EXPECT_GT(pieceSquareValue(redPawn, squareOf(3, 4)), pieceSquareValue(redPawn, squareOf(6, 4)));
    const Piece blackPawn = makePiece(kBlack, kPawn);
    EXPECT_GT(pieceSquareValue(blackPawn, squareOf(6, 4)),
              pieceSquareValue(blackPawn, squareOf(3, 4)));
}

TEST(EvaluationTest, KingsAloneOrWithDefendersOnlyAreDeadDrawn) {
    struct Case {
        const char* fen;
        bool dead;
    };
    const Case cases[] = {
        {"3k5/9/9/9/9/9/9/9/9/4K4 w", true},
        {"3akab2/9/4b4/9/9/9/9/4B4/4A4/3AK4 b", true},
        {"3k5/9/9/4P4/9/9/9/9/9/4K4 w", false},
        {"3k5/9/9/9/9/9/9/9/9/2C1K4 w", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isDeadDrawn(SearchBoard(FromFen(c.fen))), c.dead) << c.fen;
}

}  // namespace
}  // namespace xq::engine::test
