// The hall over TLS against a fake hall server with certificates made in the test: a self-signed
// certificate is pinned on first use and refused once it changes, one an authority signed is
// verified, and the table client is told to trust the same.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "../support/eventually.h"
#include "../support/fake_hall_server.h"
#include "../support/recording_launcher.h"
#include "../support/test_certificate.h"
#include "hall/hall_client.h"
#include "hall_test_places.h"

namespace xq::hall {
namespace {

using test::Eventually;

struct TlsHall {
    test::RecordingLauncher launcher;
    HallClient client{launcher};
    QStringList failures;

    explicit TlsHall(HallSettings& settings) {
        client.setTicket(QStringLiteral("5ec2e7"));
        client.setSettings(&settings);
        client.setEncrypted(true);
        QObject::connect(&client, &HallClient::loginFailed,
                         [this](const QString& r) { failures << r; });
    }
    // The reason the login failed; empty when it got in.
    QString logIn(quint16 port, const QString& password = {}) {
        if (const auto problem = client.login(kHost, port, QStringLiteral("张三"), password))
            return *problem;
        Eventually(
            [&] { return client.state() == HallClient::State::LoggedIn || !failures.isEmpty(); });
        return failures.value(0);
    }
    // What the table client started from here for this table would be told to trust.
    QString tableTls(int table) {
        client.sit(table, 0);
        if (!Eventually([&] { return !launcher.launches.isEmpty(); })) return QStringLiteral("?");
        return launcher.launches.back().environment.value(QStringLiteral("XQ_TLS"));
    }
};

TEST(HallTls, ASelfSignedCertificateIsPinnedOnFirstUseAndRefusedOnceItChanges) {
    if (!test::CertificateMaker::available()) GTEST_SKIP() << "no openssl program";
    test::CertificateMaker maker;
    const auto first = maker.selfSigned(), second = maker.selfSigned();
    ASSERT_TRUE(first && second);
    const QString pin = certificateFingerprint(first->certificate);
    const QString changed = certificateFingerprint(second->certificate);
    QTemporaryDir home;
    HallSettings settings(home.filePath(QStringLiteral("xqhall.ini")));
    test::FakeHallServer server(2, first->serverConfiguration());
    server.useAccounts();
    server.addAccount(QStringLiteral("张三"), QStringLiteral("secret"));

    {
        TlsHall hall(settings);
        ASSERT_EQ(hall.logIn(server.port(), QStringLiteral("secret")), QString());
        EXPECT_TRUE(hall.client.tls().firstUse);
        EXPECT_EQ(hall.client.tls().fingerprint, pin);
        EXPECT_EQ(settings.pin(kHost, server.port()), pin);
        EXPECT_EQ(hall.tableTls(1), QStringLiteral("pin:") + pin);
        hall.client.logout();
    }
    // The hall started again: the same certificate passes, as the pinned one.
    {
        HallSettings reread(home.filePath(QStringLiteral("xqhall.ini")));
        TlsHall hall(reread);
        ASSERT_EQ(hall.logIn(server.port(), QStringLiteral("secret")), QString());
        EXPECT_TRUE(hall.client.tls().accepted);
        EXPECT_FALSE(hall.client.tls().firstUse);
        EXPECT_EQ(hall.tableTls(2), QStringLiteral("pin:") + pin);
        hall.client.logout();
    }
    // Another certificate: refused, with both fingerprints, before the password goes.
    server.setTls(second->serverConfiguration());
    const int hellos = server.hellos.size();
    {
        TlsHall hall(settings);
        const QString refusal = hall.logIn(server.port(), QStringLiteral("secret"));
        EXPECT_TRUE(refusal.startsWith(QStringLiteral("服务器证书已改变")))
            << refusal.toStdString();
        EXPECT_TRUE(refusal.contains(readableFingerprint(pin)));
        EXPECT_TRUE(refusal.contains(readableFingerprint(changed)));
        EXPECT_TRUE(refusal.endsWith(QStringLiteral("可能有人冒充服务器，已断开连接")));
        EXPECT_EQ(hall.client.state(), HallClient::State::LoggedOut);
        EXPECT_EQ(settings.pin(kHost, server.port()), pin) << "the pin is kept";
    }
    EXPECT_EQ(server.hellos.size(), hellos);
    // Forgotten, the new one is pinned in its place.
    EXPECT_TRUE(settings.forgetPin(kHost, server.port()));
    EXPECT_FALSE(settings.forgetPin(kHost, server.port()));
    TlsHall hall(settings);
    ASSERT_EQ(hall.logIn(server.port(), QStringLiteral("secret")), QString());
    EXPECT_EQ(settings.pin(kHost, server.port()), changed);
}

TEST(HallTls, ACertificateAnAuthoritySignedIsVerifiedAndNeedsNoPin) {
    if (!test::CertificateMaker::available()) GTEST_SKIP() << "no openssl program";
    test::CertificateMaker maker;
    const auto signedOne = maker.signedByAuthority();
    ASSERT_TRUE(signedOne);
    // The system trusts the test's authority while the test runs.
    const QSslConfiguration before = QSslConfiguration::defaultConfiguration();
    QSslConfiguration trusting = before;
    trusting.addCaCertificate(signedOne->authority);
    QSslConfiguration::setDefaultConfiguration(trusting);

    HallSettings settings;
    test::FakeHallServer server(2, signedOne->serverConfiguration());
    TlsHall hall(settings);
    EXPECT_EQ(hall.logIn(server.port()), QString());
    EXPECT_TRUE(hall.client.tls().verified);
    EXPECT_TRUE(settings.pin(kHost, server.port()).isEmpty());
    EXPECT_EQ(hall.tableTls(1), QStringLiteral("verify"));
    // Even where another certificate was pinned before.
    hall.client.logout();
    settings.setPin(kHost, server.port(), QString(64, u'a'));
    TlsHall again(settings);
    EXPECT_EQ(again.logIn(server.port()), QString());
    EXPECT_TRUE(again.client.tls().verified);
    QSslConfiguration::setDefaultConfiguration(before);
}

TEST(HallTls, APasswordNeverTravelsUnencryptedToAnotherMachine) {
    HallSettings settings;
    const struct {
        const char* what;
        bool encrypted;
        QString host;
        bool refused;
    } cases[] = {
        {"plain to another machine", false, "192.0.2.7", true},
        {"plain to this machine", false, "127.0.0.1", false},
        {"encrypted to another machine", true, "192.0.2.7", false},
    };
    for (const auto& c : cases) {
        TlsHall hall(settings);
        hall.client.setEncrypted(c.encrypted);
        const auto problem =
            hall.client.login(c.host, 5000, QStringLiteral("张三"), QStringLiteral("secret"));
        EXPECT_EQ(problem.has_value(), c.refused) << c.what;
        if (c.refused) {
            EXPECT_EQ(*problem, QStringLiteral("密码只能经加密连接发送：请勾选“加密连接”"));
        }
        hall.client.logout();
    }
}

TEST(HallTls, APlainServerIsToldWhenTheHallAsksForEncryption) {
    HallSettings settings;
    test::FakeHallServer plain;
    TlsHall hall(settings);
    const QString refusal = hall.logIn(plain.port());
    EXPECT_TRUE(refusal.startsWith(QStringLiteral("无法建立加密连接"))) << refusal.toStdString();
    EXPECT_TRUE(settings.pin(kHost, plain.port()).isEmpty());
}

}  // namespace
}  // namespace xq::hall
