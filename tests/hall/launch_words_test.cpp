#include <gtest/gtest.h>

#include "hall/launch_words.h"
#include "hall/level_titles.h"
#include "startup/command_line.h"

namespace xq::hall {
namespace {

TEST(launchWords, AreTheNineWordsTheTableClientTakes) {
    const QStringList words =
        launchWords({QStringLiteral("10.1.2.3"), 5123, QStringLiteral("张三")});
    const QStringList expected{
        launchToken(),
        QStringLiteral("10.1.2.3"),
        QStringLiteral("5123"),
        QStringLiteral("中国象棋"),
        QStringLiteral(
            "长工_100`短工_200`佃农_500`贫农_1000`中农_2000`富农_4000`地主_8000`恶霸_12000"),
        QStringLiteral("-"),
        QStringLiteral("-"),
        QStringLiteral("张三"),
        QStringLiteral("1")};
    EXPECT_EQ(words, expected);

    // The table client reads them back as the same launch data.
    Session s;
    ASSERT_EQ(checkCommandLine(u' ' + words.join(u' '), s), LaunchCheck::kOk);
    EXPECT_EQ(s.strRoomServerAddr, QStringLiteral("10.1.2.3"));
    EXPECT_EQ(s.strRoomServerPort, QStringLiteral("5123"));
    EXPECT_EQ(s.strExtParam[0], QStringLiteral("-"));
    EXPECT_EQ(s.strMyUserName, QStringLiteral("张三"));
    EXPECT_EQ(s.bteScoreType, 1);
}

TEST(launchEnvironment, CarriesWhatIsGivenAndNothingElse) {
    const struct {
        QString ticket, tls;
        LaunchEnvironment expected;
    } cases[] = {
        {"00ff", "pin:ab", {{"XQ_TICKET", "00ff"}, {"XQ_TLS", "pin:ab"}}},
        {"00ff", "", {{"XQ_TICKET", "00ff"}}},
        {"", "verify", {{"XQ_TLS", "verify"}}},
        {"", "", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(launchEnvironment(c.ticket, c.tls), c.expected) << c.ticket.toStdString();
}

TEST(levelTitles, NameScoresAsTheTableWindowDoes) {
    const struct {
        int score;
        const char* title;
    } cases[] = {{-500, "长工"},  {0, "长工"},     {199, "长工"},       {200, "短工"},
                 {999, "佃农"},   {1000, "贫农"},  {1999, "贫农"},      {4000, "富农"},
                 {11999, "地主"}, {12000, "恶霸"}, {2000000000, "恶霸"}};
    for (const auto& c : cases)
        EXPECT_EQ(levelTitle(c.score), QString::fromUtf8(c.title)) << c.score;
}

}  // namespace
}  // namespace xq::hall
