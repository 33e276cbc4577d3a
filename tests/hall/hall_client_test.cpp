#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTcpServer>

#include "../support/eventually.h"
#include "../support/fake_hall_server.h"
#include "../support/recording_launcher.h"
#include "hall/hall_client.h"
#include "startup/command_line.h"

namespace xq::hall {
namespace {

using test::Eventually;

// A hall client with a launcher that only takes notes, and what it reported.
struct Hall {
    test::RecordingLauncher launcher;
    HallClient client{launcher};
    QStringList failures, losses, refusals, notices;
    QList<std::pair<QString, QString>> chat;

    Hall() {
        client.setTableClient(QStringLiteral("/opt/hall/game/xqtable"));
        client.setTicket(QStringLiteral("5ec2e7"));
        QObject::connect(&client, &HallClient::loginFailed,
                         [this](const QString& r) { failures << r; });
        QObject::connect(&client, &HallClient::connectionLost,
                         [this](const QString& r) { losses << r; });
        QObject::connect(&client, &HallClient::reservationRefused,
                         [this](const QString& r) { refusals << r; });
        QObject::connect(&client, &HallClient::notice, [this](const QString& r) { notices << r; });
        QObject::connect(&client, &HallClient::chatLine,
                         [this](const QString& s, const QString& t) {
                             chat.append({s, t});
                         });
    }
    bool loginTo(quint16 port, const QString& name = QStringLiteral("张三")) {
        if (client.login(QStringLiteral("127.0.0.1"), port, name)) return false;
        return Eventually([&] { return client.state() == HallClient::State::LoggedIn; });
    }
};

TEST(HallClient, LogsInAndKeepsTheRoom) {
    test::FakeHallServer server(3);
    server.seat(2, 0, QStringLiteral("李四"), 1500);
    server.addPlayer(
        PlayerRow{QStringLiteral("王五"), 10009, 800, 0, 0, 0, 0, 0, 1, 0, Place::Seat0});
    Hall hall;
    ASSERT_TRUE(hall.loginTo(server.port()));
    EXPECT_EQ(server.hellos, QStringList{QStringLiteral("张三")});
    HallModel& model = hall.client.model();
    ASSERT_TRUE(model.ownRow().has_value());
    EXPECT_EQ(model.ownRow()->name, QStringLiteral("张三"));
    ASSERT_EQ(model.tables().size(), 3);
    EXPECT_EQ(model.table(2)->names[0], QStringLiteral("李四"));
    EXPECT_NE(model.players().find(QStringLiteral("王五")), nullptr);
    EXPECT_NE(model.players().find(QStringLiteral("张三")), nullptr);

    server.removePlayer(QStringLiteral("王五"));
    server.setTable(TableRow{3, {QStringLiteral("x"), QStringLiteral("y")}, {1, 2}, 4, true});
    ASSERT_TRUE(Eventually([&] { return model.table(3)->playing; }));
    EXPECT_EQ(model.players().find(QStringLiteral("王五")), nullptr);
    EXPECT_EQ(model.table(3)->spectators, 4);
}

TEST(HallClient, InputThatCannotWorkIsRefusedBeforeAnythingIsSent) {
    test::FakeHallServer server;
    Hall hall;
    for (const QString& name : {QString(), QStringLiteral("a b"), QStringLiteral("a`b")})
        EXPECT_TRUE(hall.client.login(QStringLiteral("127.0.0.1"), server.port(), name))
            << name.toStdString();
    EXPECT_TRUE(hall.client.login(QString(), server.port(), QStringLiteral("a")));
    EXPECT_TRUE(hall.client.login(QStringLiteral("127.0.0.1"), 0, QStringLiteral("a")));
    hall.client.setTicket(QStringLiteral("bad ticket"));
    EXPECT_TRUE(hall.client.login(QStringLiteral("127.0.0.1"), server.port(), QStringLiteral("a")));
    QCoreApplication::processEvents();
    EXPECT_EQ(hall.client.state(), HallClient::State::LoggedOut);
    EXPECT_TRUE(server.hellos.isEmpty());
}

TEST(HallClient, TellsWhyALoginFailed) {
    test::FakeHallServer server;
    Hall first;
    ASSERT_TRUE(first.loginTo(server.port()));

    // The name is taken: the server's reason is shown.
    Hall second;
    ASSERT_FALSE(
        second.client.login(QStringLiteral("127.0.0.1"), server.port(), QStringLiteral("张三")));
    ASSERT_TRUE(Eventually([&] { return !second.failures.isEmpty(); }));
    EXPECT_EQ(second.failures, QStringList{QStringLiteral("用户名 张三 已在大厅")});
    EXPECT_EQ(second.client.state(), HallClient::State::LoggedOut);

    // The name belongs to another ticket.
    first.client.logout();
    ASSERT_TRUE(Eventually([&] { return server.inHall() == 0; }));
    Hall thief;
    thief.client.setTicket(QStringLiteral("other"));
    ASSERT_FALSE(
        thief.client.login(QStringLiteral("127.0.0.1"), server.port(), QStringLiteral("张三")));
    ASSERT_TRUE(Eventually([&] { return !thief.failures.isEmpty(); }));
    EXPECT_EQ(thief.failures.front(), QStringLiteral("用户名 张三 已被他人使用"));

    // Nobody listens.
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    Hall lonely;
    ASSERT_FALSE(lonely.client.login(QStringLiteral("127.0.0.1"), closedPort, QStringLiteral("a")));
    ASSERT_TRUE(Eventually([&] { return !lonely.failures.isEmpty(); }));
    EXPECT_EQ(lonely.failures.front(), QStringLiteral("无法连接到大厅服务器"));

    // Somebody listens and says nothing.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    Hall waiting;
    waiting.client.setAnswerTimeout(200);
    ASSERT_FALSE(waiting.client.login(QStringLiteral("127.0.0.1"), silent.serverPort(),
                                      QStringLiteral("a")));
    ASSERT_TRUE(Eventually([&] { return !waiting.failures.isEmpty(); }, 5000));
    EXPECT_EQ(waiting.failures.front(), QStringLiteral("大厅服务器没有应答"));
    EXPECT_EQ(waiting.client.state(), HallClient::State::LoggedOut);
}

TEST(HallClient, EndsTheConnectionOnABrokenFrameAndIgnoresMalformedMessages) {
    test::FakeHallServer server;
    Hall hall;
    ASSERT_TRUE(hall.loginTo(server.port()));
    // Messages the codec cannot read are passed over; the next good one still counts.
    server.sendToAll(QByteArray("\xc9\x01", 2) + "not a row");
    server.sendToAll(QByteArray(1, static_cast<char>(250)));
    server.sendToAll(hall::chatLine(QStringLiteral("李四"), QStringLiteral("你好")));
    ASSERT_TRUE(Eventually([&] { return !hall.chat.isEmpty(); }));
    EXPECT_EQ(hall.client.state(), HallClient::State::LoggedIn);
    EXPECT_EQ(hall.client.model().players().rowCount(), 1);

    // A length past 1 MiB: the connection is over, the room is forgotten.
    server.sendBytesToAll(QByteArray("\x00\x10\x00\x01", 4));
    ASSERT_TRUE(Eventually([&] { return !hall.losses.isEmpty(); }));
    EXPECT_EQ(hall.losses.front(), QStringLiteral("与大厅服务器的连接已断开"));
    EXPECT_EQ(hall.client.state(), HallClient::State::LoggedOut);
    EXPECT_TRUE(hall.client.model().tables().isEmpty());
    EXPECT_TRUE(hall.failures.isEmpty());
}

TEST(HallClient, ChatLinesFitTheServersLimit) {
    test::FakeHallServer server;
    Hall hall;
    ASSERT_TRUE(hall.loginTo(server.port()));
    const struct {
        QString text;
        bool sent;
        bool refused;
    } cases[] = {
        {QString(), false, false},
        {QStringLiteral("大家好"), true, false},
        {QString(2047, u'a'), true, false},  // with its code byte, 2048 in all
        {QString(2048, u'a'), false, true},
        {QString(1023, u'棋'), true, false},  // two bytes each in the code page
        {QString(1024, u'棋'), false, true},
    };
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const auto& c = cases[i];
        EXPECT_EQ(hall.client.say(c.text).has_value(), c.refused) << i;
        // A marker after each case shows what, if anything, went before it.
        const QString marker = QStringLiteral("m%1").arg(i);
        EXPECT_FALSE(hall.client.say(marker).has_value());
        ASSERT_TRUE(Eventually([&] {
            const auto last = server.last<in::Say>();
            return last && last->text == marker;
        }));
        const auto& got = server.received;
        // Nothing before the first marker: no text of the cases can match that.
        const QString before =
            got.size() >= 2 ? std::get<in::Say>(got[got.size() - 2]).text : QStringLiteral("\n");
        EXPECT_EQ(before == c.text, c.sent) << i;
    }
    // The server relays what was said; it comes back as a chat line.
    ASSERT_TRUE(Eventually([&] { return hall.chat.size() >= 9; }));
    EXPECT_TRUE(
        hall.chat.contains(std::make_pair(QStringLiteral("张三"), QStringLiteral("大家好"))));
}

TEST(HallClient, AGrantStartsTheTableClientAndARefusalSaysWhy) {
    test::FakeHallServer server(2);
    server.seat(2, 1, QStringLiteral("李四"), 1200);
    Hall hall;
    ASSERT_TRUE(hall.loginTo(server.port()));
    hall.client.sit(1, 1);
    ASSERT_TRUE(Eventually([&] { return !hall.launcher.launches.isEmpty(); }));
    ASSERT_EQ(server.count<in::Reserve>(), 1);
    EXPECT_EQ(server.last<in::Reserve>()->table, 1);
    EXPECT_EQ(server.last<in::Reserve>()->place, Place::Seat1);
    const auto& launch = hall.launcher.launches.front();
    EXPECT_EQ(launch.program, QStringLiteral("/opt/hall/game/xqtable"));
    EXPECT_EQ(launch.arguments,
              (QStringList{launchToken(), QStringLiteral("127.0.0.1"),
                           QString::number(server.port()), QStringLiteral("中国象棋"),
                           QStringLiteral("长工_100`短工_200`佃农_500`贫农_1000`中农_2000`富农_"
                                          "4000`地主_8000`恶霸_12000"),
                           QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("张三"),
                           QStringLiteral("1")}));
    // The ticket of the grant travels in the environment, where other users cannot read it.
    ASSERT_EQ(server.grantedTickets.size(), 1);
    EXPECT_EQ(launch.environment,
              (LaunchEnvironment{{QStringLiteral("XQ_TICKET"), server.grantedTickets[0]}}));
    ASSERT_TRUE(Eventually([&] { return hall.client.model().ownRow()->table == 1; }));

    // Already at a table: the server refuses the next one, and nothing is started.
    hall.client.watch(2);
    ASSERT_TRUE(Eventually([&] { return !hall.refusals.isEmpty(); }));
    EXPECT_EQ(hall.refusals.front(), QStringLiteral("你已经在第 1 桌"));
    EXPECT_EQ(hall.launcher.launches.size(), 1);

    // Requests while logged out go nowhere.
    hall.client.logout();
    hall.client.sit(2, 0);
    hall.client.watch(2);
    QCoreApplication::processEvents();
    EXPECT_EQ(server.count<in::Reserve>(), 2);
}

TEST(HallClient, NoticesAfterTheLoginAreShownAndLeavingSaysGoodbye) {
    test::FakeHallServer server;
    Hall hall;
    ASSERT_TRUE(hall.loginTo(server.port()));
    server.sendToAll(hall::notice(QStringLiteral("发言太快，请稍后再说")));
    ASSERT_TRUE(Eventually([&] { return !hall.notices.isEmpty(); }));
    EXPECT_EQ(hall.client.state(), HallClient::State::LoggedIn);
    hall.client.logout();
    ASSERT_TRUE(Eventually([&] { return server.count<in::Leave>() == 1 && server.inHall() == 0; }));
    // Leaving is not a lost connection.
    EXPECT_TRUE(hall.losses.isEmpty());
    // And the user can come back.
    ASSERT_TRUE(hall.loginTo(server.port()));
}

}  // namespace
}  // namespace xq::hall
