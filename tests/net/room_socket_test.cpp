#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "net/frame.h"
#include "socket/room_socket.h"

namespace xq {
namespace {

// Spins the event loop until the condition holds or the time is up.
template <typename F>
bool WaitFor(F condition, int ms = 2000) {
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return condition();
}

class RoomSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.listen(QHostAddress::LocalHost));
        QObject::connect(&socket_, &RoomSocket::dataArrived, [this](const QByteArray& m) {
            received_.append(m);
            if (onMessage_) onMessage_(m);
        });
        QObject::connect(&socket_, &RoomSocket::connected, [this] { connected_ = true; });
        QObject::connect(&socket_, &RoomSocket::closed, [this] { ++closed_; });
        QObject::connect(&socket_, &RoomSocket::failed, [this] { ++failed_; });
    }

    QTcpSocket* Accept() {
        socket_.setUserName("张三");
        socket_.connectTo("127.0.0.1", server_.serverPort(), 5);
        if (!WaitFor([&] { return server_.hasPendingConnections() && connected_; })) return nullptr;
        QTcpSocket* peer = server_.nextPendingConnection();
        WaitFor([&] { return peer->bytesAvailable() >= 4 + 12; });
        hello_ = peer->readAll();
        return peer;
    }

    QTcpServer server_;
    RoomSocket socket_;
    QList<QByteArray> received_;
    std::function<void(const QByteArray&)> onMessage_;
    QByteArray hello_;
    bool connected_ = false;
    int closed_ = 0;
    int failed_ = 0;
};

TEST_F(RoomSocketTest, OpensWithTheHelloAndSendsFrames) {
    QTcpSocket* peer = Accept();
    ASSERT_NE(peer, nullptr);
    EXPECT_EQ(hello_, encodeFrame(QByteArray("XQTABLE/1`") + "\xd5\xc5\xc8\xfd"));
    socket_.send(QByteArray("\x82\x00hi", 4));
    socket_.send(QByteArray());  // nothing to send
    ASSERT_TRUE(WaitFor([&] { return peer->bytesAvailable() >= 8; }));
    EXPECT_EQ(peer->readAll(), encodeFrame(QByteArray("\x82\x00hi", 4)));
}

TEST(Hello, CarriesTheTicketWhenThereIsOne) {
    const QByteArray name = "XQTABLE/1`\xd5\xc5\xc8\xfd";
    const QString longest(64, u'x');
    const struct {
        QString ticket;
        QByteArray hello;
    } cases[] = {
        {"a1-B2_c3", name + "`a1-B2_c3"},
        {longest, name + '`' + longest.toLatin1()},
        {"-", name},
        {"", name},
        {longest + u'x', name},        // too long: none
        {"a`b", name},                 // the separator
        {"a b", name},                 // a blank
        {QStringLiteral("票"), name},  // not ASCII
    };
    for (const auto& c : cases)
        EXPECT_EQ(helloText(QStringLiteral("张三"), c.ticket), c.hello) << c.ticket.toStdString();
}

TEST_F(RoomSocketTest, DeliversOneMessagePerTurnSoThatANestedWaitSeesTheRest) {
    QTcpSocket* peer = Accept();
    ASSERT_NE(peer, nullptr);
    int seenInsideWait = -1;
    onMessage_ = [&](const QByteArray& m) {
        if (m != "first") return;
        // A modal box waits here; the messages that follow must arrive inside the wait.
        QEventLoop loop;
        QTimer::singleShot(200, &loop, &QEventLoop::quit);
        loop.exec();
        seenInsideWait = static_cast<int>(received_.size());
    };
    peer->write(encodeFrame("first") + encodeFrame("second") + encodeFrame("third"));
    ASSERT_TRUE(WaitFor([&] { return seenInsideWait >= 0; }));
    EXPECT_EQ(seenInsideWait, 3);
    EXPECT_EQ(received_, (QList<QByteArray>{"first", "second", "third"}));
}

TEST_F(RoomSocketTest, MessagesBeforeTheCloseAreDeliveredThenClosedOnce) {
    QTcpSocket* peer = Accept();
    ASSERT_NE(peer, nullptr);
    peer->write(encodeFrame("last words"));
    peer->flush();
    peer->disconnectFromHost();
    ASSERT_TRUE(WaitFor([&] { return closed_ > 0; }));
    EXPECT_EQ(received_, (QList<QByteArray>{"last words"}));
    WaitFor([] { return false; }, 100);
    EXPECT_EQ(closed_, 1);
    EXPECT_EQ(failed_, 0);
}

TEST_F(RoomSocketTest, AZeroLengthFrameEndsTheConnection) {
    QTcpSocket* peer = Accept();
    ASSERT_NE(peer, nullptr);
    peer->write(encodeFrame("ok") + QByteArray(4, '\0') + "junk");
    ASSERT_TRUE(WaitFor([&] { return closed_ > 0; }));
    EXPECT_EQ(received_, (QList<QByteArray>{"ok"}));
    EXPECT_TRUE(WaitFor([&] { return peer->state() == QAbstractSocket::UnconnectedState; }));
}

TEST_F(RoomSocketTest, AnOversizedFrameEndsTheConnection) {
    QTcpSocket* peer = Accept();
    ASSERT_NE(peer, nullptr);
    peer->write(QByteArray("\x00\x10\x00\x01", 4) + "junk");
    ASSERT_TRUE(WaitFor([&] { return closed_ > 0; }));
    EXPECT_TRUE(received_.isEmpty());
}

TEST_F(RoomSocketTest, UnreachableServerOrBadPortFails) {
    server_.close();
    socket_.connectTo("127.0.0.1", server_.serverPort() == 0 ? 1 : server_.serverPort(), 5);
    EXPECT_TRUE(WaitFor([&] { return failed_ == 1; }));
    RoomSocket other;
    int otherFailed = 0;
    QObject::connect(&other, &RoomSocket::failed, [&] { ++otherFailed; });
    other.connectTo("127.0.0.1", 0, 120);
    EXPECT_EQ(otherFailed, 0) << "reported from the event loop, not from inside the call";
    EXPECT_TRUE(WaitFor([&] { return otherFailed == 1; }));
    EXPECT_EQ(closed_, 0);
}

}  // namespace
}  // namespace xq
