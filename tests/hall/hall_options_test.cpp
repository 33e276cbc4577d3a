#include <gtest/gtest.h>

#include "hall/hall_options.h"
#include "hall/login_input.h"
#include "socket/room_socket.h"

namespace xq::hall {
namespace {

TEST(LoginInput, NamesTheTableLineAndTheServerCanCarry) {
    const struct {
        QString name;
        bool good;
    } cases[] = {
        {QStringLiteral("张三"), true},
        {QStringLiteral("a"), true},
        {QString(32, u'棋'), true},
        {QString(33, u'a'), false},
        {QString(), false},
        {QStringLiteral("张 三"), false},
        {QStringLiteral(" a"), false},
        {QStringLiteral("a\tb"), false},
        {QStringLiteral("a\u3000b"), false},  // the ideographic blank
        {QStringLiteral("a`b"), false},
        {QStringLiteral("a\x01"), false},
        {QStringLiteral("a\u200bb"), false},               // an invisible format character
        {QString::fromUtf8("棋\xF0\x9F\x98\x80"), false},  // not in code page 936
        {QStringLiteral("a?b"), true},
    };
    for (const auto& c : cases) {
        const auto problem = nameProblem(c.name);
        EXPECT_EQ(!problem.has_value(), c.good) << c.name.toStdString();
        if (problem) {
            EXPECT_FALSE(problem->isEmpty());
        }
    }
}

TEST(LoginInput, ServerAddresses) {
    const struct {
        const char* text;
        const char* host;  // nullptr: refused
        int port;
    } cases[] = {
        {"example.org:5000", "example.org", 5000},
        {"127.0.0.1:1", "127.0.0.1", 1},
        {"[::1]:65535", "::1", 65535},
        {"::1:80", nullptr, 0},
        {"host:", nullptr, 0},
        {":80", nullptr, 0},
        {"host:0", nullptr, 0},
        {"host:65536", nullptr, 0},
        {"host:8x", nullptr, 0},
        {"[]:80", nullptr, 0},
    };
    for (const auto& c : cases) {
        const auto address = parseServerAddress(QString::fromUtf8(c.text));
        ASSERT_EQ(address.has_value(), c.host != nullptr) << c.text;
        if (!address) continue;
        EXPECT_EQ(address->host, QString::fromUtf8(c.host)) << c.text;
        EXPECT_EQ(address->port, c.port) << c.text;
    }
    EXPECT_FALSE(serverProblem(QStringLiteral("h"), 80).has_value());
    EXPECT_TRUE(serverProblem(QString(), 80).has_value());
    EXPECT_TRUE(serverProblem(QStringLiteral("a b"), 80).has_value());
    EXPECT_TRUE(serverProblem(QStringLiteral("h"), 0).has_value());
    EXPECT_TRUE(serverProblem(QStringLiteral("h"), 65536).has_value());
}

TEST(LoginInput, OnlyThisMachineIsLoopback) {
    const struct {
        const char* host;
        bool loopback;
    } cases[] = {{"127.0.0.1", true},
                 {"127.1.2.3", true},
                 {"::1", true},
                 {"localhost", true},
                 {"LocalHost", true},
                 {"0.0.0.0", false},
                 {"10.0.0.1", false},
                 {"example.org", false},
                 {"localhost.evil.org", false},
                 {"::ffff:8.8.8.8", false},
                 {"", false}};
    for (const auto& c : cases)
        EXPECT_EQ(isLoopbackHost(QString::fromUtf8(c.host)), c.loopback) << c.host;
}

TEST(LoginInput, ANewPasswordIsTypedTwiceAndMustTravel) {
    const struct {
        QString password, again;
        const char* problem;  // nullptr: none
    } cases[] = {
        {"secret", "secret", nullptr},
        {"", "", "请输入密码"},
        {"secret", "Secret", "两次输入的密码不一致"},
        {"secret", "", "两次输入的密码不一致"},
        {"a`b", "a`b", "密码不能含有 ` 字符"},
        {QString(129, u'x'), QString(129, u'x'), "密码太长（最多 128 字节）"},
        {QString(43, u'棋'), QString(43, u'棋'), "密码太长（最多 128 字节）"},  // 3 bytes each
        {QString(42, u'棋'), QString(42, u'棋'), nullptr},
    };
    for (const auto& c : cases) {
        const auto problem = newPasswordProblem(c.password, c.again);
        if (c.problem == nullptr) {
            EXPECT_FALSE(problem) << c.password.toStdString();
        } else {
            EXPECT_EQ(problem.value_or(QString()), QString::fromUtf8(c.problem))
                << c.password.toStdString();
        }
    }
}

TEST(HallCommandLine, FillsTheLoginAndFindsTheTableClient) {
    const struct {
        QStringList words;
        bool ok;
        const char* host;
        int port;
        const char* name;
        const char* ticket;  // nullptr: none given
        const char* tableClient;
    } cases[] = {
        {{}, true, "127.0.0.1", 0, "", nullptr, "/opt/hall/game/xqtable"},
        {{"--server", "example.org:5000", "--name", "张三", "--ticket", "abc~!", "--table-client",
          "/x/xqtable"},
         true,
         "example.org",
         5000,
         "张三",
         "abc~!",
         "/x/xqtable"},
        {{"--server", "[::1]:7"}, true, "::1", 7, "", nullptr, "/opt/hall/game/xqtable"},
        {{"--server", "otherhost"}, true, "otherhost", 0, "", nullptr, "/opt/hall/game/xqtable"},
        {{"--server", "otherhost:"}, false, "", 0, "", nullptr, ""},
        {{"--server", "h:99999"}, false, "", 0, "", nullptr, ""},
        {{"--ticket", "a b"}, false, "", 0, "", nullptr, ""},
        {{"--ticket", "-"}, false, "", 0, "", nullptr, ""},
        {{"--ticket", QString(65, u'x')}, false, "", 0, "", nullptr, ""},
        {{"--bogus"}, false, "", 0, "", nullptr, ""},
        {{"stray"}, false, "", 0, "", nullptr, ""},
    };
    for (const auto& c : cases) {
        HallCommandLine line;
        const bool ok = line.parse(QStringList{QStringLiteral("xqhall")} + c.words,
                                   QStringLiteral("/opt/hall"));
        const std::string what = c.words.join(u' ').toStdString();
        ASSERT_EQ(ok, c.ok) << what << ": " << line.error().toStdString();
        if (!ok) {
            EXPECT_FALSE(line.error().isEmpty()) << what;
            continue;
        }
        const HallOptions& o = line.options();
        EXPECT_EQ(o.host, QString::fromUtf8(c.host)) << what;
        EXPECT_EQ(o.port, c.port) << what;
        EXPECT_EQ(o.name, QString::fromUtf8(c.name)) << what;
        // Without one the guest's kept ticket is used at the login.
        EXPECT_EQ(o.ticket, QString::fromUtf8(c.ticket)) << what;
        EXPECT_EQ(o.tableClient, QString::fromUtf8(c.tableClient)) << what;
    }
}

}  // namespace
}  // namespace xq::hall
