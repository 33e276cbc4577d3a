// Runs the real server program on a free loopback port and talks to it frame by frame.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "../support/bytes.h"
#include "../support/loopback.h"
#include "net/hall_messages.h"
#include "raw_client.h"
#include "server/user_row_text.h"

namespace xq::server::test {
namespace {

using xq::test::ConnectToLoopback;

using xq::test::Bytes;
using xq::test::Text;

class ProtocolTest : public ::testing::Test {
protected:
    void SetUp() override { startServer(); }
    // Starts the server (again, once the test has killed it), in memory unless the options name
    // a database.
    void startServer() {
        QStringList args{QStringLiteral("--port"), QStringLiteral("0")};
        if (!serverOptions().contains(QStringLiteral("--db"))) args << QStringLiteral("--no-db");
        server_.setProgram(QStringLiteral(XQ_SERVER_BINARY));
        server_.setArguments(args + serverOptions());
        server_.start();
        ASSERT_TRUE(server_.waitForStarted(10000));
        ASSERT_TRUE(WaitFor([&] { return server_.canReadLine(); }, 10000));
        const QByteArray line = server_.readLine().trimmed();
        ASSERT_TRUE(line.startsWith("port ")) << line.toStdString();
        port_ = static_cast<quint16>(line.mid(5).toUInt());
        ASSERT_NE(port_, 0);
    }
    void TearDown() override {
        server_.kill();
        server_.waitForFinished(5000);
        if (HasFailure()) std::fprintf(stderr, "%s", log().constData());
    }

    // Arguments beyond the port, for tests that need the server set up otherwise.
    virtual QStringList serverOptions() const { return {}; }

    // Everything the server logged so far.
    const QByteArray& log() {
        log_ += server_.readAllStandardError();
        return log_;
    }

    std::unique_ptr<RawClient> client(const QString& name) {
        auto c = std::make_unique<RawClient>(port_);
        c->logIn(name);
        // In by the identity, so that names take seats in the order the test made them.
        EXPECT_FALSE(c->waitForPrefix(Bytes({130, 3})).isEmpty()) << name.toStdString();
        return c;
    }

    // 张三 and 李四 seated, terms agreed, the first game started (张三 has red).
    void startGame(RawClient& a, RawClient& b) {
        a.send(Text({112, 1}, QStringLiteral("张三")));
        ASSERT_FALSE(a.waitForPrefix(Text({111, 0}, QStringLiteral("1`0`0`1`0`1`0`"))).isEmpty());
        a.send(Text({112, 0}, QStringLiteral("张三`100`1000`10`5`50`0`0`30`0`0`30")));
        ASSERT_FALSE(b.waitForPrefix(Text({112, 1}, QStringLiteral("张三`100"))).isEmpty());
        b.send(Text({112, 1}, QStringLiteral("李四")));
        ASSERT_FALSE(a.waitForPrefix(Bytes({17})).isEmpty());
        ASSERT_FALSE(b.waitForPrefix(Bytes({17})).isEmpty());
    }

    // Horses out and back, two moves each: a game that counts. Red is `red`.
    void twoMovesEach(RawClient& red, RawClient& black) {
        const int line[4][4] = {
            {0, 0x91, 18, 0x72}, {1, 0x01, 2, 0x22}, {0, 0x72, 18, 0x91}, {1, 0x22, 2, 0x01}};
        for (const auto& m : line) {
            RawClient& mover = m[0] == 0 ? red : black;
            const int seat = &mover == &red ? redSeat : 1 - redSeat;
            mover.send(Bytes({19, 0, seat, m[1], m[2], m[3], 0, 0, 0, 0}));
            ASSERT_FALSE(mover.waitForPrefix(Bytes({19, 0, seat, m[1]})).isEmpty());
        }
    }
    int redSeat = 0;

    // Red's cannons mate black in three moves.
    void playMate(RawClient& red, RawClient& black) {
        const int line[5][5] = {{0, 0x77, 19, 0x76, 0},
                                {1, 0x21, 3, 0x26, 0},
                                {0, 0x76, 19, 0x36, 7},
                                {1, 0x03, 5, 0x14, 0},
                                {0, 0x36, 19, 0x06, 6}};
        for (const auto& m : line) {
            RawClient& mover = m[0] == 0 ? red : black;
            mover.send(Bytes({19, 0, m[0], m[1], m[2], m[3], m[4], 0, 0, 0}));
            const QByteArray echo = Bytes({19, 0, m[0], m[1], m[2], m[3], m[4]});
            ASSERT_FALSE(red.waitForPrefix(echo).isEmpty());
            ASSERT_FALSE(black.waitForPrefix(echo).isEmpty());
        }
        const QByteArray end = black.waitForPrefix(Bytes({25}));
        ASSERT_EQ(end.size(), 10 + 6);
        EXPECT_EQ(end.mid(9), Text({1}, QStringLiteral("被将死")));
    }

    QProcess server_;
    QByteArray log_;
    quint16 port_ = 0;
};

TEST_F(ProtocolTest, LoginSequenceOverTheWire) {
    auto a = client(QStringLiteral("张三"));
    const QString row = QStringLiteral("张三`10001`1000`1000``0`0`0`0`0`0`0`%1`0`0`0")
                            .arg(facePicture(QStringLiteral("张三")));
    ASSERT_TRUE(WaitFor([&] { return a->received.size() >= 3; }));
    ASSERT_EQ(a->received.size(), 3);
    EXPECT_EQ(a->received,
              (QList<QByteArray>{Text({130, 3}, QStringLiteral("张三`张三")), Text({130, 2}, row),
                                 Text({111, 0}, QStringLiteral("1`0`0`0`0"))}));
    auto b = client(QStringLiteral("李四"));
    ASSERT_FALSE(a->waitForPrefix(Text({130, 4}, QStringLiteral("李四`10002`"))).isEmpty());
    ASSERT_FALSE(b->waitForPrefix(Text({130, 2}, row + u'\n')).isEmpty());
    RawClient again(port_);
    again.logIn(QStringLiteral("张三"));
    EXPECT_TRUE(again.waitForClose()) << "a name already at the table";
    EXPECT_EQ(again.received,
              (QList<QByteArray>{Text({24}, QStringLiteral("用户名 张三 已在本桌"))}))
        << "the reason arrives before the close";
    EXPECT_TRUE(a->connected());
}

TEST_F(ProtocolTest, AShortGameToResignation) {
    auto a = client(QStringLiteral("张三"));
    auto b = client(QStringLiteral("李四"));
    auto watcher = client(QStringLiteral("王五"));
    startGame(*a, *b);
    a->send(Bytes({19, 0, 0, 0x77, 19, 0x74, 0, 0, 0, 0}));
    const QByteArray echo = Bytes({19, 0, 0, 0x77, 19, 0x74, 0, 0, 0, 0});
    EXPECT_EQ(b->waitForPrefix(Bytes({19})), echo);
    EXPECT_EQ(watcher->waitForPrefix(Bytes({19})), echo);
    b->send(Bytes({19, 0, 1, 0x01, 2, 0x00, 0, 0, 0, 0}));  // a horse cannot go there
    EXPECT_EQ(b->waitForPrefix(Bytes({24})),
              Text({24}, QStringLiteral("走法无效：不符合走棋规则")));
    // One move of red's: too short to count, and everybody is told so with the result.
    b->send(Bytes({22, 0, 1}));
    const QByteArray end = Text({25, 0, 0, 0, 0, 0, 0, 0, 0, 1},
                                QStringLiteral("认输（双方各走满两步才计分，本局不计分）"));
    EXPECT_EQ(a->waitForPrefix(Bytes({25})), end);
    EXPECT_EQ(watcher->waitForPrefix(Bytes({25})), end);
}

TEST_F(ProtocolTest, BadFramesCloseOnlyTheirConnectionAndTheTablePlaysOn) {
    auto a = client(QStringLiteral("张三"));
    auto b = client(QStringLiteral("李四"));
    ASSERT_FALSE(b->waitForPrefix(Bytes({111})).isEmpty());

    const QByteArray hugeHeader("\x00\x10\x00\x01", 4);  // one byte over the limit
    const QByteArray bad[] = {
        QByteArray("GET / HTTP/1.0\r\n\r\n"),  // garbage before the hello
        encodeFrame("hello there"),            // not a hello
        encodeFrame(QByteArray(kHelloPrefix) + "x") + encodeFrame("no login"),
        encodeFrame(QByteArray(kHelloPrefix) + "x") + hugeHeader,
    };
    for (const QByteArray& bytes : bad) {
        RawClient c(port_);
        c.sendRaw(bytes);
        EXPECT_TRUE(c.waitForClose()) << bytes.toStdString();
    }
    // Logged-in spectators who break the framing go too.
    for (const QByteArray& frameHead : {QByteArray(4, '\0'), hugeHeader}) {
        auto c = client(QStringLiteral("王五"));
        ASSERT_FALSE(a->waitForPrefix(Text({130, 0}, QStringLiteral("王五`"))).isEmpty());
        c->sendRaw(frameHead + "rest");
        EXPECT_TRUE(c->waitForClose());
        ASSERT_FALSE(a->waitForPrefix(Text({108, 4}, QStringLiteral("王五"))).isEmpty());
    }
    EXPECT_TRUE(a->connected());
    EXPECT_TRUE(b->connected());
    startGame(*a, *b);
    playMate(*a, *b);
    EXPECT_TRUE(WaitFor([&] { return log().contains("protocol error"); }));
}

TEST_F(ProtocolTest, EachStageTakesFramesOnlyAsLongAsItsLongestMessage) {
    auto a = client(QStringLiteral("张三"));
    const QByteArray hello = encodeFrame(QByteArray(kHelloPrefix) + "x");
    const QByteArray login =
        encodeFrame(QByteArray("\x82\x00"
                               "500`DRAK`1",
                               12));
    const auto header = [](quint32 n) {
        const quint32 wire = qToBigEndian(n);
        return QByteArray(reinterpret_cast<const char*>(&wire), 4);
    };
    // Each case: what was sent before, then a frame header alone; whether the server closes at
    // once (without waiting for the frame itself).
    const struct {
        QByteArray before;
        quint32 announced;
        bool closes;
    } cases[] = {
        // The longest first frame: an account's registering hello with a 32-character name
        // and a 128-byte password.
        {QByteArray(), 203, false},  {QByteArray(), 204, true},    {hello, 12, false},
        {hello, 13, true},           {hello + login, 2048, false},  // the longest chat line
        {hello + login, 2049, true},
    };
    for (const auto& c : cases) {
        RawClient raw(port_);
        raw.sendRaw(c.before + header(c.announced));
        EXPECT_EQ(raw.waitForClose(c.closes ? 5000 : 300), c.closes)
            << c.before.size() << " bytes, then " << c.announced;
    }
    EXPECT_TRUE(a->connected());
}

TEST_F(ProtocolTest, AClosingConnectionThatNeitherReadsNorClosesIsDroppedAfterItsDeadline) {
    // A server for two connections at a time: the one left hanging still counts.
    server_.kill();
    server_.waitForFinished(5000);
    server_.setArguments({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--no-db"),
                          QStringLiteral("--max-connections"), QStringLiteral("2")});
    server_.start();
    ASSERT_TRUE(WaitFor([&] { return server_.canReadLine(); }, 10000));
    port_ = static_cast<quint16>(server_.readLine().trimmed().mid(5).toUInt());
    auto a = client(QStringLiteral("张三"));

    // A bare socket that takes seat 1, leaves, and then neither reads a byte nor closes its end.
    const int mute = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(mute, 0);
    ASSERT_EQ(ConnectToLoopback(mute, port_), 0);
    const QByteArray bytes = encodeFrame(QByteArray(kHelloPrefix) + "mute") +
                             encodeFrame(QByteArray("\x82\x00"
                                                    "500`DRAK`1",
                                                    12)) +
                             encodeFrame(QByteArray("\x6e\x00mute", 6));
    ASSERT_EQ(::send(mute, bytes.constData(), static_cast<size_t>(bytes.size()), 0), bytes.size());
    ASSERT_FALSE(a->waitForPrefix(Text({110, 0}, QStringLiteral("mute"))).isEmpty());

    RawClient refused(port_);
    EXPECT_TRUE(refused.waitForClose()) << "the hanging connection still holds its place";
    EXPECT_TRUE(WaitFor([&] { return log().contains("refused"); }));
    EXPECT_TRUE(WaitFor([&] { return log().contains("not closed within 5 s"); }, 8000));
    auto b = client(QStringLiteral("李四"));
    EXPECT_TRUE(b->connected());
    ::close(mute);
}

TEST_F(ProtocolTest, ACrowdArrivingAtOnceIsLetInWithWhatEachSentAfterItsLogin) {
    auto a = client(QStringLiteral("张三"));
    // More newcomers than the server lets in at one go; each says something right after its
    // login, in the same write.
    const int crowd = 200;
    std::vector<std::unique_ptr<RawClient>> clients;
    for (int i = 0; i < crowd; ++i)
        clients.push_back(std::make_unique<RawClient>(port_));
    for (int i = 0; i < crowd; ++i) {
        const QString name = QStringLiteral("观众%1").arg(i);
        clients[static_cast<std::size_t>(i)]->sendRaw(
            encodeFrame(QByteArray(kHelloPrefix) + encodeCp936(name)) +
            encodeFrame(QByteArray("\x82\x00"
                                   "500`DRAK`1",
                                   12)) +
            encodeFrame(Text({1}, name + QStringLiteral("`所有人`") + name +
                                      QStringLiteral("`所有人`12:00:00`到了`#000000`1`0`"))));
    }
    const auto lines = [&] {
        return std::count_if(a->received.begin(), a->received.end(),
                             [](const QByteArray& m) { return m.startsWith('\x01'); });
    };
    EXPECT_TRUE(WaitFor([&] { return lines() == crowd; }, 20000)) << lines();
    // The first of them takes seat 1 (130/4), the others watch (130/0).
    const auto arrivals =
        std::count_if(a->received.begin(), a->received.end(), [](const QByteArray& m) {
            return m.startsWith(Bytes({130, 0})) || m.startsWith(Bytes({130, 4}));
        });
    EXPECT_EQ(arrivals, crowd);
}

// A server that relays chat as fast as it comes.
class TalkativeProtocolTest : public ProtocolTest {
protected:
    QStringList serverOptions() const override {
        return {QStringLiteral("--chat-burst"), QStringLiteral("1000000")};
    }
};

TEST_F(TalkativeProtocolTest, ASlowReaderIsClosedWithoutHoldingUpTheOthers) {
    auto a = client(QStringLiteral("张三"));
    auto watcher = client(QStringLiteral("王五"));
    QTcpSocket slow;  // logs in, then never reads
    slow.setReadBufferSize(1024);
    slow.connectToHost(QStringLiteral("127.0.0.1"), port_);
    ASSERT_TRUE(slow.waitForConnected(5000));
    // A small kernel buffer, so that the backlog builds up in the server and not in the kernel.
    slow.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
    slow.write(encodeFrame(QByteArray(kHelloPrefix) + "slow") + encodeFrame(QByteArray("\x82\x00"
                                                                                       "500`DRAK`1",
                                                                                       12)));
    ASSERT_FALSE(a->waitForPrefix(Text({130, 0}, QStringLiteral("slow`"))).isEmpty());

    // Far more chat than the kernel buffers and the 4 MiB backlog hold together, sent in
    // batches that the readers keep up with.
    const auto chats = [](const RawClient& c) {
        return std::count_if(c.received.begin(), c.received.end(),
                             [](const QByteArray& m) { return m.startsWith('\x01'); });
    };
    const QString text(900, u'长');
    const int lines = 12000;
    for (int i = 0; i < lines; ++i) {
        a->send(Text({1},
                     QStringLiteral("张三`所有人`张三`所有人`12:00:00`%1`#000000`1`0`").arg(text)));
        if (i % 250 == 249) {
            ASSERT_TRUE(WaitFor([&] { return chats(*a) == i + 1; }, 20000));
        }
    }
    EXPECT_TRUE(WaitFor([&] { return chats(*watcher) == lines; })) << chats(*watcher);
    EXPECT_EQ(chats(*a), lines);
    EXPECT_TRUE(WaitFor([&] { return log().contains("reads too slowly"); }));
    EXPECT_FALSE(a->waitForPrefix(Text({108, 4}, QStringLiteral("slow"))).isEmpty());
    EXPECT_TRUE(watcher->connected());
}

TEST_F(TalkativeProtocolTest, AReaderThatPausesGetsEverythingInOrderOnceItReadsAgain) {
    auto a = client(QStringLiteral("张三"));
    auto b = client(QStringLiteral("李四"));
    // A bare socket that logs in, reads nothing for a while, then everything. Its kernel buffer
    // is small, so that most of the output waits in the server for the socket to take more.
    const int paused = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(paused, 0);
    const int small = 4096;
    setsockopt(paused, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    ASSERT_EQ(ConnectToLoopback(paused, port_), 0);
    const QByteArray login =
        encodeFrame(QByteArray(kHelloPrefix) + "paused") + encodeFrame(QByteArray("\x82\x00"
                                                                                  "500`DRAK`1",
                                                                                  12));
    ASSERT_EQ(::send(paused, login.constData(), static_cast<size_t>(login.size()), 0),
              login.size());
    ASSERT_FALSE(a->waitForPrefix(Text({130, 0}, QStringLiteral("paused`"))).isEmpty());

    // About 3 MiB of numbered lines: more than the kernel holds, less than the backlog cap.
    const QString filler(880, u'长');
    const int lines = 1700;
    for (int i = 0; i < lines; ++i) {
        a->send(Text({1}, QStringLiteral("张三`所有人`张三`所有人`12:00:00`%1 %2`#000000`1`0`")
                              .arg(i)
                              .arg(filler)));
        if (i % 100 == 99) {
            ASSERT_FALSE(a->waitForPrefix(Bytes({1}), 10000).isEmpty());
        }
    }
    ASSERT_TRUE(WaitFor([&] {
        return std::count_if(a->received.begin(), a->received.end(),
                             [](const QByteArray& m) { return m.startsWith('\x01'); }) == lines;
    }));

    FrameReader reader;
    QList<int> numbers;
    const auto take = [&] {
        char buffer[65536];
        const ssize_t n = ::recv(paused, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) reader.feed(QByteArrayView(buffer, n));
        while (reader.hasFrame()) {
            const QByteArray m = reader.takeFrame();
            QString text;
            if (!m.startsWith('\x01') || !decodeCp936(m.mid(1), text)) continue;
            numbers.append(text.section(u'`', 5, 5).section(u' ', 0, 0).toInt());
        }
        return numbers.size() == lines;
    };
    EXPECT_TRUE(WaitFor(take, 20000)) << numbers.size();
    for (int i = 0; i < numbers.size(); ++i)
        ASSERT_EQ(numbers[i], i);
    EXPECT_FALSE(log().contains("reads too slowly"));
    ::close(paused);
}

// A room of three tables: hall clients reserve, table clients come in with their tickets.
class RoomProtocolTest : public ProtocolTest {
protected:
    QStringList serverOptions() const override {
        return {QStringLiteral("--tables"), QStringLiteral("3")};
    }
    std::unique_ptr<RawClient> hallClient(const QString& name, const QString& ticket) {
        auto c = std::make_unique<RawClient>(port_);
        c->send(hall::hello(name, ticket));
        EXPECT_FALSE(c->waitForPrefix(Bytes({202, 0})).isEmpty()) << name.toStdString();
        return c;
    }
    std::unique_ptr<RawClient> tableClient(const QString& name, const QString& ticket) {
        auto c = std::make_unique<RawClient>(port_);
        c->logIn(name, ticket);
        return c;
    }
    // Whether a batch of changed tables with this row reaches the hall client.
    static bool seesTable(RawClient& c, const hall::TableRow& row) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000) {
            const auto parsed = hall::parseServerMessage(c.waitForPrefix(
                Bytes({hall::code::kTableRows}), static_cast<int>(5000 - t.elapsed())));
            if (!parsed) return false;
            if (std::get<hall::in::TableRows>(*parsed).rows.contains(row)) return true;
        }
        return false;
    }
    static QString ticketOf(const QByteArray& grant) {
        const auto parsed = hall::parseServerMessage(grant);
        return parsed ? std::get<hall::in::Reservation>(*parsed).ticket : QString();
    }
};

TEST_F(RoomProtocolTest, HallReservationsSeatTableClientsAndTheHallFollows) {
    auto hallA = hallClient(QStringLiteral("张三"), QStringLiteral("ticket-a"));
    auto hallB = hallClient(QStringLiteral("李四"), QStringLiteral("ticket-b"));
    hallA->send(hall::reserveSeat(2, 0));
    const QString ticketA = ticketOf(hallA->waitForPrefix(Bytes({204, 0})));
    hallB->send(hall::reserveSeat(2, 1));
    const QString ticketB = ticketOf(hallB->waitForPrefix(Bytes({204, 0})));
    ASSERT_EQ(ticketA.size(), 32);
    ASSERT_EQ(ticketB.size(), 32);
    EXPECT_NE(ticketA, ticketB);

    // Somebody with 张三's name but not the grant's ticket (his hall's own is not it either) is
    // refused; the real ones sit where they chose.
    for (const QString& guess : {QStringLiteral("guess"), QStringLiteral("ticket-a"), ticketB}) {
        auto thief = tableClient(QStringLiteral("张三"), guess);
        EXPECT_EQ(thief->waitForPrefix(Bytes({24})),
                  Text({24}, QStringLiteral("用户名 张三 已被他人使用")));
        EXPECT_TRUE(thief->waitForClose());
    }
    auto a = tableClient(QStringLiteral("张三"), ticketA);
    auto b = tableClient(QStringLiteral("李四"), ticketB);
    ASSERT_FALSE(a->waitForPrefix(Text({130, 3}, QStringLiteral("张三`张三"))).isEmpty());
    ASSERT_FALSE(b->waitForPrefix(Text({130, 3}, QStringLiteral("李四`李四"))).isEmpty());
    EXPECT_TRUE(log().contains("table 2: login 张三 takes seat 0"));
    EXPECT_TRUE(log().contains("table 2: login 李四 takes seat 1"));

    // The game at table 2 starts and ends; the hall sees it run and sees the new scores.
    startGame(*a, *b);
    EXPECT_TRUE(seesTable(
        *hallA, hall::TableRow{
                    2, {QStringLiteral("张三"), QStringLiteral("李四")}, {1000, 1000}, 0, true}));
    twoMovesEach(*a, *b);
    b->send(Bytes({22, 0, 1}));
    ASSERT_FALSE(a->waitForPrefix(Bytes({25})).isEmpty());
    EXPECT_TRUE(seesTable(
        *hallB, hall::TableRow{
                    2, {QStringLiteral("张三"), QStringLiteral("李四")}, {1100, 900}, 0, false}));

    // A table client without a reservation is sent to the hall; table 1 stayed empty.
    auto stray = tableClient(QStringLiteral("丙"), QStringLiteral("ticket-c"));
    EXPECT_EQ(stray->waitForPrefix(Bytes({24})), Text({24}, QStringLiteral("请先在大厅选择座位")));
    EXPECT_TRUE(stray->waitForClose());

    // 李四 leaves his table; the hall shows the seat free again.
    b->send(Text({110, 0}, QStringLiteral("李四")));
    EXPECT_TRUE(seesTable(
        *hallA, hall::TableRow{2, {QStringLiteral("张三"), QString()}, {1100, 0}, 0, false}));
}

TEST_F(RoomProtocolTest, GamesGivenUpAtOnceFarmNoPoints) {
    auto hallA = hallClient(QStringLiteral("张三"), QStringLiteral("ticket-a"));
    auto hallB = hallClient(QStringLiteral("李四"), QStringLiteral("ticket-b"));
    hallA->send(hall::reserveSeat(1, 0));
    hallB->send(hall::reserveSeat(1, 1));
    auto a = tableClient(QStringLiteral("张三"), ticketOf(hallA->waitForPrefix(Bytes({204, 0}))));
    auto b = tableClient(QStringLiteral("李四"), ticketOf(hallB->waitForPrefix(Bytes({204, 0}))));
    ASSERT_FALSE(a->waitForPrefix(Text({130, 3}, QStringLiteral("张三`张三"))).isEmpty());
    ASSERT_FALSE(b->waitForPrefix(Text({130, 3}, QStringLiteral("李四`李四"))).isEmpty());
    startGame(*a, *b);
    // Resigning, running out of time and running away at once, over and over: nothing counts.
    const QByteArray nothing = Bytes({25, 0, 0, 0, 0, 0, 0, 0, 0});
    for (int game = 0; game < 20; ++game) {
        b->send(game % 2 == 0 ? Bytes({22, 0, 1}) : Bytes({22, 1, 1}));
        ASSERT_TRUE(a->waitForPrefix(Bytes({25})).startsWith(nothing)) << game;
        a->send(Bytes({18, 0}));
        b->send(Bytes({18, 1}));
        ASSERT_FALSE(a->waitForPrefix(Bytes({17})).isEmpty()) << game;
    }
    // A newcomer's hall shows both as they were.
    auto look = hallClient(QStringLiteral("王五"), QStringLiteral("ticket-c"));
    const auto rowOf = [&](const QString& name) {
        for (const QByteArray& m : look->received) {
            const auto parsed = hall::parseServerMessage(m);
            if (!parsed) continue;
            QList<hall::PlayerRow> rows;
            if (const auto* all = std::get_if<hall::in::Players>(&*parsed)) rows = all->rows;
            if (const auto* more = std::get_if<hall::in::PlayerRows>(&*parsed)) rows = more->rows;
            for (const auto& r : rows)
                if (r.name == name) return r;
        }
        return hall::PlayerRow{};
    };
    for (const QString& name : {QStringLiteral("张三"), QStringLiteral("李四")}) {
        EXPECT_EQ(rowOf(name).score, 1000) << name.toStdString();
        EXPECT_EQ(rowOf(name).games, 0) << name.toStdString();
        EXPECT_EQ(rowOf(name).lost, 0) << name.toStdString();
    }
    // Two moves each, and the same resignation counts.
    twoMovesEach(*a, *b);
    b->send(Bytes({22, 0, 1}));
    EXPECT_EQ(a->waitForPrefix(Bytes({25})),
              Text({25, 0, 0, 0, 100, 255, 255, 255, 156, 1}, QStringLiteral("认输")));
    EXPECT_TRUE(WaitFor([&] {
        for (const QByteArray& m : hallA->received) {
            const auto parsed = hall::parseServerMessage(m);
            const auto* own = parsed ? std::get_if<hall::in::OwnRow>(&*parsed) : nullptr;
            if (own && own->row.score == 1100 && own->row.won == 1 && own->row.games == 1)
                return true;
        }
        return false;
    })) << "his own row with the game counted";
}

// A lone table whose players are kept in a database.
// A room that keeps its players: accounts log in to the hall with passwords, table clients with
// the tickets of their grants.
class StoredProtocolTest : public ProtocolTest {
protected:
    QStringList serverOptions() const override {
        return {QStringLiteral("--db"),
                dir_.filePath(QStringLiteral("players.db")),
                QStringLiteral("--tables"),
                QStringLiteral("2"),
                QStringLiteral("--registrations-per-hour"),
                QStringLiteral("50")};
    }
    // A hall connection that sent an account's hello; the caller waits for the answer.
    std::unique_ptr<RawClient> hallAccount(const QString& name, const QString& password,
                                           bool registering = false) {
        auto c = std::make_unique<RawClient>(port_);
        c->send(hall::accountHello(name, password, registering));
        return c;
    }
    static std::optional<hall::PlayerRow> ownRowIn(const QByteArray& message) {
        const auto parsed = hall::parseServerMessage(message);
        if (!parsed || !std::holds_alternative<hall::in::OwnRow>(*parsed)) return std::nullopt;
        return std::get<hall::in::OwnRow>(*parsed).row;
    }
    // The hall user's table client in the place granted to him.
    std::unique_ptr<RawClient> seated(RawClient& hallUser, const QString& name, int table,
                                      int seat) {
        hallUser.send(hall::reserveSeat(table, seat));
        const auto parsed = hall::parseServerMessage(hallUser.waitForPrefix(Bytes({204, 0})));
        const QString ticket = parsed ? std::get<hall::in::Reservation>(*parsed).ticket : QString();
        EXPECT_EQ(ticket.size(), 32) << name.toStdString();
        auto c = std::make_unique<RawClient>(port_);
        c->logIn(name, ticket);
        EXPECT_FALSE(c->waitForPrefix(Bytes({130, 3})).isEmpty()) << name.toStdString();
        return c;
    }
    void expectRefused(RawClient& c, const QString& reason) {
        EXPECT_EQ(c.waitForPrefix(Bytes({24})), Text({24}, reason)) << reason.toStdString();
        EXPECT_TRUE(c.waitForClose());
    }
    struct Players {
        std::unique_ptr<RawClient> hallA, hallB, a, b;
    };
    // 张三 and 李四 register in the hall, take the two seats of the table and begin a game there.
    Players newAccountsPlayingAt(int table) {
        Players p;
        p.hallA = hallAccount(QStringLiteral("张三"), QStringLiteral("zhang pass"), true);
        p.hallB = hallAccount(QStringLiteral("李四"), QStringLiteral("li pass"), true);
        EXPECT_TRUE(ownRowIn(p.hallA->waitForPrefix(Bytes({200, 0}))));
        EXPECT_TRUE(ownRowIn(p.hallB->waitForPrefix(Bytes({200, 0}))));
        p.a = seated(*p.hallA, QStringLiteral("张三"), table, 0);
        p.b = seated(*p.hallB, QStringLiteral("李四"), table, 1);
        startGame(*p.a, *p.b);
        return p;
    }
    QTemporaryDir dir_;
};

TEST_F(StoredProtocolTest, AnAccountsNameScoreAndSeatAreHisAcrossARestart) {
    QByteArray zhangRow;
    {
        auto hallA = hallAccount(QStringLiteral("张三"), QStringLiteral("zhang pass"), true);
        auto hallB = hallAccount(QStringLiteral("李四"), QStringLiteral("li pass"), true);
        ASSERT_TRUE(ownRowIn(hallA->waitForPrefix(Bytes({200, 0}))));
        ASSERT_TRUE(ownRowIn(hallB->waitForPrefix(Bytes({200, 0}))));
        // A table client on its own is sent to the hall: names are not taken by saying them.
        RawClient stranger(port_);
        stranger.logIn(QStringLiteral("王五"));
        expectRefused(stranger, QStringLiteral("请先在大厅登录"));
        auto a = seated(*hallA, QStringLiteral("张三"), 1, 0);
        auto b = seated(*hallB, QStringLiteral("李四"), 1, 1);
        startGame(*a, *b);
        twoMovesEach(*a, *b);
        b->send(Bytes({22, 0, 1}));
        // The row as stored comes once the store has committed the game (the rows sent with
        // the end of the game still show the figures from before it).
        QString shown;
        for (int i = 0; i < 3 && shown.section(u'`', 2, 2) != u"1100"; ++i) {
            zhangRow = a->waitForPrefix(Text({108, 6}, QStringLiteral("张三`")));
            ASSERT_FALSE(zhangRow.isEmpty());
            ASSERT_TRUE(decodeCp936(zhangRow.mid(2), shown));
        }
    }
    QString text;
    ASSERT_TRUE(decodeCp936(zhangRow.mid(2), text));
    const QStringList before = text.split(u'`');
    ASSERT_EQ(before.size(), 16);
    EXPECT_EQ(before[2], QStringLiteral("1100"));

    // Stopped at once and started again on the same database: the first to come is a stranger
    // who knows the name, then the owner.
    server_.kill();
    server_.waitForFinished(5000);
    startServer();
    ASSERT_FALSE(HasFatalFailure());
    const struct {
        QByteArray hello;
        const char* reason;
    } strangers[] = {
        {hall::hello(QStringLiteral("张三"), QString()),
         "本房间需要账号：请输入密码登录，或先注册"},
        {hall::accountHello(QStringLiteral("张三"), QStringLiteral("guess"), false),
         "用户名或密码错误"},
        {hall::accountHello(QStringLiteral("张三"), QStringLiteral("guess"), true),
         "用户名已被注册"},
        {hall::accountHello(QStringLiteral("赵六"), QStringLiteral("guess"), false),
         "用户名或密码错误"},
        {hall::accountHello(QStringLiteral("张 三"), QStringLiteral("guess"), true),
         "用户名不能含有空格或控制字符"},
        {hall::accountHello(QStringLiteral("张三"), QStringLiteral("a`b"), false),
         "密码无效：密码不能含有 ` 字符"},
    };
    for (const auto& s : strangers) {
        RawClient c(port_);
        c.send(s.hello);
        expectRefused(c, QString::fromUtf8(s.reason));
    }
    EXPECT_FALSE(log().contains("guess")) << "passwords are never logged";
    EXPECT_FALSE(log().contains("zhang pass"));

    auto owner = hallAccount(QStringLiteral("张三"), QStringLiteral("zhang pass"));
    const auto row = ownRowIn(owner->waitForPrefix(Bytes({200, 0})));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->score, 1100);
    EXPECT_EQ(row->won, 1);
    EXPECT_EQ(QString::number(row->userNumber), before[1]) << "the same user number";

    // His hall restarted while the old connection still looks alive: the new login wins.
    auto again = hallAccount(QStringLiteral("张三"), QStringLiteral("zhang pass"));
    ASSERT_TRUE(ownRowIn(again->waitForPrefix(Bytes({200, 0}))));
    expectRefused(*owner, QStringLiteral("你的账号已在别处登录"));

    // At the table, the row shows the stored record, and the loser's too.
    auto li = hallAccount(QStringLiteral("李四"), QStringLiteral("li pass"));
    ASSERT_TRUE(ownRowIn(li->waitForPrefix(Bytes({200, 0}))));
    auto a = seated(*li, QStringLiteral("李四"), 2, 0);
    const QByteArray list = a->waitForPrefix(Bytes({130, 2}));
    ASSERT_TRUE(decodeCp936(list.mid(2), text));
    const QStringList fields = text.split(u'`');
    ASSERT_GE(fields.size(), 11);
    EXPECT_EQ(fields[2], QStringLiteral("900"));
    EXPECT_EQ(fields[5], QStringLiteral("1")) << "games";
    EXPECT_EQ(fields[9], QStringLiteral("1")) << "lost";
}

TEST_F(StoredProtocolTest, LookAlikesArePassedToTheAccountAndAPasswordChanges) {
    auto bob = hallAccount(QStringLiteral("Bob"), QStringLiteral("first"), true);
    ASSERT_TRUE(ownRowIn(bob->waitForPrefix(Bytes({200, 0}))));
    // Greek capitals that look like Latin ones are the same name; so is another case.
    for (const QString& alike : {QStringLiteral("\u0392ob"), QStringLiteral("BOB")}) {
        auto c = hallAccount(alike, QStringLiteral("other"), true);
        expectRefused(*c, QStringLiteral("用户名与已有的用户太相似"));
    }
    auto typedOtherwise = hallAccount(QStringLiteral("bob"), QStringLiteral("first"));
    const auto row = ownRowIn(typedOtherwise->waitForPrefix(Bytes({200, 0})));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->name, QStringLiteral("Bob")) << "the stored spelling";

    // The change of password: the old one must be given.
    typedOtherwise->send(hall::changePassword(QStringLiteral("wrong"), QStringLiteral("second")));
    EXPECT_EQ(typedOtherwise->waitForPrefix(Bytes({209})),
              hall::passwordRefused(QStringLiteral("原密码错误")));
    typedOtherwise->send(hall::changePassword(QStringLiteral("first"), QStringLiteral("second")));
    EXPECT_EQ(typedOtherwise->waitForPrefix(Bytes({209, 0})), hall::passwordChanged());
    auto old = hallAccount(QStringLiteral("Bob"), QStringLiteral("first"));
    expectRefused(*old, QStringLiteral("用户名或密码错误"));
    auto fresh = hallAccount(QStringLiteral("Bob"), QStringLiteral("second"));
    EXPECT_TRUE(ownRowIn(fresh->waitForPrefix(Bytes({200, 0}))));
}

TEST_F(StoredProtocolTest, AGrantsTicketIsSpentByItsFirstUse) {
    auto hallA = hallAccount(QStringLiteral("张三"), QStringLiteral("pw"), true);
    ASSERT_TRUE(ownRowIn(hallA->waitForPrefix(Bytes({200, 0}))));
    hallA->send(hall::reserveWatch(1));  // nobody to watch yet
    EXPECT_FALSE(hallA->waitForPrefix(Bytes({204, 1})).isEmpty());
    hallA->send(hall::reserveSeat(1, 0));
    const auto parsed = hall::parseServerMessage(hallA->waitForPrefix(Bytes({204, 0})));
    ASSERT_TRUE(parsed);
    const QString ticket = std::get<hall::in::Reservation>(*parsed).ticket;
    {
        RawClient first(port_);
        first.logIn(QStringLiteral("张三"), ticket);
        ASSERT_FALSE(first.waitForPrefix(Bytes({130, 3})).isEmpty());
    }
    ASSERT_TRUE(WaitFor([&] { return log().contains("connection 2 closed"); }));
    RawClient second(port_);
    second.logIn(QStringLiteral("张三"), ticket);
    expectRefused(second, QStringLiteral("请先在大厅登录"));
}

// Red's mate in three, as (seat, from, piece, to, taken): the first moves before a restart, the
// rest after it.
constexpr int kMate[5][5] = {{0, 0x77, 19, 0x76, 0},
                             {1, 0x21, 3, 0x26, 0},
                             {0, 0x76, 19, 0x36, 7},
                             {1, 0x03, 5, 0x14, 0},
                             {0, 0x36, 19, 0x06, 6}};

void playMoves(RawClient& red, RawClient& black, int from, int to) {
    for (int i = from; i < to; ++i) {
        const auto& m = kMate[i];
        RawClient& mover = m[0] == 0 ? red : black;
        mover.send(Bytes({19, 0, m[0], m[1], m[2], m[3], m[4], 0, 0, 0}));
        const QByteArray echo = Bytes({19, 0, m[0], m[1], m[2], m[3], m[4]});
        ASSERT_FALSE(red.waitForPrefix(echo).isEmpty()) << "move " << i;
        ASSERT_FALSE(black.waitForPrefix(echo).isEmpty()) << "move " << i;
    }
}

// How the server goes away in the middle of a game: stopped in order, or killed outright.
class RestartTest : public StoredProtocolTest, public ::testing::WithParamInterface<bool> {};

TEST_P(RestartTest, ARunningGameGoesOnAfterTheServerComesBack) {
    const bool orderly = GetParam();
    {
        auto [hallA, hallB, a, b] = newAccountsPlayingAt(2);
        ASSERT_FALSE(HasFatalFailure());
        playMoves(*a, *b, 0, 3);
        if (orderly) {
            server_.terminate();  // SIGTERM
            const QString told =
                QStringLiteral("服务器即将关闭，未下完的对局在服务器重新启动后继续");
            for (RawClient* c : {a.get(), b.get(), hallA.get(), hallB.get()}) {
                EXPECT_EQ(c->waitForPrefix(Bytes({24})), Text({24}, told));
                EXPECT_TRUE(c->waitForClose());
            }
            ASSERT_TRUE(server_.waitForFinished(10000));
            EXPECT_EQ(server_.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(server_.exitCode(), 0);
            EXPECT_TRUE(log().contains("1 running games are kept for the restart"))
                << log().constData();
            // Closed in order: the database file alone holds everything.
            const QFileInfo wal(dir_.filePath(QStringLiteral("players.db-wal")));
            EXPECT_TRUE(!wal.exists() || wal.size() == 0);
        } else {
            // Killed: what was kept within the last second is what comes back.
            WaitFor([] { return false; }, 1500);
            server_.kill();
            ASSERT_TRUE(server_.waitForFinished(5000));
        }
    }
    startServer();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(WaitFor([&] { return log().contains("goes on from its moves kept"); }))
        << log().constData();

    // Each is asked back to his seat in the hall, and finds the game where it was.
    std::array<std::unique_ptr<RawClient>, 2> halls, tables;
    const std::array<QString, 2> names{QStringLiteral("张三"), QStringLiteral("李四")};
    const std::array<QString, 2> passwords{QStringLiteral("zhang pass"), QStringLiteral("li pass")};
    for (int s = 0; s < 2; ++s) {
        const auto i = static_cast<std::size_t>(s);
        halls[i] = hallAccount(names[i], passwords[i]);
        const auto own = ownRowIn(halls[i]->waitForPrefix(Bytes({200, 0})));
        ASSERT_TRUE(own);
        EXPECT_EQ(own->table, 2);
        EXPECT_EQ(halls[i]->waitForPrefix(Bytes({230})),
                  hall::gameWaiting(2, static_cast<hall::Place>(s)));
        tables[i] = seated(*halls[i], names[i], 2, s);
        const QByteArray snapshot = tables[i]->waitForPrefix(Bytes({109}));
        ASSERT_FALSE(snapshot.isEmpty());
        EXPECT_EQ((snapshot.size() - 22) / 4, 3) << "three moves on the board";
    }
    playMoves(*tables[0], *tables[1], 3, 5);
    const QByteArray end = tables[1]->waitForPrefix(Bytes({25}));
    ASSERT_EQ(end.size(), 10 + 6);
    EXPECT_EQ(end.mid(9), Text({1}, QStringLiteral("被将死")));
}

// A game that ended a moment before the stop, before its end was kept, is not set up again.
TEST_F(StoredProtocolTest, AGameThatEndedJustBeforeTheStopDoesNotComeBack) {
    {
        auto [hallA, hallB, a, b] = newAccountsPlayingAt(2);
        ASSERT_FALSE(HasFatalFailure());
        twoMovesEach(*a, *b);
        // Kept with its moves (every half second), then over, then the stop at once.
        WaitFor([] { return false; }, 800);
        b->send(Bytes({22, 0, 1}));
        ASSERT_FALSE(a->waitForPrefix(Bytes({25})).isEmpty());
        server_.terminate();
        ASSERT_TRUE(server_.waitForFinished(10000));
        EXPECT_EQ(server_.exitCode(), 0);
        EXPECT_TRUE(log().contains("0 running games are kept")) << log().constData();
    }
    startServer();
    ASSERT_FALSE(HasFatalFailure());
    auto hallA = hallAccount(QStringLiteral("张三"), QStringLiteral("zhang pass"));
    const auto own = ownRowIn(hallA->waitForPrefix(Bytes({200, 0})));
    ASSERT_TRUE(own);
    EXPECT_EQ(own->score, 1100);
    EXPECT_EQ(own->table, 0) << "not seated at the game that is over";
    EXPECT_TRUE(hallA->waitForPrefix(Bytes({230}), 1000).isEmpty());
    EXPECT_FALSE(log().contains("goes on")) << log().constData();
}

INSTANTIATE_TEST_SUITE_P(Stops, RestartTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("Sigterm") : std::string("Sigkill");
                         });

}  // namespace
}  // namespace xq::server::test
