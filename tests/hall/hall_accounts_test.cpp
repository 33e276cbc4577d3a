// Accounts as the hall client meets them: logging in with a password, registering, the change of
// password, the grant's ticket handed on in the environment, and a guest's kept ticket.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "../support/eventually.h"
#include "../support/fake_hall_server.h"
#include "../support/recording_launcher.h"
#include "hall/hall_client.h"
#include "hall_test_places.h"

namespace xq::hall {
namespace {

using test::Eventually;

// A hall client with a launcher that only takes notes, and what it reported.
struct AccountsHall {
    test::RecordingLauncher launcher;
    HallClient client{launcher};
    QStringList failures, losses, refusedChanges;
    int changes = 0;

    explicit AccountsHall(const QString& ticketFolder = {}) {
        client.setTableClient(QStringLiteral("/opt/hall/game/xqtable"));
        if (ticketFolder.isEmpty()) {
            client.setTicket(QStringLiteral("5ec2e7"));
        } else {
            client.setTicketFolder(ticketFolder);
        }
        QObject::connect(&client, &HallClient::loginFailed,
                         [this](const QString& r) { failures << r; });
        QObject::connect(&client, &HallClient::connectionLost,
                         [this](const QString& r) { losses << r; });
        QObject::connect(&client, &HallClient::passwordChanged, [this] { ++changes; });
        QObject::connect(&client, &HallClient::passwordChangeRefused,
                         [this](const QString& r) { refusedChanges << r; });
    }
    bool loggedIn() {
        return Eventually([&] { return client.state() == HallClient::State::LoggedIn; });
    }
    // The reason the login failed; empty when it got in.
    QString outcome() {
        Eventually(
            [&] { return client.state() == HallClient::State::LoggedIn || !failures.isEmpty(); });
        return failures.value(0);
    }
};

TEST(HallAccounts, LoggingInAndRegisteringAreAnsweredAsTheServerSays) {
    const struct {
        const char* what;
        bool registering;
        QString name, password;
        QString refusal;  // empty: in, as `shownName`
        QString shownName;
    } cases[] = {
        {"the right password", false, "张三", "secret", {}, "张三"},
        {"a name spelt otherwise: the stored spelling", false, "LISI", "pass-word", {}, "LiSi"},
        {"a wrong password", false, "张三", "Secret", "用户名或密码错误", {}},
        {"no such account", false, "王五", "secret", "用户名或密码错误", {}},
        {"no password: a guest", false, "张三", "", "本房间需要账号：请输入密码登录，或先注册", {}},
        {"registering a new name", true, "赵六", "新密码", {}, "赵六"},
        {"registering a taken name", true, "lisi", "whatever", "用户名已被注册", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::FakeHallServer server;
        server.useAccounts();
        server.addAccount(QStringLiteral("张三"), QStringLiteral("secret"));
        server.addAccount(QStringLiteral("LiSi"), QStringLiteral("pass-word"));
        AccountsHall hall;
        const auto problem =
            c.registering ? hall.client.registerAccount(kHost, server.port(), c.name, c.password)
                          : hall.client.login(kHost, server.port(), c.name, c.password);
        ASSERT_FALSE(problem) << problem->toStdString();
        EXPECT_EQ(hall.outcome(), c.refusal);
        if (!c.refusal.isEmpty()) {
            EXPECT_EQ(hall.client.state(), HallClient::State::LoggedOut);
            continue;
        }
        EXPECT_EQ(hall.client.userName(), c.shownName);
        EXPECT_EQ(hall.client.isAccount(), !c.password.isEmpty());
        // The table client logs in with the server's spelling.
        hall.client.sit(1, 0);
        ASSERT_TRUE(Eventually([&] { return !hall.launcher.launches.isEmpty(); }));
        EXPECT_EQ(hall.launcher.launches[0].arguments.value(7), c.shownName);
        if (c.registering) {
            EXPECT_EQ(server.passwordOf(c.name), c.password);
            // The new account logs in again, from a hall started anew.
            hall.client.logout();
            AccountsHall again;
            ASSERT_FALSE(again.client.login(kHost, server.port(), c.name, c.password));
            EXPECT_EQ(again.outcome(), QString());
        }
    }
}

TEST(HallAccounts, InputThatCannotWorkIsToldBeforeAnythingIsSent) {
    test::FakeHallServer server;
    server.useAccounts();
    AccountsHall hall;
    const struct {
        const char* what;
        bool registering;
        QString name, password;
        QString problem;
    } cases[] = {
        {"a \"`\"", false, "张三", "a`b", "密码不能含有 ` 字符"},
        {"a control character", false, "张三", "a\tb", "密码不能含有控制字符"},
        {"129 bytes", false, "张三", QString(129, u'x'), "密码太长（最多 128 字节）"},
        {"registering without a password", true, "张三", "", "请输入密码"},
        {"registering a name with a blank", true, "张 三", "secret", "用户名不能含有空格"},
    };
    for (const auto& c : cases) {
        const auto problem =
            c.registering ? hall.client.registerAccount(kHost, server.port(), c.name, c.password)
                          : hall.client.login(kHost, server.port(), c.name, c.password);
        EXPECT_EQ(problem.value_or(QString()), c.problem) << c.what;
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(hall.client.state(), HallClient::State::LoggedOut);
    EXPECT_TRUE(server.hellos.isEmpty());
}

TEST(HallAccounts, ARoomOfGuestsSaysSoToAPassword) {
    test::FakeHallServer server;
    AccountsHall hall;
    ASSERT_FALSE(
        hall.client.login(kHost, server.port(), QStringLiteral("张三"), QStringLiteral("secret")));
    EXPECT_EQ(hall.outcome(), QStringLiteral("本房间不设账号：请不填密码，以访客身份登录"));
}

TEST(HallAccounts, TheChangeOfPasswordIsAnsweredAndTheNewOneLogsIn) {
    test::FakeHallServer server;
    server.useAccounts();
    server.addAccount(QStringLiteral("张三"), QStringLiteral("old-one"));
    AccountsHall hall;
    ASSERT_FALSE(
        hall.client.login(kHost, server.port(), QStringLiteral("张三"), QStringLiteral("old-one")));
    ASSERT_TRUE(hall.loggedIn());

    // What cannot work is told at once, and nothing goes.
    const struct {
        QString oldPassword, newPassword, problem;
    } local[] = {
        {"", "new-one", "请输入原密码"},
        {"old-one", "", "请输入新密码"},
        {"old-one", "old-one", "新密码与原密码相同"},
        {"old-one", "a`b", "新密码：密码不能含有 ` 字符"},
    };
    for (const auto& c : local)
        EXPECT_EQ(hall.client.changePassword(c.oldPassword, c.newPassword).value_or(QString()),
                  c.problem)
            << c.problem.toStdString();

    // A wrong old password: the server's reason.
    ASSERT_FALSE(hall.client.changePassword(QStringLiteral("wrong"), QStringLiteral("new-one")));
    EXPECT_EQ(hall.client.changePassword(QStringLiteral("wrong"), QStringLiteral("again")),
              QStringLiteral("正在修改密码，请稍候"));
    ASSERT_TRUE(Eventually([&] { return !hall.refusedChanges.isEmpty(); }));
    EXPECT_EQ(hall.refusedChanges, QStringList{QStringLiteral("原密码错误")});
    EXPECT_EQ(server.count<in::ChangePassword>(), 1);

    ASSERT_FALSE(hall.client.changePassword(QStringLiteral("old-one"), QStringLiteral("new-one")));
    ASSERT_TRUE(Eventually([&] { return hall.changes == 1; }));
    EXPECT_EQ(server.passwordOf(QStringLiteral("张三")), QStringLiteral("new-one"));
    hall.client.logout();

    // The old one no longer opens the account; the new one does.
    AccountsHall withOld;
    ASSERT_FALSE(withOld.client.login(kHost, server.port(), QStringLiteral("张三"),
                                      QStringLiteral("old-one")));
    EXPECT_EQ(withOld.outcome(), QStringLiteral("用户名或密码错误"));
    AccountsHall withNew;
    ASSERT_FALSE(withNew.client.login(kHost, server.port(), QStringLiteral("张三"),
                                      QStringLiteral("new-one")));
    EXPECT_EQ(withNew.outcome(), QString());

    // A server that does not answer: told so after the wait, and a new try may go.
    server.answerPasswordChanges = false;
    withNew.client.setAnswerTimeout(200);
    ASSERT_FALSE(
        withNew.client.changePassword(QStringLiteral("new-one"), QStringLiteral("third-one")));
    ASSERT_TRUE(Eventually([&] { return !withNew.refusedChanges.isEmpty(); }, 5000));
    EXPECT_EQ(withNew.refusedChanges.front(), QStringLiteral("服务器没有应答，密码可能没有修改"));
    EXPECT_FALSE(
        withNew.client.changePassword(QStringLiteral("new-one"), QStringLiteral("third-one")));
}

TEST(HallAccounts, AGuestHasNoPasswordToChange) {
    test::FakeHallServer server;
    AccountsHall hall;
    ASSERT_FALSE(hall.client.login(kHost, server.port(), QStringLiteral("张三")));
    ASSERT_TRUE(hall.loggedIn());
    EXPECT_FALSE(hall.client.isAccount());
    EXPECT_EQ(hall.client.changePassword(QStringLiteral("a"), QStringLiteral("b")),
              QStringLiteral("访客没有密码"));
}

TEST(HallAccounts, ALoginElsewhereTakesTheAccountsPlaceAndSaysWhy) {
    test::FakeHallServer server;
    server.useAccounts();
    server.addAccount(QStringLiteral("张三"), QStringLiteral("secret"));
    AccountsHall first;
    ASSERT_FALSE(
        first.client.login(kHost, server.port(), QStringLiteral("张三"), QStringLiteral("secret")));
    ASSERT_TRUE(first.loggedIn());
    AccountsHall second;
    ASSERT_FALSE(second.client.login(kHost, server.port(), QStringLiteral("张三"),
                                     QStringLiteral("secret")));
    ASSERT_TRUE(second.loggedIn());
    ASSERT_TRUE(Eventually([&] { return !first.losses.isEmpty(); }));
    EXPECT_EQ(first.losses.front(),
              QStringLiteral("与大厅服务器的连接已断开：你的账号已在别处登录"));
}

// The sixth word of the launch line is "-" always; the ticket is in the environment: the grant's,
// or the guest's own when a server of before grants without one.
TEST(HallAccounts, TheTableClientGetsItsTicketInTheEnvironment) {
    const struct {
        const char* what;
        bool accounts, grantTickets;
        QString expected;  // "grant": the ticket of the grant
    } cases[] = {
        {"an account, a ticket granted", true, true, "grant"},
        {"a guest, a ticket granted", false, true, "grant"},
        {"a guest, a server of before", false, false, "5ec2e7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::FakeHallServer server;
        server.grantTickets = c.grantTickets;
        if (c.accounts) {
            server.useAccounts();
            server.addAccount(QStringLiteral("张三"), QStringLiteral("secret"));
        }
        AccountsHall hall;
        ASSERT_FALSE(hall.client.login(kHost, server.port(), QStringLiteral("张三"),
                                       c.accounts ? QStringLiteral("secret") : QString()));
        ASSERT_TRUE(hall.loggedIn());
        hall.client.watch(1);  // refused: nobody to watch
        hall.client.sit(1, 1);
        ASSERT_TRUE(Eventually([&] { return !hall.launcher.launches.isEmpty(); }));
        const auto& launch = hall.launcher.launches[0];
        ASSERT_EQ(launch.arguments.size(), 9);
        EXPECT_EQ(launch.arguments[5], QStringLiteral("-"));
        const QString expected =
            c.expected == u"grant" ? server.grantedTickets.value(0) : c.expected;
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_EQ(launch.environment, (LaunchEnvironment{{QStringLiteral("XQ_TICKET"), expected}}));
        EXPECT_FALSE(launch.arguments.join(u' ').contains(expected));
    }
}

// Without a ticket given, a guest logs in with the one kept for his name in this room: the same
// after the hall is started again, so that the server lets the name back in.
TEST(HallAccounts, AGuestKeepsHisTicketFromOneRunToTheNext) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString tickets = folder.filePath(QStringLiteral("tickets"));
    test::FakeHallServer server;
    {
        AccountsHall first(tickets);
        ASSERT_FALSE(first.client.login(kHost, server.port(), QStringLiteral("张三")));
        ASSERT_TRUE(first.loggedIn());
        first.client.logout();
        ASSERT_TRUE(Eventually([&] { return server.inHall() == 0; }));
    }
    AccountsHall restarted(tickets);
    ASSERT_FALSE(restarted.client.login(kHost, server.port(), QStringLiteral("张三")));
    EXPECT_EQ(restarted.outcome(), QString()) << "the name is bound to the kept ticket";
    AccountsHall other(tickets);
    ASSERT_FALSE(other.client.login(kHost, server.port(), QStringLiteral("李四")));
    ASSERT_TRUE(other.loggedIn());

    ASSERT_EQ(server.helloTickets.size(), 3);
    EXPECT_EQ(server.helloTickets[0].size(), 32);
    EXPECT_EQ(server.helloTickets[1], server.helloTickets[0]);
    EXPECT_NE(server.helloTickets[2], server.helloTickets[0]) << "one ticket per name";
}

}  // namespace
}  // namespace xq::hall
