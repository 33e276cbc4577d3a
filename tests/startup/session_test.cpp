#include <gtest/gtest.h>

#include "game/user_row.h"
#include "net/leading_number.h"
#include "startup/session.h"

namespace xq {
namespace {

TEST(InitSession, FoldersEndInOneSeparator) {
    const struct {
        const char* folder;
        const char* app;
        const char* parent;
    } cases[] = {
        {"/opt/hall/game", "/opt/hall/game/", "/opt/hall/"},
        {"/opt/hall/game/", "/opt/hall/game/", "/opt/hall/"},
        {"/game", "/game/", "/"},
        {"/", "/", "/"},
    };
    for (const auto& c : cases) {
        Session s;
        InitSession(s, c.folder);
        EXPECT_EQ(s.strAppPath, c.app);
        EXPECT_EQ(s.strParentPath, c.parent) << c.folder;
    }
}

TEST(InitSession, ResetsFlagsAndKeepsLaunchDataAndSeats) {
    Session s;
    s.strMyUserName = "me";
    s.strLevelInfo = "a_1`b_2";
    s.strWatchUserName = "w";
    s.bteMySeat = 1;
    s.blnLookOn = true;
    s.SeatUsers[1].strUserName = "p";
    s.bteSeatPanel = {1, 1};
    s.blnCanStart = true;
    s.blnAppQuit = true;
    s.bteGameStarted = 1;
    InitSession(s, "/x/y");
    EXPECT_EQ(s.strMyUserName, "me");
    EXPECT_EQ(s.strWatchUserName, "w");
    EXPECT_EQ(s.bteMySeat, 1);
    EXPECT_TRUE(s.blnLookOn);
    EXPECT_EQ(s.SeatUsers[1].strUserName, "p");
    EXPECT_EQ(s.bteSeatPanel, (std::array<std::uint8_t, 2>{0, 0}));
    EXPECT_FALSE(s.blnCanStart);
    EXPECT_FALSE(s.blnAppQuit);
    EXPECT_EQ(s.bteGameStarted, 0);
    ASSERT_EQ(s.LevelInfos.size(), 2u);
    EXPECT_EQ(s.varMemberNames.size(), 5);
}

TEST(GetLevelName, EachTitleRunsFromItsMinimumToTheNext) {
    Session s;
    ParseLevelInfo(s,
                   "长工_100`短工_200`佃农_500`贫农_1000`中农_2000`富农_4000`地主_8000`恶霸_12000");
    const std::pair<int, const char*> cases[] = {
        {-50, "长工"}, {0, "长工"},     {100, "长工"},   {199, "长工"},   {200, "短工"},
        {501, "佃农"}, {11999, "地主"}, {12000, "恶霸"}, {999999, "恶霸"}};
    for (const auto& [score, title] : cases)
        EXPECT_EQ(GetLevelName(s, score), title) << score;

    ParseLevelInfo(s, "独行_500");
    for (int score : {0, 500, 100000})
        EXPECT_EQ(GetLevelName(s, score), "独行");

    s.LevelInfos.clear();
    EXPECT_EQ(GetLevelName(s, 5), "未知级别");
}

TEST(ParseLevelInfo, MissingPartsGiveEmptyTitleOrZeroMinimum) {
    Session s;
    ParseLevelInfo(s, "无分`_300`甲_12abc`乙_2.5`");
    ASSERT_EQ(s.LevelInfos.size(), 5u);
    EXPECT_EQ(s.LevelInfos[0].strLevelName, "无分");
    EXPECT_EQ(s.LevelInfos[0].lngMinScore, 0);
    EXPECT_EQ(s.LevelInfos[1].strLevelName, "");
    EXPECT_EQ(s.LevelInfos[1].lngMinScore, 300);
    EXPECT_EQ(s.LevelInfos[2].lngMinScore, 12);
    EXPECT_EQ(s.LevelInfos[3].lngMinScore, 2);  // halves round to even
    EXPECT_EQ(s.LevelInfos[4].strLevelName, "");
}

TEST(memberName, ThousandsOfTheFaceNumber) {
    Session s;
    InitSession(s, "/g");
    const std::pair<int, const char*> cases[] = {
        {0, "普通用户"},    {999, "普通用户"},  {1000, "普通会员"},
        {2005, "蓝钻会员"}, {3012, "红钻会员"}, {4999, "绿钻会员"},
        {5000, "未知身份"}, {7000, "未知身份"}, {-1000, "未知身份"}};
    for (const auto& [face, name] : cases)
        EXPECT_EQ(memberName(s, face), name) << face;
}

TEST(ResolveMySeat, WatchedNamePicksTheSeat) {
    struct {
        const char *seat0, *seat1, *watch, *me;
        bool changes;
        int mySeat;
        bool lookOn;
    } const cases[] = {
        {"a", "b", "b", "b", true, 1, false}, {"a", "b", "a", "x", true, 0, true},
        {"a", "a", "a", "a", true, 0, false},  // seat 0 first
        {"a", "b", "c", "c", false, 1, true},  // no match: nothing changes
        {"", "", "", "me", true, 0, true},     // empty seats match an empty watched name
        {"", "", "", "", true, 0, false},
    };
    for (const auto& c : cases) {
        Session s;
        s.SeatUsers[0].strUserName = c.seat0;
        s.SeatUsers[1].strUserName = c.seat1;
        s.strWatchUserName = c.watch;
        s.strMyUserName = c.me;
        s.bteMySeat = 1;
        s.blnLookOn = true;
        s.bteSeatPanel = {7, 7};
        ResolveMySeat(s);
        EXPECT_EQ(s.bteMySeat, c.mySeat) << c.watch;
        EXPECT_EQ(s.blnLookOn, c.lookOn) << c.watch;
        if (c.changes) {
            EXPECT_EQ(s.bteSeatPanel[c.mySeat], 1);
            EXPECT_EQ(s.bteSeatPanel[1 - c.mySeat], 0);
        } else {
            EXPECT_EQ(s.bteSeatPanel, (std::array<std::uint8_t, 2>{7, 7}));
        }
    }
}

TEST(leadingNumber, LeadingDecimalNumberOrZero) {
    const std::pair<const char*, double> cases[] = {
        {"12abc", 12}, {"abc", 0},    {"", 0},     {"  42", 42},    {"-3", -3},
        {"+7", 7},     {"2.5x", 2.5}, {".5", 0.5}, {"-", 0},        {"1 2", 1},
        {"0012", 12},  {"\t9", 9},    {"- 3", 0},  {"5000\r", 5000}};
    for (const auto& [text, expected] : cases) {
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf8(text)), expected) << text;
    }
    const std::pair<const char*, std::int32_t> rounded[] = {{"2.5", 2},
                                                            {"3.5", 4},
                                                            {"-2.5", -2},
                                                            {"2.51", 3},
                                                            {"99999999999", INT32_MAX},
                                                            {"-99999999999", INT32_MIN},
                                                            {"2147483647", INT32_MAX}};
    for (const auto& [text, expected] : rounded)
        EXPECT_EQ(leadingLong(QString::fromUtf8(text)), expected) << text;
    EXPECT_EQ(leadingByte(u"300"), 255);
    EXPECT_EQ(leadingByte(u"-1"), 0);
    EXPECT_EQ(leadingByte(u"254.5"), 254);
}

TEST(UserRow, SpectatorSeatAndFlags) {
    const QStringList player = splitFields("张三`1001`500`3`  `10`50`0`5`5`0`1`2005`7`1`0");
    ASSERT_EQ(player.size(), kUserRowFields);
    EXPECT_FALSE(isSpectatorRow(player));
    EXPECT_EQ(seatOfRow(player), 1);
    EXPECT_TRUE(flagField(player, row::kHandUp));
    EXPECT_FALSE(flagField(player, row::kOffline));
    EXPECT_FALSE(flagField(player, 40));

    const QStringList watcher = splitFields("李四`1`0`0` 张三 `0`0`0`0`0`0`0`0`4`0`0");
    EXPECT_TRUE(isSpectatorRow(watcher));
    EXPECT_EQ(seatOfRow(watcher), 0);

    EXPECT_FALSE(seatOfRow(splitFields("x`1`0`0``0`0`0`0`0`0`0`0`-3`0`0")).has_value());
    EXPECT_EQ(trimBlanks("  a b  "), "a b");
}

}  // namespace
}  // namespace xq
