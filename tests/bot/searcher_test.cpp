#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/move_choice.h"
#include "engine/score.h"
#include "engine/searcher.h"
#include "engine_helpers.h"

namespace xq::engine::test {
namespace {

Move At(int r1, int f1, int r2, int f2) {
    return Move{static_cast<std::uint8_t>(squareOf(r1, f1)),
                static_cast<std::uint8_t>(squareOf(r2, f2))};
}

Move Flipped(Move m) {
    const auto turn = [](int sq) {
        return static_cast<std::uint8_t>(
            squareOf(kRanks - 1 - rankOfSquare(sq), kFiles - 1 - fileOfSquare(sq)));
    };
    return Move{turn(m.from), turn(m.to)};
}

// Whether some move of the side to move leaves the other side without a legal move.
bool HasMateInOne(const Position& pos) {
    for (Move m : LegalMoves(pos)) {
        Position after = pos;
        after.makeMove(m);
        if (LegalMoves(after).empty()) return true;
    }
    return false;
}

SearchResult Search(const Position& pos, int maxDepth, Searcher* searcher = nullptr) {
    Searcher own(1);
    SearchBoard board(pos);
    SearchLimits limits;
    limits.maxDepth = maxDepth;
    limits.hardMs = 20'000;  // a backstop only: these searches end on depth
    return (searcher ? *searcher : own).search(board, limits);
}

enum class Expect { MateInOne, MateInTwo, Takes, OnlyMove, NoMove };

struct Case {
    const char* name;
    const char* fen;
    Expect expect;
    Move move;  // the capture to make, or the only legal move
};

const Case kCases[] = {
    {"back-rank mate with two chariots", "4k4/R8/8R/9/9/9/9/9/9/3K5 w", Expect::MateInOne, {}},
    {"seal the rank, then mate", "4k4/9/9/9/2p6/R8/8R/9/9/3K5 w", Expect::MateInTwo, {}},
    {"a loose chariot beats a pawn", "4k4/9/9/9/9/R5r2/9/9/p8/3K5 w", Expect::Takes,
     At(5, 0, 5, 6)},
    {"one way out of check", "5k3/9/9/P8/5r3/4r4/9/9/9/4K4 w", Expect::OnlyMove, At(9, 4, 9, 3)},
    {"stalemated", "4k4/9/9/9/9/3r1r3/9/4p4/9/4K4 w", Expect::NoMove, {}},
    {"checkmated", "4k4/9/9/9/9/5r3/9/4p4/9/r3K4 w", Expect::NoMove, {}},
};

// Every case as given and with the colours swapped: black must find the same.
TEST(SearcherTest, SolvesHandMadePositionsForBothColours) {
    for (const Case& c : kCases) {
        for (bool flip : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (flip ? " (black)" : " (red)"));
            const Position pos = flip ? ColourFlipped(FromFen(c.fen)) : FromFen(c.fen);
            const Move expected = flip ? Flipped(c.move) : c.move;
            const SearchResult r = Search(pos, 5);
            const MoveList legal = LegalMoves(pos);
            Position after = pos;
            if (r.hasMove) after.makeMove(r.best);
            switch (c.expect) {
                case Expect::MateInOne:
                    ASSERT_TRUE(r.hasMove);
                    EXPECT_EQ(r.score, kMate - 1);
                    EXPECT_TRUE(LegalMoves(after).empty()) << moveToText(r.best);
                    break;
                case Expect::MateInTwo:
                    ASSERT_FALSE(HasMateInOne(pos)) << "the position must need two moves";
                    ASSERT_TRUE(r.hasMove);
                    EXPECT_EQ(r.score, kMate - 3);
                    EXPECT_TRUE(Contains(legal, r.best));
                    break;
                case Expect::Takes:
                case Expect::OnlyMove:
                    ASSERT_TRUE(r.hasMove);
                    EXPECT_EQ(r.best, expected) << moveToText(r.best);
                    if (c.expect == Expect::OnlyMove) {
                        EXPECT_EQ(legal.size(), 1);
                    }
                    break;
                case Expect::NoMove:
                    ASSERT_TRUE(legal.empty());
                    EXPECT_FALSE(r.hasMove);
                    EXPECT_EQ(r.score, -kMate);
                    break;
            }
        }
    }
}

// The mate in two again: after its first move the defender is mated next move, whatever it plays.
TEST(SearcherTest, MateInTwoFollowsThrough) {
    Position pos = FromFen(kCases[1].fen);
    Searcher searcher(1);
    const SearchResult first = Search(pos, 5, &searcher);
    ASSERT_TRUE(first.hasMove);
    pos.makeMove(first.best);
    for (Move reply : LegalMoves(pos)) {
        Position after = pos;
        after.makeMove(reply);
        EXPECT_TRUE(HasMateInOne(after)) << "after " << moveToText(reply);
        // The remembered table must not confuse mate distances from the earlier search.
        const SearchResult next = Search(after, 3, &searcher);
        EXPECT_EQ(next.score, kMate - 1) << "after " << moveToText(reply);
    }
}

TEST(SearcherTest, AlwaysReturnsALegalMoveWhenThereIsOne) {
    const std::vector<Position> positions = RandomPositions(3, 6, 80);
    for (std::size_t i = 0; i < positions.size(); i += 3) {
        const Position& pos = positions[i];
        const MoveList legal = LegalMoves(pos);
        const SearchResult r = Search(pos, 2);
        ASSERT_EQ(r.hasMove, !legal.empty()) << toFen(pos);
        if (r.hasMove) {
            ASSERT_TRUE(Contains(legal, r.best)) << toFen(pos) << " " << moveToText(r.best);
        }
        EXPECT_EQ(r.legalMoves, legal.size());
    }
}

TEST(SearcherTest, EveryLevelPlaysLegalMovesAndSkipsExcludedOnes) {
    std::mt19937 rng(5);
    const std::vector<Position> positions = RandomPositions(9, 2, 60);
    for (int level = kMinLevel; level <= kMaxLevel; ++level) {
        Searcher searcher(1);
        for (std::size_t i = 0; i < positions.size(); i += 6) {
            const Position& pos = positions[i];
            const MoveList legal = LegalMoves(pos);
            if (legal.size() < 2) continue;
            SearchBoard board(pos);
            const std::vector<Move> excluded = {legal[0]};
            const Choice c = chooseMove(searcher, board, profileForLevel(level),
                                        MoveBudget{30, 60, 60}, rng, excluded);
            ASSERT_TRUE(c.hasMove) << "level " << level << " " << toFen(pos);
            EXPECT_TRUE(Contains(legal, c.move)) << "level " << level << " " << toFen(pos);
            EXPECT_FALSE(c.move == legal[0]) << "level " << level << " played an excluded move";
        }
    }
}

TEST(SearcherTest, TakesAnExposedKingAtOnce) {
    // Black left its king open to the chariot on its file (the table lets a player do that) and
    // ends the game when the king is taken.
    Position pos;
    pos.put(squareOf(0, 4), makePiece(kBlack, kKing));
    pos.put(squareOf(9, 3), makePiece(kRed, kKing));
    pos.put(squareOf(9, 4), makePiece(kRed, kChariot));
    pos.put(squareOf(9, 8), makePiece(kRed, kPawn));
    SearchBoard board(pos);
    Searcher searcher(1);
    std::mt19937 rng(1);
    const Choice c = chooseMove(searcher, board, profileForLevel(1), MoveBudget{10, 20, 20}, rng);
    ASSERT_TRUE(c.hasMove);
    EXPECT_EQ(c.move, At(9, 4, 0, 4));
}

TEST(SearcherTest, StopsAtTheHardLimitAndWhenAsked) {
    const Position middle = RandomPositions(21, 1, 12).back();
    struct Case {
        const char* name;
        int hardMs;
        bool stopFromOutside;
    };
    for (const Case c : {Case{"hard limit", 150, false}, Case{"stop flag", 0, true}}) {
        SCOPED_TRACE(c.name);
        Searcher searcher(1);
        SearchBoard board(middle);
        std::atomic<bool> stop{false};
        SearchLimits limits;
        limits.hardMs = c.hardMs;
        limits.stop = &stop;
        std::thread stopper;
        if (c.stopFromOutside) {
            stopper = std::thread([&stop] {
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
                stop = true;
            });
        }
        // Unstopped, a search to depth 64 of a middle game would not end while the test runs
        // (its time limit fails it); how soon it stops is the benchmarks' business.
        const SearchResult r = searcher.search(board, limits);
        if (stopper.joinable()) stopper.join();
        ASSERT_TRUE(r.hasMove);
        EXPECT_TRUE(Contains(LegalMoves(middle), r.best));
        EXPECT_LT(r.depth, limits.maxDepth) << "it stopped before the deepest iteration";
        EXPECT_EQ(board.key(), SearchBoard(middle).key()) << "the board is left as it was";
    }
}

}  // namespace
}  // namespace xq::engine::test
