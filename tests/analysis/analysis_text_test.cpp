#include <gtest/gtest.h>

#include "analysis/analysis_text.h"
#include "rules/fen.h"
#include "rules/iccs.h"

namespace xq::analysis {
namespace {

using uci::Score;

TEST(AnalysisTextTest, ScoresAreReadFromRedsSide) {
    const struct {
        Score score;
        int side;
        const char* text;
        int red;
    } cases[] = {
        {{Score::Centipawns, 35}, kRed, "+0.35", 35},
        {{Score::Centipawns, 35}, kBlack, "-0.35", -35},
        {{Score::Centipawns, -120}, kBlack, "+1.20", 120},
        {{Score::Centipawns, 0}, kBlack, "0.00", 0},
        {{Score::Centipawns, 7}, kRed, "+0.07", 7},
        {{Score::Mate, 3}, kRed, "红 3 步杀", 9997},
        {{Score::Mate, 3}, kBlack, "黑 3 步杀", -9997},
        {{Score::Mate, -2}, kRed, "黑 2 步杀", -9998},
        {{Score::Mate, -1}, kBlack, "红 1 步杀", 9999},
        // Beyond any real position: kept within the graph's scale.
        {{Score::Centipawns, 90000}, kRed, "+900.00", 5000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(scoreText(c.score, c.side), QString::fromUtf8(c.text)) << c.text;
        EXPECT_EQ(redCentipawns(c.score, c.side), c.red) << c.text;
    }
}

TEST(AnalysisTextTest, LinesAreWrittenInChineseNotationAndSpeedsInPlainWords) {
    const std::vector<Move> line = {*parseIccsMove("h2e2"), *parseIccsMove("h9g7"),
                                    *parseIccsMove("h0g2")};
    EXPECT_EQ(movesText(Position::Initial(), line), QStringLiteral("炮二平五 马8进7 马二进三"));
    EXPECT_EQ(movesText(*parseFen("4k4/1R7/9/9/9/9/9/9/9/R2K5 w"), {*parseIccsMove("a0a9")}),
              QStringLiteral("车九进九"));
    EXPECT_TRUE(movesText(Position::Initial(), {}).isEmpty());
    EXPECT_EQ(speedText(850'000), QStringLiteral("850 千/秒"));
    EXPECT_EQ(speedText(1'240'000), QStringLiteral("1.2 百万/秒"));
    EXPECT_EQ(speedText(999), QStringLiteral("999/秒"));
    EXPECT_EQ(speedText(-5), QStringLiteral("0/秒"));
}

}  // namespace
}  // namespace xq::analysis
