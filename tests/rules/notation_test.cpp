#include <gtest/gtest.h>

#include <string>

#include "rules/notation.h"
#include "test_boards.h"

namespace xq {
namespace {

using namespace xq::test;

TEST(GetChineseNum, OneToTenOnly) {
    const std::pair<long, const char*> cases[] = {{1, "一"},  {2, "二"}, {5, "五"}, {9, "九"},
                                                  {10, "十"}, {0, ""},   {11, ""},  {-3, ""}};
    for (const auto& [n, text] : cases)
        EXPECT_EQ(GetChineseNum(n), text) << n;
}

TEST(GetQiZiName, NamesBySideAndKind) {
    const std::pair<int, const char*> cases[] = {
        {1, "车"},  {2, "马"},  {3, "炮"},  {4, "将"},  {5, "士"},  {6, "象"},  {7, "卒"},
        {17, "车"}, {18, "马"}, {19, "炮"}, {20, "帅"}, {21, "仕"}, {22, "相"}, {23, "兵"},
        {0, ""},    {16, ""},   {8, ""},    {24, ""},   {31, ""},   {33, ""},   {255, ""}};
    for (const auto& [code, name] : cases) {
        EXPECT_EQ(GetQiZiName(static_cast<std::uint8_t>(code)), name) << code;
    }
}

struct NotationCase {
    int fromRank, fromFile;
    Piece code;
    int toRank, toFile;
    long ply;
    const char* expected;
};

TEST(GetQiPuText, LinesOfBothColoursAndAllDirections) {
    const NotationCase cases[] = {
        {7, 7, kRCannon, 7, 4, 1, "红1 ：炮二平五"},
        {0, 1, kBHorse, 2, 2, 2, "黑1 ：马2进3"},
        {9, 0, kRChariot, 5, 0, 3, "红2 ：车九进四"},
        {3, 4, kBPawn, 3, 3, 4, "黑2 ：卒5平4"},
        {9, 1, kRHorse, 7, 2, 5, "红3 ：马八进七"},
        {2, 7, kBCannon, 2, 4, 6, "黑3 ：炮8平5"},
        {9, 6, kRElephant, 7, 4, 7, "红4 ：相三进五"},
        {0, 5, kBAdvisor, 1, 4, 8, "黑4 ：士6进5"},
        {5, 0, kRChariot, 9, 0, 9, "红5 ：车九退四"},
        {2, 2, kBHorse, 0, 1, 10, "黑5 ：马3退2"},
        {9, 4, kRKing, 8, 4, 11, "红6 ：帅五进一"},
        {1, 4, kBKing, 0, 4, 12, "黑6 ：将5退1"},
        {4, 4, kRPawn, 4, 3, 13, "红7 ：兵五平六"},
        {3, 4, kBPawn, 4, 4, 14, "黑7 ：卒5进1"},
        {8, 4, kRAdvisor, 9, 3, 15, "红8 ：仕五退六"},
        {2, 4, kBElephant, 0, 6, 16, "黑8 ：象5退7"},
        {2, 1, kBCannon, 9, 1, 18, "黑9 ：炮2进7"},
        {9, 8, kRChariot, 0, 8, 19, "红10 ：车一进九"},
        {7, 1, kRCannon, 7, 0, 199, "红100 ：炮八平九"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetQiPuText(c.fromRank, c.fromFile, c.code, c.toRank, c.toFile, 0,
                              moveNumberOfPly(c.ply)),
                  c.expected);
    }
}

TEST(GetQiPuText, CaptureDoesNotChangeTheLine) {
    EXPECT_EQ(GetQiPuText(7, 1, kRCannon, 0, 1, kBHorse, 1), "红1 ：炮八进七");
}

TEST(GetQiPuText, EmptyForNoPieceOrNoMoveNumber) {
    EXPECT_EQ(GetQiPuText(7, 7, 0, 7, 4, 0, 1), "");
    EXPECT_EQ(GetQiPuText(7, 7, 35, 7, 4, 0, 1), "");  // side 2
    EXPECT_EQ(GetQiPuText(7, 7, 24, 7, 4, 0, 1), "");  // kind 8
    EXPECT_EQ(GetQiPuText(7, 7, kRCannon, 7, 4, 0, 0), "");
    EXPECT_EQ(GetQiPuText(7, 7, kRCannon, 7, 4, 0, -5), "");
}

TEST(moveNumberOfPly, RedAndBlackShareANumber) {
    EXPECT_EQ(moveNumberOfPly(1), 1);
    EXPECT_EQ(moveNumberOfPly(2), 1);
    EXPECT_EQ(moveNumberOfPly(3), 2);
    EXPECT_EQ(moveNumberOfPly(20), 10);
}

}  // namespace
}  // namespace xq
