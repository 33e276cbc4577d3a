#include <gtest/gtest.h>

#include <string>

#include "rules/allowed_moves.h"
#include "rules/chinese_move.h"
#include "rules/fen.h"
#include "rules/iccs.h"
#include "rules/wxf_move.h"

namespace xq {
namespace {

Position At(const char* fen) {
    std::string error;
    const auto pos = parseFen(fen, &error);
    EXPECT_TRUE(pos.has_value()) << fen << ": " << error;
    return pos.value_or(Position::Initial());
}

// The move a text names, as coordinates, or why there is none.
std::string Read(const Position& pos, const std::optional<DescribedMove>& d) {
    if (!d) return "not a move";
    Move m;
    switch (findDescribedMove(pos, *d, &m)) {
        case FindResult::Found:
            return moveToText(m);
        case FindResult::NoMove:
            return "no such move";
        case FindResult::Ambiguous:
            break;
    }
    return "ambiguous";
}

struct WrittenCase {
    const char* name;
    const char* fen;
    const char* iccs;
    const char* chinese;
    const char* wxf;
};

// Kings kept off each other's file so that every position is one a game can reach.
constexpr const char* kTwoRedChariots = "4k4/9/9/9/9/R8/9/R8/9/3K5 w";
constexpr const char* kTwoBlackHorses = "3k5/9/2n6/9/2n6/9/9/9/9/4K4 b";
constexpr const char* kTwoRedPawns = "3k5/9/9/4P4/4P4/9/9/9/9/5K3 w";
constexpr const char* kThreeRedPawns = "3k5/9/4P4/4P4/4P4/9/9/9/9/5K3 w";
constexpr const char* kRedPawnsOnTwoFiles = "3k5/9/9/2P3P2/2P3P2/9/9/9/9/5K3 w";
constexpr const char* kBlackPawnsThreeAndTwo = "3k5/9/9/9/9/2p1p4/2p1p4/4p4/9/5K3 b";
constexpr const char* kFourRedPawns = "3k5/4P4/4P4/4P4/4P4/9/9/9/9/5K3 w";
constexpr const char* kRedElephantsOnAFile = "3k5/9/9/9/9/2B6/9/9/9/2B2K3 w";
constexpr const char* kOpeningBlackToMove =
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b";

TEST(MoveText, WrittenAndReadBackInBothNotations) {
    const WrittenCase cases[] = {
        {"cannon to the centre", kStartFen.data(), "h2e2", "炮二平五", "C2.5"},
        {"red horse", kStartFen.data(), "b0c2", "马八进七", "H8+7"},
        {"red elephant", kStartFen.data(), "c0e2", "相七进五", "E7+5"},
        {"red advisor", kStartFen.data(), "f0e1", "仕四进五", "A4+5"},
        {"red king", kStartFen.data(), "e0e1", "帅五进一", "K5+1"},
        {"red cannon takes the horse", kStartFen.data(), "h2h9", "炮二进七", "C2+7"},
        {"black horse", kOpeningBlackToMove, "h9g7", "马8进7", "H8+7"},
        {"black pawn", kOpeningBlackToMove, "e6e5", "卒5进1", "P5+1"},
        {"front chariot", kTwoRedChariots, "a4a5", "前车进一", "+R+1"},
        {"rear chariot sideways", kTwoRedChariots, "a2b2", "后车平八", "-R.8"},
        {"rear chariot forward", kTwoRedChariots, "a2a3", "后车进一", "-R+1"},
        {"black front horse", kTwoBlackHorses, "c5d3", "前马进4", "+H+4"},
        {"black rear horse back", kTwoBlackHorses, "c7b9", "后马退2", "-H-2"},
        {"front of two pawns", kTwoRedPawns, "e6d6", "前兵平六", "+P.6"},
        {"rear of two pawns", kTwoRedPawns, "e5f5", "后兵平四", "-P.4"},
        {"front of three pawns", kThreeRedPawns, "e7e8", "前兵进一", "1P+1"},
        {"middle of three pawns", kThreeRedPawns, "e6d6", "中兵平六", "2P.6"},
        {"rear of three pawns", kThreeRedPawns, "e5f5", "后兵平四", "3P.4"},
        {"front pawn, two shared files", kRedPawnsOnTwoFiles, "c6c7", "前七进一", "+P7+1"},
        {"rear pawn, two shared files", kRedPawnsOnTwoFiles, "g5f5", "后三平四", "-P3.4"},
        {"black middle of three, another file shared", kBlackPawnsThreeAndTwo, "e3f3", "中5平6",
         "2P5.6"},
        {"black front of three, another file shared", kBlackPawnsThreeAndTwo, "e2e1", "前5进1",
         "1P5+1"},
        {"black rear of two, another file shared", kBlackPawnsThreeAndTwo, "c4b4", "后3平2",
         "-P3.2"},
        {"second of four pawns", kFourRedPawns, "e7f7", "二兵平四", "2P.4"},
        {"fourth of four pawns", kFourRedPawns, "e5d5", "四兵平六", "4P.6"},
        {"front elephant back: no mark", kRedElephantsOnAFile, "c4e2", "相七退五", "E7-5"},
        {"rear elephant forward: no mark", kRedElephantsOnAFile, "c0a2", "相七进九", "E7+9"},
    };
    for (const WrittenCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Position pos = At(c.fen);
        const auto move = parseIccsMove(c.iccs);
        ASSERT_TRUE(move.has_value());
        ASSERT_TRUE(isAllowedMove(pos, *move));
        const DescribedMove d = describeMove(pos, *move);
        EXPECT_EQ(chineseMoveText(d, pos.sideToMove()), c.chinese);
        EXPECT_EQ(wxfMoveText(d), c.wxf);
        EXPECT_EQ(Read(pos, parseChineseMove(c.chinese)), c.iccs);
        EXPECT_EQ(Read(pos, parseWxfMove(c.wxf)), c.iccs);
    }
}

struct ReadCase {
    const char* name;
    const char* fen;
    const char* text;
    bool wxf;
    const char* expected;  // coordinates, or why the text names no single move
};

TEST(MoveText, HandWrittenTextIsReadWhenItNamesOneMove) {
    const ReadCase cases[] = {
        {"full-width digits", kStartFen.data(), "炮２平５", false, "h2e2"},
        {"blanks and old characters", kStartFen.data(), "砲 二 平 五", false, "h2e2"},
        {"traditional advance", kStartFen.data(), "車九進一", false, "a0a1"},
        {"black named by red's name", kOpeningBlackToMove, "相3进5", false, "c9e7"},
        {"lower case WXF, = for sideways", kStartFen.data(), "c2=5", true, "h2e2"},
        {"N for the horse", kStartFen.data(), "N2+3", true, "h0g2"},
        {"front sign after the letter", kTwoRedChariots, "R+.8", true, "a4b4"},
        {"file of a lone chariot", kTwoRedChariots, "车九进二", false, "a4a6"},
        {"both chariots could advance one", kTwoRedChariots, "车九进一", false, "ambiguous"},
        {"both chariots could, WXF", kTwoRedChariots, "R9+1", true, "ambiguous"},
        {"the file alone names three pawns", kThreeRedPawns, "兵五平六", false, "ambiguous"},
        {"front pawn of which file", kRedPawnsOnTwoFiles, "前兵进一", false, "ambiguous"},
        {"front pawn with name and file", kRedPawnsOnTwoFiles, "前兵七进一", false, "c6c7"},
        {"middle needs three", kTwoRedPawns, "中兵平六", false, "no such move"},
        {"a mark on a lone piece", kStartFen.data(), "前炮平五", false, "no such move"},
        {"the cannon cannot land behind the horse", kStartFen.data(), "炮二进六", false,
         "no such move"},
        {"no direction", kStartFen.data(), "炮二五", false, "not a move"},
        {"stray text", kStartFen.data(), "红1", false, "not a move"},
        {"WXF without a file", kStartFen.data(), "C+1", true, "not a move"},
        {"WXF with trailing text", kStartFen.data(), "C2.5x", true, "not a move"},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Position pos = At(c.fen);
        EXPECT_EQ(Read(pos, c.wxf ? parseWxfMove(c.text) : parseChineseMove(c.text)), c.expected);
    }
}

TEST(MoveText, CoordinatesAreReadAsWritten) {
    const std::pair<const char*, const char*> cases[] = {
        {"h2e2", "h2e2"}, {"H2-E2", "h2e2"}, {"a0i9", "a0i9"}, {"j2e2", ""},
        {"h2h2", ""},     {"h2e", ""},       {"h2xe2", ""},    {"h2e2 ", ""},
    };
    for (const auto& [text, expected] : cases) {
        const auto m = parseIccsMove(text);
        EXPECT_EQ(m ? moveToText(*m) : "", expected) << text;
    }
}

// A deterministic walk through many positions: whatever is written reads back as the same move.
TEST(MoveText, EveryMoveOfLongGamesReadsBack) {
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    int checked = 0;
    for (int game = 0; game < 3; ++game) {
        Position pos = Position::Initial();
        for (int ply = 0; ply < 100; ++ply) {
            MoveList moves;
            generateAllowedMoves(pos, moves);
            if (moves.empty() || pos.kingSquare(kRed) < 0 || pos.kingSquare(kBlack) < 0) break;
            for (Move m : moves) {
                const DescribedMove d = describeMove(pos, m);
                const std::string chinese = chineseMoveText(d, pos.sideToMove());
                const std::string wxf = wxfMoveText(d);
                ASSERT_EQ(Read(pos, parseChineseMove(chinese)), moveToText(m))
                    << chinese << " in " << toFen(pos);
                ASSERT_EQ(Read(pos, parseWxfMove(wxf)), moveToText(m))
                    << wxf << " in " << toFen(pos);
                ++checked;
            }
            pos.makeMove(
                moves[static_cast<int>(next() % static_cast<std::uint32_t>(moves.size()))]);
        }
    }
    EXPECT_GT(checked, 5000);
}

}  // namespace
}  // namespace xq
