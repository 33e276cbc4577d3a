// A refused position is told in Chinese, naming what is wrong the way the English reader does.

#include <gtest/gtest.h>

#include "records/pgn_reader.h"
#include "records/record_failure_text.h"
#include "rules/fen.h"

namespace xq {
namespace {

TEST(fenFaultText, EveryRefusalIsToldInChineseWithItsRankPointOrLetter) {
    const struct {
        const char* fen;
        const char* english;
        const char* chinese;
    } cases[] = {
        {"", "empty FEN", "没有局面"},
        {"rnbakabnr/8/9/9/9/9/9/9/9/4K4 w", "rank 8 has 8 files instead of 9",
         "第 8 行有 8 列，应是 9 列"},
        {"9/9/9/9/9/9/9/9/9/9/9 w", "more than 10 ranks", "超过 10 行"},
        {"45k4/9/9/9/9/9/9/9/9/4K4 w", "rank 9 is too long", "第 9 行超过 9 列"},
        {"4o4/9/9/9/9/9/9/9/9/4K4 w", "unknown piece letter 'o'", "“o”不是棋子的字母"},
        {"3kk4/9/9/9/9/9/9/9/9/4K4 w", "too many pieces 'k'", "“k”棋子太多"},
        {"rnbakabnr/9/9", "the board must have 10 ranks of 9 files", "棋盘应是 10 行 9 列"},
        {"3k5/9/9/9/9/9/9/9/9/4K4 x", "side to move must be 'w' or 'b', not 'x'",
         "走棋方应是 w（红）或 b（黑），不是“x”"},
        {"3k5/9/9/9/9/9/9/9/9/A3K4 w", "a red advisor can never stand on a0",
         "红方的仕永远走不到 a0"},
        {"3k5/4b4/9/9/9/9/9/9/9/3K5 w", "a black elephant can never stand on e8",
         "黑方的象永远走不到 e8"},
        {"3k5/9/9/9/9/9/9/9/9/9 w", "red must have one king", "红方应有一个帅"},
        {"9/9/9/9/9/9/9/9/9/4K4 w", "black must have one king", "黑方应有一个将"},
        {"3k5/9/9/9/9/9/4K4/9/9/9 w", "red king is outside its palace", "红方的帅不在九宫里"},
        {"4k4/9/9/9/9/9/9/9/9/4K4 w", "the side not to move has its king exposed",
         "刚走完的一方正被将军"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fen);
        FenFault fault;
        ASSERT_FALSE(parseFen(c.fen, &fault).has_value());
        EXPECT_EQ(fenFaultText(fault), c.english);
        EXPECT_EQ(fenFaultChineseText(fault), QString::fromUtf8(c.chinese));
        std::string english;
        EXPECT_FALSE(parseFen(c.fen, &english).has_value());
        EXPECT_EQ(english, c.english) << "both readings give the same reason";
    }
}

TEST(fenFaultText, APgnWithAnImpossibleStartSaysWhyInChinese) {
    GameRecord game;
    PgnError error;
    ASSERT_FALSE(
        readPgn(QStringLiteral("[FEN \"3k5/9/9/9/9/9/9/9/9/A3K4 w\"]\n1. e0e1\n"), game, &error));
    EXPECT_EQ(error.fault, PgnError::BadFen);
    EXPECT_EQ(error.reason, "a red advisor can never stand on a0") << "the tools' English";
    EXPECT_EQ(
        pgnLoadFailureText(QStringLiteral("x.pgn"), error),
        QStringLiteral("无法读入 PGN 棋谱：x.pgn（第 1 行：FEN 局面无效，红方的仕永远走不到 a0）"));
}

}  // namespace
}  // namespace xq
