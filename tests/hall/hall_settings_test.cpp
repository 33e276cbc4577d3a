#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "hall/hall_settings.h"

namespace xq::hall {
namespace {

// Pins of servers whose names the settings file must escape are kept apart, and read back by a
// hall started again; the login's values come back too, and never a password.
TEST(HallSettings, KeepsEachServersPinAndTheLastLoginAcrossRuns) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString path = home.filePath(QStringLiteral("xqhall.ini"));
    const struct {
        const char* host;
        int port;
        QString pin;
    } servers[] = {{"127.0.0.1", 5000, QString(64, u'a')},
                   {"127.0.0.1", 5001, QString(64, u'b')},
                   {"::1", 5000, QString(64, u'c')},
                   {"room/club", 5000, QString(64, u'd')},
                   {"棋社.example", 5000, QString(64, u'e')}};
    {
        HallSettings settings(path);
        for (const auto& s : servers)
            settings.setPin(QString::fromUtf8(s.host), s.port, s.pin);
        settings.setLogin({QStringLiteral("张三"), QStringLiteral("::1"), 5000, true});
    }
    HallSettings again(path);
    for (const auto& s : servers)
        EXPECT_EQ(again.pin(QString::fromUtf8(s.host), s.port), s.pin) << s.host << ":" << s.port;
    EXPECT_TRUE(again.pin(QStringLiteral("127.0.0.2"), 5000).isEmpty());
    const HallSettings::Login login = again.login();
    EXPECT_EQ(login.name, QStringLiteral("张三"));
    EXPECT_EQ(login.host, QStringLiteral("::1"));
    EXPECT_EQ(login.port, 5000);
    EXPECT_EQ(login.encrypted, std::optional<bool>(true));

    EXPECT_TRUE(again.forgetPin(QStringLiteral("::1"), 5000));
    EXPECT_TRUE(HallSettings(path).pin(QStringLiteral("::1"), 5000).isEmpty());
    EXPECT_EQ(HallSettings(path).pin(QStringLiteral("127.0.0.1"), 5000), QString(64, u'a'));

    // A hall that never logged in has nothing; a port out of range is no port.
    HallSettings fresh(home.filePath(QStringLiteral("none.ini")));
    EXPECT_FALSE(fresh.login().encrypted.has_value());
    EXPECT_TRUE(fresh.login().host.isEmpty());
    {
        QFile file(home.filePath(QStringLiteral("bad.ini")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[login]\nport=70000\n");
    }
    EXPECT_EQ(HallSettings(home.filePath(QStringLiteral("bad.ini"))).login().port, 0);
}

}  // namespace
}  // namespace xq::hall
