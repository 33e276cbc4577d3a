#include <gtest/gtest.h>

#include <vector>

#include "startup/command_line.h"

namespace xq {
namespace {

TEST(SplitCommandLine, WordsAtBlanksAndTabsWithoutQuoting) {
    struct {
        const char* line;
        QStringList words;  // without the empty element 0
    } const cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"a", {"a"}},
        {"  a \t\t b  ", {"a", "b"}},
        {"\"quoted name\" x", {"\"quoted", "name\"", "x"}},
        {"1 2 3 4 5 6 7 8 9 10 11 12", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
    };
    for (const auto& c : cases) {
        const QStringList got = SplitCommandLine(QString::fromUtf8(c.line));
        ASSERT_FALSE(got.isEmpty());
        EXPECT_TRUE(got[0].isEmpty());
        EXPECT_EQ(got.mid(1), c.words) << c.line;
    }
    EXPECT_EQ(SplitCommandLine("a b c", 2).mid(1), (QStringList{"a", "b"}));
}

QString Line(const QString& token, const QString& sep = " ", const QString& extra = {}) {
    QStringList words = {token, "127.0.0.1", "5000", "中国象棋", "长工_100`短工_200",
                         "x",   "y",         "张三", "1"};
    QString line = words.join(sep);
    if (!extra.isEmpty()) line += sep + extra;
    return line;
}

TEST(checkCommandLine, WordCountComesBeforeTheToken) {
    Session s;
    EXPECT_EQ(checkCommandLine(Line(launchToken(), " \t  "), s), LaunchCheck::kOk);
    EXPECT_EQ(checkCommandLine(Line(launchToken(), " ", "tenth"), s), LaunchCheck::kWrongWordCount);
    EXPECT_EQ(checkCommandLine(Line("wrong", " ", "tenth"), s), LaunchCheck::kWrongWordCount);
    EXPECT_EQ(checkCommandLine("", s), LaunchCheck::kWrongWordCount);
    EXPECT_EQ(checkCommandLine(Line(launchToken().toLower()), s), LaunchCheck::kWrongToken);
    EXPECT_EQ(checkCommandLine(Line(launchToken() + "x"), s), LaunchCheck::kWrongToken);
    EXPECT_EQ(startupErrorText(LaunchCheck::kWrongWordCount), "1号错误，无法正常启动游戏！");
    EXPECT_EQ(startupErrorText(LaunchCheck::kWrongToken), "2号错误，无法正常启动游戏！");
    EXPECT_EQ(startupErrorTitle(), "游戏提示");
}

TEST(checkCommandLine, StoresTheLaunchData) {
    Session s;
    ASSERT_EQ(checkCommandLine(Line(launchToken()), s), LaunchCheck::kOk);
    EXPECT_EQ(s.strRoomServerAddr, "127.0.0.1");
    EXPECT_EQ(s.strRoomServerPort, "5000");
    EXPECT_EQ(s.strGameName, "中国象棋");
    EXPECT_EQ(s.strLevelInfo, "长工_100`短工_200");
    EXPECT_EQ(s.strExtParam[0], "x");
    EXPECT_EQ(s.strExtParam[1], "y");
    EXPECT_EQ(s.strMyUserName, "张三");
    EXPECT_EQ(s.bteScoreType, 1);
}

TEST(checkCommandLine, ScoreTypeIsReadAsAByte) {
    const std::pair<const char*, int> cases[] = {{"0", 0},    {"7", 7},     {"abc", 0},
                                                 {"12x", 12}, {"300", 255}, {"-4", 0}};
    for (const auto& [text, expected] : cases) {
        Session s;
        QStringList words = SplitCommandLine(Line(launchToken())).mid(1);
        words[8] = text;
        ASSERT_EQ(checkCommandLine(words.join(' '), s), LaunchCheck::kOk);
        EXPECT_EQ(s.bteScoreType, expected) << text;
    }
}

// The process's own words reach the check untouched, even those a toolkit would take for its
// own options, and a Chinese word arrives decoded.
TEST(processArguments, EveryWordAfterTheProgramInOrder) {
    const struct {
        std::vector<const char*> argv;
        QStringList words;
    } cases[] = {
        {{"xqtable"}, {}},
        {{"xqtable", "-reverse", "-style", "x", "-platform", "xcb"},
         {"-reverse", "-style", "x", "-platform", "xcb"}},
        {{"xqtable", "-session", "x", "\xe5\xbc\xa0\xe4\xb8\x89", "--", ""},
         {"-session", "x", "张三", "--", ""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(processArguments(static_cast<int>(c.argv.size()), c.argv.data()), c.words)
            << c.argv.size();
    }
    EXPECT_TRUE(processArguments(0, nullptr).isEmpty());
    const char* nullEnded[] = {"xqtable", "a", nullptr};
    EXPECT_EQ(processArguments(3, nullEnded), QStringList{"a"});

    // Nine words that look like toolkit options still pass the launch check.
    const QByteArray token = launchToken().toLatin1();
    const char* argv[] = {"xqtable", token.constData(), "-platform", "5000", "-style",
                          "x",       "-reverse",        "-session",  "x",    "1"};
    Session s;
    ASSERT_EQ(checkCommandLine(processArguments(10, argv).join(u' '), s), LaunchCheck::kOk);
    EXPECT_EQ(s.strRoomServerAddr, "-platform");
    EXPECT_EQ(s.strGameName, "-style");
    EXPECT_EQ(s.strExtParam[0], "-reverse");
    EXPECT_EQ(s.strMyUserName, "x");
}

TEST(launchToken, IsThirtyEightPrintableCharacters) {
    const QString token = launchToken();
    ASSERT_EQ(token.size(), 38);
    for (QChar ch : token)
        EXPECT_TRUE(ch.unicode() > 32 && ch.unicode() < 127);
}

}  // namespace
}  // namespace xq
