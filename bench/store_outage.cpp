// A table's move echo while the room's PostgreSQL is stopped (SIGSTOP) compared with while it
// runs: a throwaway cluster, the real server with two tables, a game at table 1 whose moves go
// back and forth, and at table 2 games that end and start again (a result for the store each).
// Each phase lasts the seconds given; the figures are the time from the mover's send to the echo
// at both players.
//
//   bench_store_outage [seconds per phase]

#include <signal.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "../tests/server/raw_client.h"
#include "../tests/support/bytes.h"
#include "../tests/support/pg_cluster.h"
#include "net/hall_messages.h"
#include "server/store/player_store.h"

namespace {

using xq::server::test::RawClient;
using xq::test::Bytes;
using xq::test::Text;

const QString kPassword = QStringLiteral("bench pw");

struct Room {
    quint16 port = 0;
    int moves = 0;  // played at table 1 so far: whose turn it is
    std::vector<std::unique_ptr<RawClient>> halls, tables;
};

std::unique_ptr<RawClient> seated(quint16 port, RawClient& hall, const QString& name, int table,
                                  int seat) {
    hall.send(xq::hall::reserveSeat(table, seat));
    const auto parsed = xq::hall::parseServerMessage(hall.waitForPrefix(Bytes({204, 0})));
    const QString ticket = parsed ? std::get<xq::hall::in::Reservation>(*parsed).ticket : QString();
    auto c = std::make_unique<RawClient>(port);
    c->logIn(name, ticket);
    c->waitForPrefix(Bytes({130, 3}));
    return c;
}

bool startGame(RawClient& a, const QString& nameA, RawClient& b, const QString& nameB) {
    a.send(Text({112, 1}, nameA));
    a.waitForPrefix(Text({111, 0}, QStringLiteral("1`0`0`1`0`1`0`")));
    a.send(Text({112, 0}, nameA + QStringLiteral("`100`1000`10`5`50`0`0`30`0`0`30")));
    b.waitForPrefix(Text({112, 1}, nameA + QStringLiteral("`100")));
    b.send(Text({112, 1}, nameB));
    return !a.waitForPrefix(Bytes({17})).isEmpty() && !b.waitForPrefix(Bytes({17})).isEmpty();
}

// Moves at table 1 for `seconds`, table 2 ending and starting games meanwhile: the echo times.
std::vector<double> play(Room& room, int seconds, int* results) {
    // The cannons go one point aside and back, red and black in turn.
    const int cycle[4][5] = {{0, 0x77, 19, 0x76, 0},
                             {1, 0x21, 3, 0x26, 0},
                             {0, 0x76, 19, 0x77, 0},
                             {1, 0x26, 3, 0x21, 0}};
    RawClient& red = *room.tables[0];
    RawClient& black = *room.tables[1];
    std::vector<double> ms;
    QElapsedTimer phase;
    phase.start();
    int& i = room.moves;
    while (phase.elapsed() < seconds * 1000) {
        const int* m = cycle[i++ % 4];
        RawClient& mover = m[0] == 0 ? red : black;
        QElapsedTimer t;
        t.start();
        mover.send(Bytes({19, 0, m[0], m[1], m[2], m[3], m[4], 0, 0, 0}));
        const QByteArray echo = Bytes({19, 0, m[0], m[1], m[2], m[3], m[4]});
        if (red.waitForPrefix(echo, 120000).isEmpty() ||
            black.waitForPrefix(echo, 120000).isEmpty())
            break;
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        if (i % 20 == 0) {
            // Table 2: a resignation, then hands up for the next game.
            RawClient& c = *room.tables[2];
            RawClient& d = *room.tables[3];
            d.send(Bytes({22, 0, 1}));
            c.waitForPrefix(Bytes({25}), 1000);
            ++*results;
            c.send(Bytes({18, 0}));
            d.send(Bytes({18, 1}));
            c.waitForPrefix(Bytes({17}), 1000);
            d.waitForPrefix(Bytes({17}), 1000);
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return ms;
}

void report(const char* label, std::vector<double> ms, int results) {
    if (ms.empty()) {
        std::printf("%-22s no echo\n", label);
        return;
    }
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) {
        return ms[std::min(ms.size() - 1, static_cast<std::size_t>(q * ms.size()))];
    };
    std::printf("%-22s %6zu echoes  p50 %.2f ms  p99 %.2f ms  max %.2f ms  (%d games ended)\n",
                label, ms.size(), at(0.5), at(0.99), ms.back(), results);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 60;
    xq::test::PgCluster cluster;
    QString error;
    const QString where = cluster.createDatabase(QStringLiteral("outage"), &error);
    if (where.isEmpty()) {
        std::printf("skipped: %s\n", qPrintable(error));
        return 0;
    }
    const QStringList names = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"),
                               QStringLiteral("丁")};
    {
        auto store = xq::server::PlayerStore::open(where, &error);
        for (const QString& name : names) {
            if (!store || store->createAccount(name, kPassword, 1, &error) !=
                              xq::server::PlayerStore::Registration::Created) {
                std::printf("cannot make the accounts: %s\n", qPrintable(error));
                return 1;
            }
        }
    }
    QProcess server;
    const QString binary =
        qEnvironmentVariable("XQ_BENCH_SERVER", QStringLiteral(XQ_SERVER_BINARY));
    server.start(binary, {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"),
                          where, QStringLiteral("--tables"), QStringLiteral("2")});
    Room room;
    if (!server.waitForStarted() || !server.waitForReadyRead(20000)) return 1;
    room.port = static_cast<quint16>(server.readLine().trimmed().mid(5).toUInt());
    for (const QString& name : names) {
        auto c = std::make_unique<RawClient>(room.port);
        c->send(xq::hall::accountHello(name, kPassword, false));
        c->waitForPrefix(Bytes({200, 0}), 10000);
        room.halls.push_back(std::move(c));
    }
    for (int i = 0; i < 4; ++i)
        room.tables.push_back(seated(room.port, *room.halls[static_cast<std::size_t>(i)], names[i],
                                     1 + i / 2, i % 2));
    if (!startGame(*room.tables[0], names[0], *room.tables[1], names[1]) ||
        !startGame(*room.tables[2], names[2], *room.tables[3], names[3])) {
        std::printf("the games did not start\n%s\n", server.readAllStandardError().constData());
        return 1;
    }
    int results = 0;
    const auto running = play(room, seconds, &results);
    report("database running", running, results);
    cluster.signalServer(SIGSTOP);
    results = 0;
    const auto stopped = play(room, seconds, &results);
    report("database stopped", stopped, results);
    if (stopped.empty() || server.state() != QProcess::Running) {
        std::printf("server %s; its last words:\n%s\n",
                    server.state() == QProcess::Running ? "running" : "gone",
                    server.readAllStandardError().right(3000).constData());
    }
    cluster.signalServer(SIGCONT);
    server.kill();
    server.waitForFinished();
    return 0;
}
