// Accounts and TLS against the real room server with its database: registration, the refusals,
// the change of password, a hall started again, the grant's ticket in the table client's
// environment, and the hall and the real table window over TLS with the room's certificate.

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "../support/recording_launcher.h"
#include "../support/server_process.h"
#include "../support/test_certificate.h"
#include "hall/hall_client.h"
#include "hall/table_launcher.h"
#include "hall_test_places.h"
#include "hallui/hall_window.h"

namespace xq::hall {
namespace {

using test::Eventually;

struct Hall {
    test::RecordingLauncher launcher;
    HallClient client{launcher};
    QStringList failures;
    int changed = 0;
    QStringList refusedChanges;

    Hall() {
        QObject::connect(&client, &HallClient::loginFailed,
                         [this](const QString& r) { failures << r; });
        QObject::connect(&client, &HallClient::passwordChanged, [this] { ++changed; });
        QObject::connect(&client, &HallClient::passwordChangeRefused,
                         [this](const QString& r) { refusedChanges << r; });
    }
    // The reason the login failed; empty when it got in.
    QString outcome() {
        Eventually(
            [&] { return client.state() == HallClient::State::LoggedIn || !failures.isEmpty(); });
        return client.state() == HallClient::State::LoggedIn
                   ? QString()
                   : failures.value(0, QStringLiteral("?"));
    }
    QString logIn(quint16 port, const QString& name, const QString& password) {
        if (const auto problem = client.login(kHost, port, name, password)) return *problem;
        return outcome();
    }
    QString registerAs(quint16 port, const QString& name, const QString& password) {
        if (const auto problem = client.registerAccount(kHost, port, name, password))
            return *problem;
        return outcome();
    }
};

TEST(RoomAccounts, FromRegistrationToAHallStartedAgain) {
    QTemporaryDir dir;
    test::ServerProcess server({QStringLiteral("--tables"), QStringLiteral("2"),
                                QStringLiteral("--db"), dir.filePath(QStringLiteral("room.db"))});
    ASSERT_NE(server.port(), 0);
    const quint16 port = server.port();

    Hall zhang;
    ASSERT_EQ(zhang.registerAs(port, QStringLiteral("张三"), QStringLiteral("first-pass")),
              QString());
    EXPECT_TRUE(zhang.client.isAccount());

    // The grant's ticket goes to the table client in its environment only.
    zhang.client.sit(1, 0);
    ASSERT_TRUE(Eventually([&] { return !zhang.launcher.launches.isEmpty(); }));
    const auto& launch = zhang.launcher.launches[0];
    ASSERT_EQ(launch.arguments.size(), 9);
    EXPECT_EQ(launch.arguments[5], QStringLiteral("-"));
    EXPECT_EQ(launch.arguments[7], QStringLiteral("张三"));
    const QString ticket = launch.environment.value(QStringLiteral("XQ_TICKET"));
    EXPECT_EQ(ticket.size(), 32);
    EXPECT_FALSE(launch.arguments.join(u' ').contains(ticket));

    // What the server refuses, in its words.
    const struct {
        const char* what;
        bool registering;
        QString name, password, refusal;
    } refusals[] = {
        {"a wrong password", false, "张三", "wrong-pass", "用户名或密码错误"},
        {"no such account", false, "王五", "first-pass", "用户名或密码错误"},
        {"a taken name", true, "张三", "other-pass", "用户名已被注册"},
        {"a guest", false, "王五", "", "本房间需要账号：请输入密码登录，或先注册"},
    };
    for (const auto& c : refusals) {
        Hall other;
        EXPECT_EQ(c.registering ? other.registerAs(port, c.name, c.password)
                                : other.logIn(port, c.name, c.password),
                  c.refusal)
            << c.what;
    }

    // The change of password: a wrong old one is refused, the right one changes it.
    ASSERT_FALSE(
        zhang.client.changePassword(QStringLiteral("not-it"), QStringLiteral("second-pass")));
    ASSERT_TRUE(Eventually([&] { return !zhang.refusedChanges.isEmpty(); }));
    EXPECT_EQ(zhang.refusedChanges.front(), QStringLiteral("原密码错误"));
    ASSERT_FALSE(
        zhang.client.changePassword(QStringLiteral("first-pass"), QStringLiteral("second-pass")));
    ASSERT_TRUE(Eventually([&] { return zhang.changed == 1; }));

    // A hall started again: the old password no longer opens the account, the new one does,
    // and takes the older connection's place.
    Hall withOld;
    EXPECT_EQ(withOld.logIn(port, QStringLiteral("张三"), QStringLiteral("first-pass")),
              QStringLiteral("用户名或密码错误"));
    Hall restarted;
    EXPECT_EQ(restarted.logIn(port, QStringLiteral("张三"), QStringLiteral("second-pass")),
              QString());
    EXPECT_TRUE(Eventually([&] { return zhang.client.state() == HallClient::State::LoggedOut; }));

    // A name typed otherwise finds the account; the hall goes on with the stored spelling.
    Hall wang;
    ASSERT_EQ(wang.registerAs(port, QStringLiteral("Wang"), QStringLiteral("wang-pass")),
              QString());
    wang.client.logout();
    Hall shouting;
    ASSERT_EQ(shouting.logIn(port, QStringLiteral("WANG"), QStringLiteral("wang-pass")), QString());
    EXPECT_EQ(shouting.client.userName(), QStringLiteral("Wang"));
    if (HasFailure()) server.dumpLog();
}

// The hall window over TLS with the room's self-signed certificate, and the real table window it
// starts, trusting the same certificate by the pin the hall hands it. The room takes nothing but
// TLS: the table window's seat proves it spoke it.
TEST(RoomAccounts, TheHallAndItsTableWindowSpeakTlsWithThePinnedCertificate) {
    if (!test::CertificateMaker::available()) GTEST_SKIP() << "no openssl program";
    test::CertificateMaker maker;
    const auto cert = maker.selfSigned(), other = maker.selfSigned();
    ASSERT_TRUE(cert && other);
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("room.db"));
    test::ServerProcess server({QStringLiteral("--tables"), QStringLiteral("2"),
                                QStringLiteral("--db"), db, QStringLiteral("--tls-cert"),
                                cert->certificateFile, QStringLiteral("--tls-key"), cert->keyFile,
                                QStringLiteral("--tls-only")});
    ASSERT_NE(server.port(), 0);
    const quint16 port = server.port();

    HallSettings settings;
    ProcessLauncher launcher;
    HallClient client(launcher);
    client.setTableClient(kHallDir + QStringLiteral("/game/xqtable"));
    client.setSettings(&settings);
    HallWindow window(client, kHallDir);
    window.setLoginValues(QStringLiteral("张三"), kHost, port);
    window.loginBox().setEncrypted(true);
    window.show();
    LoginBox& box = window.loginBox();
    box.modeButton().click();
    box.passwordEdit().setText(QStringLiteral("tls-pass"));
    box.againEdit().setText(QStringLiteral("tls-pass"));
    QTest::mouseClick(&box.loginButton(), Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] { return window.showsRoom(); }))
        << box.message().text().toStdString();
    EXPECT_TRUE(client.tls().firstUse);
    EXPECT_EQ(settings.pin(kHost, port), certificateFingerprint(cert->certificate));

    TableGrid& grid = window.room().grid();
    QTest::mouseDClick(&grid, Qt::LeftButton, {}, grid.seatRect(1, 0).center());
    EXPECT_TRUE(Eventually(
        [&] { return server.log().contains("table 1: login 张三 takes seat 0"); }, 60000));
    for (QProcess* p : launcher.findChildren<QProcess*>()) {
        p->kill();
        p->waitForFinished(5000);
    }
    client.logout();

    // The room comes back on its port with another certificate: refused, and said why.
    server.kill();
    server.start({QStringLiteral("--port"), QString::number(port), QStringLiteral("--db"), db,
                  QStringLiteral("--tls-cert"), other->certificateFile, QStringLiteral("--tls-key"),
                  other->keyFile, QStringLiteral("--tls-only")});
    ASSERT_EQ(server.port(), port);
    box.passwordEdit().setText(QStringLiteral("tls-pass"));
    QTest::mouseClick(&box.loginButton(), Qt::LeftButton);
    EXPECT_TRUE(Eventually([&] {
        return box.message().text().startsWith(QStringLiteral("服务器证书已改变"));
    })) << box.message().text().toStdString();
    EXPECT_FALSE(window.showsRoom());
    if (HasFailure()) server.dumpLog();
}

}  // namespace
}  // namespace xq::hall
