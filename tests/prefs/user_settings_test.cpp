#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <array>

#include "prefs/user_settings.h"

namespace xq {
namespace {

TEST(UserSettings, WritesBlankNumberBlankLines) {
    UserSettings s;
    s.bteSoundOn = 0;
    s.bteQiPanStyle = 3;
    EXPECT_EQ(userSetText(s), " 1 \r\n 0 \r\n 1 \r\n 1 \r\n 1 \r\n 3 \r\n 1 \r\n");
}

TEST(UserSettings, ShortOrBrokenTextGivesAllDefaults) {
    UserSettings changed;
    changed.bteSoundOn = 0;
    changed.bteQiZiStyle = 2;
    const struct {
        const char* text;
        bool ok;
    } cases[] = {
        {" 1 \r\n 0 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 2 \r\n", true},
        {"1\n0\n1\n1\n1\n1\n2", true},
        {"\t1\r\n0  \r\n 1\r\n1\r\n1\r\n1\r\n2\r\nextra\r\n", true},
        {" 0 \r\n 0 \r\n 0 \r\n", false},
        {"", false},
        {"1\n0\n1\n1\n1\n1\n256\n", false},
        {"1\n0\n1\nx\n1\n1\n2\n", false},
        {"1\n0\n1\n-1\n1\n1\n2\n", false},
        {"1\n0\n1\n1 1\n1\n1\n2\n", false},
    };
    for (const auto& c : cases) {
        UserSettings s;
        s.bteBadMoveHint = 0;  // something to be overwritten either way
        const bool ok = parseUserSetText(c.text, s);
        EXPECT_EQ(ok, c.ok) << c.text;
        if (ok) {
            EXPECT_EQ(s, changed) << c.text;
        }
    }
}

TEST(UserSettings, StylesOutsideTheRangeReadAsTheDefaultStyle) {
    const struct {
        const char* text;
        int board, pieces;
    } cases[] = {
        {"0\n0\n0\n0\n0\n3\n0\n", 3, 0},
        {"0\n0\n0\n0\n0\n4\n0\n", 1, 0},
        {"0\n0\n0\n0\n0\n2\n255\n", 2, 1},
        {"0\n0\n0\n0\n0\n200\n7\n", 1, 1},
    };
    for (const auto& c : cases) {
        UserSettings s;
        ASSERT_TRUE(parseUserSetText(c.text, s)) << c.text;
        EXPECT_EQ(s.bteQiPanStyle, c.board) << c.text;
        EXPECT_EQ(s.bteQiZiStyle, c.pieces) << c.text;
        // The switches are read as they stand.
        EXPECT_EQ(s.bteSoundOn, 0) << c.text;
    }
}

TEST(UserSettings, FileRoundTripAndDefaultsWhenMissingOrShort) {
    QTemporaryDir dir;
    const QString app = dir.path() + '/';
    UserSettings s;
    s.bteSoundOn = 0;
    LoadUserSet(s, app);
    EXPECT_EQ(s, UserSettings{}) << "no file: all defaults";

    s.bteAllowLookOnSee = 0;
    s.bteQiZiStyle = 3;
    ASSERT_TRUE(SaveUserSet(s, app));
    UserSettings back;
    back.bteSoundOn = 0;
    LoadUserSet(back, app);
    EXPECT_EQ(back, s);

    QFile f(app + "UserSet.ini");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(" 0 \r\n 0 \r\n 0 \r\n");
    f.close();
    LoadUserSet(back, app);
    EXPECT_EQ(back, UserSettings{}) << "three lines: all seven back to 1";

    // A file that cannot be written (a folder in its place) is told, not taken as saved.
    ASSERT_TRUE(QFile::remove(app + "UserSet.ini"));
    ASSERT_TRUE(QDir(app).mkdir("UserSet.ini"));
    QString error;
    EXPECT_FALSE(SaveUserSet(s, app, &error));
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace xq

namespace xq {
namespace {

TEST(UserSettings, YesOrNoValuesAreZeroOrOne) {
    const struct {
        const char* text;
        std::array<int, 7> read;
    } cases[] = {
        {"2\n255\n0\n1\n7\n1\n1\n", {1, 1, 0, 1, 1, 1, 1}},
        {"0\n0\n0\n0\n0\n3\n0\n", {0, 0, 0, 0, 0, 3, 0}},
        {"9\n1\n1\n1\n1\n9\n9\n", {1, 1, 1, 1, 1, 1, 1}},
    };
    for (const auto& c : cases) {
        UserSettings s;
        ASSERT_TRUE(parseUserSetText(c.text, s)) << c.text;
        const std::array<int, 7> got = {s.bteAllowLookOnSee, s.bteSoundOn,     s.bteShowInOutMsg,
                                        s.bteQuitPrompt,     s.bteBadMoveHint, s.bteQiPanStyle,
                                        s.bteQiZiStyle};
        EXPECT_EQ(got, c.read) << c.text;
    }
}

TEST(UserSettings, OnlyARegularFileIsRead) {
    // A pipe of that name would block the start for ever; a watchdog ends the test if it does.
    alarm(20);
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    const QByteArray fifo = QFile::encodeName(folder + QLatin1String(kUserSetFile));
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    UserSettings s;
    s.bteSoundOn = 0;
    LoadUserSet(s, folder);
    EXPECT_EQ(s.bteSoundOn, 1) << "the defaults";
    QFile::remove(folder + QLatin1String(kUserSetFile));
    QDir().mkdir(folder + QLatin1String(kUserSetFile));  // a folder of that name
    s.bteSoundOn = 0;
    LoadUserSet(s, folder);
    EXPECT_EQ(s.bteSoundOn, 1);
    alarm(0);
}

}  // namespace
}  // namespace xq
