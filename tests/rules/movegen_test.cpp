#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/movegen.h"
#include "test_boards.h"

namespace xq {
namespace {

using namespace xq::test;

// The legal moves straight from their definition: what CanMoveQiZi allows, after which no
// opposing piece can take the mover's king under CanMoveQiZi and the kings do not face.
std::set<std::pair<int, int>> DefinitionalMoves(const Position& pos) {
    QiPan board = pos.toQiPan();
    const int side = pos.sideToMove();
    std::set<std::pair<int, int>> moves;
    for (int from = 0; from < kSquares; ++from) {
        const Piece p = pos.at(from);
        if (p == kNoPiece || SideOf(p) != side) continue;
        const int r1 = rankOfSquare(from), c1 = fileOfSquare(from);
        for (int to = 0; to < kSquares; ++to) {
            const int r2 = rankOfSquare(to), c2 = fileOfSquare(to);
            if (!CanMoveQiZi(board, r1, c1, r2, c2)) continue;
            QiPan after = board;
            after[r2][c2] = p;
            after[r1][c1] = kNoPiece;
            std::uint8_t kr = 0, kc = 0;
            FindQiZi(after, makePiece(side, kKing), kr, kc);
            bool exposed = KingsFacing(after);
            for (int a = 0; a < kSquares && !exposed; ++a) {
                const Piece q = after[rankOfSquare(a)][fileOfSquare(a)];
                if (q == kNoPiece || SideOf(q) == side) continue;
                exposed = CanMoveQiZi(after, rankOfSquare(a), fileOfSquare(a), kr, kc);
            }
            if (!exposed) moves.insert({from, to});
        }
    }
    return moves;
}

std::set<std::pair<int, int>> GeneratedMoves(Position& pos) {
    MoveList list;
    generateLegalMoves(pos, list);
    std::set<std::pair<int, int>> moves;
    for (Move m : list)
        moves.insert({m.from, m.to});
    EXPECT_EQ(static_cast<int>(moves.size()), list.size()) << "duplicate moves";
    return moves;
}

TEST(perft, OpeningPositionFigures) {
    Position pos = Position::Initial();
    const std::uint64_t expected[] = {1, 44, 1920, 79666};
    for (int depth = 0; depth <= 3; ++depth) {
        EXPECT_EQ(perft(pos, depth), expected[depth]) << "depth " << depth;
    }
    EXPECT_EQ(pos.toQiPan(), OpeningBoard());
}

// Middle-game and end-game positions with captures, checks and pins, against published figures.
TEST(perft, PublishedFiguresOfOtherPositions) {
    const struct {
        const char* fen;
        std::uint64_t depth1, depth2, depth3;
    } cases[] = {
        {"r1ba1a3/4kn3/2n1b4/pNp1p1p1p/4c4/6P2/P1P2R2P/1CcC5/9/2BAKAB2 w - - 0 1", 38, 1128, 43929},
        {"1cbak4/9/n2a5/2p1p3p/5cp2/2n2N3/6PCP/3AB4/2C6/3A1K1N1 w - - 0 1", 7, 281, 8620},
        {"5a3/3k5/3aR4/9/5r3/5n3/9/3A1A3/5K3/2BC2B2 w - - 0 1", 25, 424, 9850},
        {"C1nNk4/9/9/9/9/9/n1pp5/B3C4/9/3A1K3 w - - 0 1", 28, 222, 6241},
        {"4ka3/4a4/9/9/4N4/p8/9/4C3c/7n1/2BK5 w - - 0 1", 23, 345, 8124},
    };
    for (const auto& c : cases) {
        std::string error;
        auto pos = parseFen(c.fen, &error);
        ASSERT_TRUE(pos.has_value()) << c.fen << ": " << error;
        EXPECT_EQ(perft(*pos, 1), c.depth1) << c.fen;
        EXPECT_EQ(perft(*pos, 2), c.depth2) << c.fen;
        EXPECT_EQ(perft(*pos, 3), c.depth3) << c.fen;
    }
}

// Random games from several starting points; every position's generated moves must equal the
// definitional set, and generation must leave the position untouched.
TEST(generateLegalMoves, AgreesWithTheRuleRoutinesOnRandomGames) {
    const char* starts[] = {
        "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w",
        "r1ba1a3/4kn3/2n1b4/pNp1p1p1p/4c4/6P2/P1P2R2P/1CcC5/9/2BAKAB2 w",
        "1cbak4/9/n2a5/2p1p3p/5cp2/2n2N3/6PCP/3AB4/2C6/3A1K1N1 w",
        "5a3/3k5/3aR4/9/5r3/5n3/9/3A1A3/5K3/2BC2B2 w",
        "CRN1k1b2/3ca4/4ba3/9/2nr5/9/9/4B4/4A4/4KA3 w",
        "3k5/4P4/9/9/9/9/9/9/4p4/5K3 b",
    };
    std::mt19937 rng(20261208);
    int positions = 0;
    for (const char* fen : starts) {
        for (int game = 0; game < 6; ++game) {
            std::string error;
            auto start = parseFen(fen, &error);
            ASSERT_TRUE(start.has_value()) << fen << ": " << error;
            Position pos = *start;
            for (int ply = 0; ply < 60; ++ply) {
                const Position before = pos;
                const auto generated = GeneratedMoves(pos);
                ASSERT_EQ(pos.toQiPan(), before.toQiPan());
                ASSERT_EQ(generated, DefinitionalMoves(pos)) << toFen(pos);
                ++positions;
                if (generated.empty()) break;
                auto it = generated.begin();
                std::advance(it, static_cast<long>(rng() % generated.size()));
                pos.makeMove(Move{static_cast<std::uint8_t>(it->first),
                                  static_cast<std::uint8_t>(it->second)});
            }
        }
    }
    EXPECT_GT(positions, 1000);
}

TEST(kingExposed, AttackersOfEveryKind) {
    struct {
        const char* name;
        QiPan board;
        bool exposed;  // red king
    } const cases[] = {
        {"facing", BoardWith({{0, 4, kBKing}, {9, 4, kRKing}}), true},
        {"facing_screened", BoardWith({{0, 4, kBKing}, {5, 4, kBPawn}, {9, 4, kRKing}}), false},
        {"chariot", BoardWith({{0, 3, kBKing}, {9, 0, kBChariot}, {9, 4, kRKing}}), true},
        {"chariot_screened",
         BoardWith({{0, 3, kBKing}, {9, 0, kBChariot}, {9, 2, kRElephant}, {9, 4, kRKing}}), false},
        {"cannon_screen",
         BoardWith({{0, 3, kBKing}, {3, 4, kBCannon}, {6, 4, kRPawn}, {9, 4, kRKing}}), true},
        {"cannon_bare", BoardWith({{0, 3, kBKing}, {3, 4, kBCannon}, {9, 4, kRKing}}), false},
        {"horse", BoardWith({{0, 3, kBKing}, {7, 3, kBHorse}, {9, 4, kRKing}}), true},
        {"horse_leg",
         BoardWith({{0, 3, kBKing}, {7, 3, kBHorse}, {8, 3, kRAdvisor}, {9, 4, kRKing}}), false},
        {"pawn_side", BoardWith({{0, 3, kBKing}, {9, 5, kBPawn}, {9, 4, kRKing}}), true},
        {"pawn_front", BoardWith({{0, 3, kBKing}, {8, 4, kBPawn}, {9, 4, kRKing}}), true},
        {"own_pawn", BoardWith({{0, 3, kBKing}, {8, 4, kRPawn}, {9, 4, kRKing}}), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kingExposed(Position::fromQiPan(c.board, kRed), kRed), c.exposed) << c.name;
    }
}

TEST(generateLegalMoves, NoMovesWhenMatedAndNoneForAMissingKing) {
    // Red king on (9, 3) in check from a chariot on its rank; the other chariot holds rank 8 and
    // the black king holds file 4.
    auto mated = parseFen("4k4/9/9/9/9/9/9/9/r8/r2K5 w");
    ASSERT_TRUE(mated.has_value());
    MoveList moves;
    generateLegalMoves(*mated, moves);
    EXPECT_TRUE(moves.empty());

    Position noKing = Position::fromQiPan(BoardWith({{0, 4, kBKing}, {5, 0, kRChariot}}), kRed);
    generateLegalMoves(noKing, moves);
    EXPECT_FALSE(moves.empty()) << "a side without a king is never exposed";
}

}  // namespace
}  // namespace xq
