// The real server against strangers: silent sockets, silent hall connections, and chat from
// fresh connections, each from a handful of loopback addresses that the server is told to count
// as hosts of their own.

#include <gtest/gtest.h>

#include <QProcess>
#include <algorithm>
#include <memory>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <netinet/tcp.h>

#include "../support/loopback.h"
#include "net/frame.h"
#include "net/hall_messages.h"
#include "raw_client.h"
#include "server/ready_watch.h"
#include "server/stream_socket.h"

namespace xq::server::test {
namespace {

using xq::test::ConnectToLoopback;
using xq::test::LoopbackAt;

class BoundsTest : public ::testing::Test {
protected:
    void start(const QStringList& options) {
        server_.setProgram(QStringLiteral(XQ_SERVER_BINARY));
        server_.setArguments(
            QStringList{QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--no-db")} +
            options);
        server_.start();
        ASSERT_TRUE(server_.waitForStarted(10000));
        ASSERT_TRUE(WaitFor([&] { return server_.canReadLine(); }, 10000));
        const QByteArray line = server_.readLine().trimmed();
        ASSERT_TRUE(line.startsWith("port ")) << line.toStdString();
        port_ = static_cast<quint16>(line.mid(5).toUInt());
    }
    void TearDown() override {
        for (int fd : silent_)
            ::close(fd);
        server_.kill();
        server_.waitForFinished(5000);
        if (HasFailure()) std::fprintf(stderr, "%s", log().right(4000).constData());
    }
    const QByteArray& log() {
        log_ += server_.readAllStandardError();
        return log_;
    }

    // A socket that connects from `from` and never sends a byte.
    void openSilent(const char* from) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        inet_pton(AF_INET, from, &local.sin_addr);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local), 0);
        ConnectToLoopback(fd, port_);  // completes meanwhile
        silent_.push_back(fd);
    }

    std::unique_ptr<RawClient> hallUser(const QString& name, const QString& from,
                                        const QString& ticket = QStringLiteral("-")) {
        auto c = std::make_unique<RawClient>(port_, false, QHostAddress(from));
        c->send(hall::hello(name, ticket));
        return c;
    }
    static bool inHall(RawClient& c, int ms = 5000) {
        return !c.waitForPrefix(QByteArray(1, static_cast<char>(hall::code::kOwnRow)), ms)
                    .isEmpty();
    }

    QProcess server_;
    QByteArray log_;
    quint16 port_ = 0;
    std::vector<int> silent_;
};

TEST_F(BoundsTest, SilentSocketsDoNotKeepHallUsersOut) {
    const struct {
        const char* what;
        QStringList options;
        std::vector<const char*> from;
    } cases[] = {
        {"from the loopback host, not counted per address", {}, {"127.0.0.1"}},
        {"from five addresses",
         {QStringLiteral("--count-loopback")},
         {"127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5", "127.0.0.6"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        start(c.options);
        // Enough to fill every connection the server keeps.
        for (int i = 0; i < 2996; ++i)
            openSilent(c.from[static_cast<std::size_t>(i) % c.from.size()]);
        WaitFor([] { return false; }, 1500);  // they arrive
        std::vector<std::unique_ptr<RawClient>> users;
        for (int i = 0; i < 24; ++i)
            users.push_back(
                hallUser(QStringLiteral("棋友%1").arg(i), QStringLiteral("127.1.0.%1").arg(i + 1)));
        int in = 0;
        for (auto& u : users)
            in += inHall(*u) ? 1 : 0;
        EXPECT_EQ(in, 24);
        for (int fd : silent_)
            ::close(fd);
        silent_.clear();
        users.clear();
        TearDown();
        log_.clear();
    }
}

TEST_F(BoundsTest, IdleHallConnectionsCloseWhileKeptAliveOnesAndTableClientsStay) {
    start({QStringLiteral("--hall-idle-ms"), QStringLiteral("1500"),
           QStringLiteral("--login-window-ms"), QStringLiteral("1000")});
    auto quiet = hallUser(QStringLiteral("沉默"), QStringLiteral("127.0.0.1"));
    auto alive = hallUser(QStringLiteral("活跃"), QStringLiteral("127.0.0.1"));
    ASSERT_TRUE(inHall(*quiet));
    ASSERT_TRUE(inHall(*alive));
    RawClient table(port_);
    table.logIn(QStringLiteral("棋手"));
    ASSERT_FALSE(table.waitForPrefix(QByteArray("\x82\x03", 2)).isEmpty());
    RawClient mute(port_);  // says nothing at all

    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 4000) {
        alive->send(hall::keepAlive());
        WaitFor([] { return false; }, 300);
    }
    EXPECT_FALSE(quiet->connected()) << "silent after its hello";
    EXPECT_FALSE(mute.connected()) << "never logged in";
    EXPECT_TRUE(alive->connected());
    EXPECT_TRUE(table.connected()) << "a table client has no keep-alive to send";
    EXPECT_TRUE(log().contains("nothing heard for 1500 ms"));
    EXPECT_TRUE(log().contains("no login within 1000 ms"));
}

TEST_F(BoundsTest, FreshConnectionsOfOneAddressAndOneNameComingBackShareOneChatAllowance) {
    // No line comes back during the test: what passes is one burst.
    start({QStringLiteral("--count-loopback"), QStringLiteral("--chat-burst"), QStringLiteral("5"),
           QStringLiteral("--chat-interval-ms"), QStringLiteral("600000")});
    auto listener = hallUser(QStringLiteral("听众"), QStringLiteral("127.0.0.2"));
    ASSERT_TRUE(inHall(*listener));
    const auto heard = [&] {
        int n = 0;
        for (const QByteArray& m : listener->received)
            n += m.startsWith(static_cast<char>(hall::code::kChat)) ? 1 : 0;
        return n;
    };
    const auto floodFrom = [&](const QString& name, const QString& from, const QString& ticket) {
        auto c = hallUser(name, from, ticket);
        ASSERT_TRUE(inHall(*c)) << name.toStdString();
        for (int i = 0; i < 5; ++i)
            c->send(hall::say(QStringLiteral("刷屏")));
        c->send(hall::leave());
        EXPECT_TRUE(c->waitForClose());
    };
    for (int i = 0; i < 30; ++i)
        floodFrom(QStringLiteral("过客%1").arg(i), QStringLiteral("127.0.0.7"),
                  QStringLiteral("ticket-%1").arg(i));
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(heard(), 5) << "fresh names from one address";
    for (int i = 0; i < 10; ++i)
        floodFrom(QStringLiteral("常客"), QStringLiteral("127.0.1.%1").arg(i + 1),
                  QStringLiteral("ticket-regular"));
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(heard(), 10) << "one name from fresh addresses";
}

// A crowd that says its hellos at once, more than the share of connections that have not logged
// in yet: the server paces their logins (each newcomer gets the whole hall), and a connection
// waiting for its turn is no stranger's silent socket to be closed for a newer one.
TEST_F(BoundsTest, ACrowdArrivingAtOnceGetsInWhileTheServerPacesItsLogins) {
    constexpr int kCrowd = 3000;
    start({QStringLiteral("--max-connections"), QString::number(kCrowd + 200)});
    std::vector<int> crowd;
    std::vector<bool> closed;
    // Everybody reads what comes, so that the server's writes never wait for the crowd.
    const auto drain = [&] {
        char buffer[65536];
        for (std::size_t k = 0; k < crowd.size(); ++k) {
            while (!closed[k]) {
                const ssize_t n = ::recv(crowd[k], buffer, sizeof buffer, 0);
                if (n == 0) closed[k] = true;
                if (n <= 0) break;
            }
        }
    };
    for (int i = 0; i < kCrowd; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ConnectToLoopback(fd, port_), 0);
        const QByteArray hello =
            encodeFrame(hall::hello(QStringLiteral("客%1").arg(i), QStringLiteral("t%1").arg(i)));
        ASSERT_EQ(::send(fd, hello.constData(), static_cast<std::size_t>(hello.size()), 0),
                  hello.size());
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        crowd.push_back(fd);
        closed.push_back(false);
        silent_.push_back(fd);  // closed at the end
        // The server's log is read as it goes: a full pipe would stop the server.
        if (i % 32 == 31) {
            QCoreApplication::processEvents();
            log();
            drain();
        }
    }
    const auto cameIn = [&] { return log().count("comes in"); };
    EXPECT_TRUE(WaitFor(
        [&] {
            drain();
            return cameIn() >= kCrowd;
        },
        60000))
        << cameIn() << " came in";
    drain();
    EXPECT_EQ(std::count(closed.begin(), closed.end(), true), 0);
    EXPECT_FALSE(log().contains("needs its place"));
}

TEST(StreamSocketKeepAliveTest, TheSystemIsToldToProbeAndToGiveUp) {
    // A connected pair on loopback: the accepted end is the server's.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at = LoopbackAt(0);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    socklen_t length = sizeof at;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&at), &length);
    const int client = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    const int accepted = ::accept(listener, nullptr, nullptr);
    ASSERT_GE(accepted, 0);
    ReadyWatch watch;
    StreamSocket socket(accepted, watch);
    socket.keepAlive(7, 3, 2);
    const auto option = [&](int level, int name) {
        int value = -1;
        socklen_t size = sizeof value;
        ::getsockopt(accepted, level, name, &value, &size);
        return value;
    };
    EXPECT_EQ(option(SOL_SOCKET, SO_KEEPALIVE), 1);
    EXPECT_EQ(option(IPPROTO_TCP, TCP_KEEPIDLE), 7);
    EXPECT_EQ(option(IPPROTO_TCP, TCP_KEEPINTVL), 3);
    EXPECT_EQ(option(IPPROTO_TCP, TCP_KEEPCNT), 2);
    EXPECT_EQ(option(IPPROTO_TCP, TCP_USER_TIMEOUT), 13000) << "unacknowledged data: as long";
    ::close(client);
    ::close(listener);
}

}  // namespace
}  // namespace xq::server::test
