// How the clients trust a server: the policy's text as a hall hands it on, the judgement of a
// certificate and its faults, and the table's socket against a TLS server made in the test.

#include <gtest/gtest.h>

#include <QSslServer>

#include "../support/eventually.h"
#include "../support/test_certificate.h"
#include "socket/room_socket.h"
#include "socket/tls_policy.h"

namespace xq {
namespace {

using test::Eventually;
using Mode = TlsPolicy::Mode;

const QString kPin = QString(64, u'a');

TEST(TlsPolicy, ReadsBackAsWrittenAndUnknownWordsAreTheStrictest) {
    const struct {
        QString text;
        TlsPolicy policy;
        QString written;
    } cases[] = {
        {"", {Mode::Plain, {}}, ""},
        {"verify", {Mode::Verify, {}}, "verify"},
        {"pin:" + kPin, {Mode::Pin, kPin}, "pin:" + kPin},
        {"pin:" + kPin.toUpper(), {Mode::Pin, kPin}, "pin:" + kPin},
        {"pin:" + kPin.left(63), {Mode::Verify, {}}, "verify"},
        {"pin:" + kPin + "0", {Mode::Verify, {}}, "verify"},
        {"pin:" + QString(64, u'g'), {Mode::Verify, {}}, "verify"},
        {"plain", {Mode::Verify, {}}, "verify"},
        {"PIN:" + kPin, {Mode::Verify, {}}, "verify"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tlsPolicyFromText(c.text), c.policy) << c.text.toStdString();
        EXPECT_EQ(tlsPolicyText(tlsPolicyFromText(c.text)), c.written) << c.text.toStdString();
    }
    // First use is the hall's; handed on, it is plain verification.
    EXPECT_EQ(tlsPolicyText({Mode::FirstUse, {}}), QStringLiteral("verify"));
    EXPECT_EQ(readableFingerprint(QStringLiteral("0aff10")), QStringLiteral("0A:FF:10"));
}

TEST(judgeCertificate, AcceptsWhatThePolicyTrustsAndSaysWhyNot) {
    if (!test::CertificateMaker::available()) GTEST_SKIP() << "no openssl program";
    test::CertificateMaker maker;
    const auto own = maker.selfSigned();
    const auto other = maker.selfSigned();
    ASSERT_TRUE(own && other);
    const QSslCertificate& cert = own->certificate;
    const QString fingerprint = certificateFingerprint(cert);
    ASSERT_EQ(fingerprint.size(), 64);
    const QSslError selfSigned(QSslError::SelfSignedCertificate, cert);
    const QSslError inChain(QSslError::SelfSignedCertificateInChain, cert);
    const QSslError wrongHost(QSslError::HostNameMismatch, cert);
    const QSslError expired(QSslError::CertificateExpired, cert);
    const QSslError othersFault(QSslError::SelfSignedCertificate, other->certificate);
    enum Outcome { Verified, FirstUse, Pinned, Refused };
    const struct {
        const char* what;
        TlsPolicy policy;
        QList<QSslError> errors;
        Outcome outcome;
        const char* warning;  // a part of it
    } cases[] = {
        {"no fault, verify", {Mode::Verify, {}}, {}, Verified, ""},
        {"no fault, first use", {Mode::FirstUse, {}}, {}, Verified, ""},
        {"no fault, another pin", {Mode::Pin, kPin}, {}, Verified, ""},
        {"self-signed, first use", {Mode::FirstUse, {}}, {selfSigned}, FirstUse, ""},
        {"self-signed for another host, first use",
         {Mode::FirstUse, {}},
         {selfSigned, wrongHost},
         FirstUse,
         ""},
        {"self-signed in the chain, first use", {Mode::FirstUse, {}}, {inChain}, FirstUse, ""},
        {"expired too, first use",
         {Mode::FirstUse, {}},
         {selfSigned, expired},
         Refused,
         "服务器证书无法验证"},
        {"another certificate's fault, first use",
         {Mode::FirstUse, {}},
         {othersFault},
         Refused,
         "服务器证书无法验证"},
        {"self-signed, verify", {Mode::Verify, {}}, {selfSigned}, Refused, "服务器证书无法验证"},
        {"self-signed, its pin", {Mode::Pin, fingerprint}, {selfSigned, wrongHost}, Pinned, ""},
        {"expired, its pin", {Mode::Pin, fingerprint}, {expired}, Pinned, ""},
        {"self-signed, another pin", {Mode::Pin, kPin}, {selfSigned}, Refused, "服务器证书已改变"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TlsJudgement j = judgeCertificate(c.policy, cert, c.errors);
        EXPECT_EQ(j.fingerprint, fingerprint);
        EXPECT_EQ(j.accepted, c.outcome != Refused);
        EXPECT_EQ(j.verified, c.outcome == Verified);
        EXPECT_EQ(j.firstUse, c.outcome == FirstUse);
        EXPECT_EQ(j.warning.isEmpty(), c.outcome != Refused);
        EXPECT_TRUE(j.warning.contains(QString::fromUtf8(c.warning))) << j.warning.toStdString();
    }
    // A changed certificate is named with both fingerprints, for the user to compare.
    const TlsJudgement changed = judgeCertificate({Mode::Pin, kPin}, cert, {selfSigned});
    EXPECT_TRUE(changed.warning.contains(readableFingerprint(kPin)));
    EXPECT_TRUE(changed.warning.contains(readableFingerprint(fingerprint)));
    EXPECT_TRUE(changed.warning.contains(QStringLiteral("可能有人冒充服务器，已断开连接")));
    EXPECT_FALSE(judgeCertificate({Mode::FirstUse, {}}, QSslCertificate(), {selfSigned}).accepted);
}

// The table's socket to a TLS server with a self-signed certificate, as the hall hands the
// policy on: the hello arrives through the encryption only when the policy trusts the server.
TEST(RoomSocketTls, ConnectsToTheServerItsPolicyTrusts) {
    if (!test::CertificateMaker::available()) GTEST_SKIP() << "no openssl program";
    test::CertificateMaker maker;
    const auto cert = maker.selfSigned();
    ASSERT_TRUE(cert);
    const QString fingerprint = certificateFingerprint(cert->certificate);
    const struct {
        const char* what;
        TlsPolicy policy;
        bool connects;
        const char* reason;  // a part of it, when it does not
    } cases[] = {
        {"its pin", {Mode::Pin, fingerprint}, true, ""},
        {"another pin", {Mode::Pin, kPin}, false, "服务器证书已改变"},
        {"verified only", {Mode::Verify, {}}, false, "服务器证书无法验证"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QSslServer server;
        server.setSslConfiguration(cert->serverConfiguration());
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        RoomSocket socket;
        int connected = 0, failed = 0;
        QObject::connect(&socket, &RoomSocket::connected, [&] { ++connected; });
        QObject::connect(&socket, &RoomSocket::failed, [&] { ++failed; });
        socket.setUserName(QStringLiteral("张三"));
        socket.setTicket(QStringLiteral("0123abcd"));
        socket.setTlsPolicy(c.policy);
        socket.connectTo(QStringLiteral("127.0.0.1"), server.serverPort(), 5);
        ASSERT_TRUE(Eventually([&] { return connected + failed > 0; }));
        EXPECT_EQ(connected, c.connects ? 1 : 0);
        if (!c.connects) {
            EXPECT_TRUE(socket.failureReason().contains(QString::fromUtf8(c.reason)))
                << socket.failureReason().toStdString();
            EXPECT_FALSE(server.hasPendingConnections());
            continue;
        }
        EXPECT_TRUE(socket.failureReason().isEmpty());
        ASSERT_TRUE(Eventually([&] { return server.hasPendingConnections(); }));
        QTcpSocket* peer = server.nextPendingConnection();
        const QByteArray hello = helloText(QStringLiteral("张三"), QStringLiteral("0123abcd"));
        ASSERT_TRUE(Eventually([&] { return peer->bytesAvailable() >= 4 + hello.size(); }));
        EXPECT_EQ(peer->readAll().mid(4), hello);
        EXPECT_TRUE(socket.isConnected());
    }
}

TEST(RoomSocketTls, APlainServerIsToldFromAFailedHandshake) {
    QTcpServer plain;
    ASSERT_TRUE(plain.listen(QHostAddress::LocalHost, 0));
    // It takes the connection and answers the handshake with a frame of its own.
    QObject::connect(&plain, &QTcpServer::newConnection, [&] {
        QTcpSocket* peer = plain.nextPendingConnection();
        peer->write(QByteArray("\x00\x00\x00\x05hello", 9));
        peer->disconnectFromHost();
    });
    RoomSocket socket;
    int failed = 0;
    QObject::connect(&socket, &RoomSocket::failed, [&] { ++failed; });
    socket.setTlsPolicy({Mode::Verify, {}});
    socket.connectTo(QStringLiteral("127.0.0.1"), plain.serverPort(), 5);
    ASSERT_TRUE(Eventually([&] { return failed == 1; }));
    EXPECT_TRUE(socket.failureReason().startsWith(QStringLiteral("无法建立加密连接")))
        << socket.failureReason().toStdString();
}

}  // namespace
}  // namespace xq
