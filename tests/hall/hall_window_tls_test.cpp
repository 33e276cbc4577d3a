// The hall window's side of TLS: the box that asks for it, what the room shows of the server's
// certificate, and the command that forgets a pin.

#include <gtest/gtest.h>

#include <QTest>

#include "../support/eventually.h"
#include "../support/fake_hall_server.h"
#include "../support/recording_launcher.h"
#include "../support/test_certificate.h"
#include "hall_test_places.h"
#include "hallui/hall_window.h"

namespace xq::hall {
namespace {

using test::Eventually;

struct Window {
    test::RecordingLauncher launcher;
    HallClient client{launcher};
    HallWindow window{client, kHallDir};
    QStringList questions;
    bool answer = true;

    Window() {
        client.setTicket(QStringLiteral("c0ffee"));
        window.confirm = [this](const QString& question) {
            questions << question;
            return answer;
        };
        window.resize(1000, 680);
        window.show();
    }
    LoginBox& box() { return window.loginBox(); }
};

TEST(HallWindowTls, TheBoxAsksForEncryptionUnlessTheServerIsThisMachine) {
    const struct {
        const char* host;
        bool encrypted;
    } cases[] = {{"127.0.0.1", false},
                 {"localhost", false},
                 {"::1", false},
                 {"xiangqi.example.org", true},
                 {"192.0.2.7", true}};
    for (const auto& c : cases) {
        Window w;
        w.window.setLoginValues(QStringLiteral("张三"), QString::fromUtf8(c.host), 5000);
        EXPECT_EQ(w.box().encrypted(), c.encrypted) << c.host;
    }
    // Typing another host changes it, until the user ticks or clears the box himself.
    Window w;
    w.window.setLoginValues(QStringLiteral("张三"), QStringLiteral("127.0.0.1"), 5000);
    QLineEdit& host = w.box().hostEdit();
    host.selectAll();
    QTest::keyClicks(&host, QStringLiteral("club.example.org"));
    EXPECT_TRUE(w.box().encrypted());
    w.box().encryptedBox().click();
    EXPECT_FALSE(w.box().encrypted());
    host.selectAll();
    QTest::keyClicks(&host, QStringLiteral("other.example.org"));
    EXPECT_FALSE(w.box().encrypted()) << "the user's own choice stands";

    // The choice is remembered with the server it was made for.
    Window next;
    next.client.setSettings(&w.client.settings());
    w.client.settings().setLogin({QStringLiteral("张三"), QStringLiteral("127.0.0.1"), 5000, true});
    next.window.setLoginValues(QStringLiteral("张三"), QStringLiteral("127.0.0.1"), 5000);
    EXPECT_TRUE(next.box().encrypted());
    next.window.setLoginValues(QStringLiteral("张三"), QStringLiteral("127.0.0.2"), 5000);
    EXPECT_FALSE(next.box().encrypted());
}

TEST(HallWindowTls, TheRoomShowsTheCertificateAndThePinCanBeForgotten) {
    if (!test::CertificateMaker::available()) GTEST_SKIP() << "no openssl program";
    test::CertificateMaker maker;
    const auto cert = maker.selfSigned();
    ASSERT_TRUE(cert);
    const QString fingerprint = readableFingerprint(certificateFingerprint(cert->certificate));
    test::FakeHallServer server(2, cert->serverConfiguration());
    Window w;
    w.window.setLoginValues(QStringLiteral("张三"), QStringLiteral("127.0.0.1"), server.port());
    w.box().setEncrypted(true);

    // Nothing pinned yet: nothing to forget, nothing asked.
    w.window.forgetPinAction().trigger();
    EXPECT_TRUE(w.questions.isEmpty());
    EXPECT_EQ(w.box().message().text(),
              QStringLiteral("没有保存 127.0.0.1:%1 的证书指纹").arg(server.port()));

    QTest::mouseClick(&w.box().loginButton(), Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] { return w.window.showsRoom(); }));
    const QLabel& security = w.window.room().security();
    EXPECT_EQ(security.text(), QStringLiteral("加密连接（首次连接，已记住证书指纹）"));
    EXPECT_TRUE(security.toolTip().contains(fingerprint));
    EXPECT_TRUE(w.window.room().chat().log().toPlainText().contains(fingerprint));

    // Asked first; no means no.
    w.answer = false;
    w.window.forgetPinAction().trigger();
    ASSERT_EQ(w.questions.size(), 1);
    EXPECT_TRUE(w.questions[0].contains(QStringLiteral("127.0.0.1:%1").arg(server.port())));
    EXPECT_FALSE(w.client.settings().pin(QStringLiteral("127.0.0.1"), server.port()).isEmpty());
    w.answer = true;
    w.window.forgetPinAction().trigger();
    EXPECT_TRUE(w.client.settings().pin(QStringLiteral("127.0.0.1"), server.port()).isEmpty());
    EXPECT_TRUE(w.window.room().status().text().startsWith(QStringLiteral("已清除")));

    // A plain connection says so.
    test::FakeHallServer plain;
    Window p;
    p.window.setLoginValues(QStringLiteral("李四"), QStringLiteral("127.0.0.1"), plain.port());
    QTest::mouseClick(&p.box().loginButton(), Qt::LeftButton);
    ASSERT_TRUE(Eventually([&] { return p.window.showsRoom(); }));
    EXPECT_EQ(p.window.room().security().text(), QStringLiteral("未加密"));
}

}  // namespace
}  // namespace xq::hall
