// A crowd arriving in the hall while tables play: T tables with two players each (seated through
// the hall, which they then leave), moving at a steady pace; then H hall users connect at once.
//
//   bench_hall_arrivals [hall users] [tables] [ms between moves]     (3000 10 50)
//
// Prints a table's move echo (from the mover's send to the echo at the mover) p50/p99 before the
// crowd and while it arrives, how long until every newcomer has the whole hall (the tables'
// list, which comes last), the bytes the newcomers received, and the server's CPU meanwhile. The
// tables' clients run on a thread of their own, so that reading the crowd's lists does not delay
// their echoes here.
// XQ_BENCH_SERVER=path runs another build of the server (to compare builds).

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "net/cp936.h"
#include "net/hall_messages.h"
#include "net/table_requests.h"
#include "server/fd_limit.h"
#include "swarm.h"

namespace {

using xq::bench::Swarm;

struct Player {
    QString name;
    QString ticket;
    long hall = -1;
    long table = -1;
    bool listed = false;
    bool granted = false;
    bool in = false;
    bool started = false;
};

struct Board {
    int step = 0;            // moves made; the mover is step % 2
    qint64 sentNs = 0;       // the move in flight, or 0
    qint64 dueNs = 0;        // when the next move goes
    bool crowdSeen = false;  // the move was sent while the crowd arrives
};

void report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%s: %zu samples, p50 %.2f ms, p99 %.2f ms, max %.2f ms\n", what, ms.size(),
                xq::bench::percentile(ms, 0.50), xq::bench::percentile(ms, 0.99),
                ms.empty() ? 0.0 : ms.back());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int crowd = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3000;
    const int tables = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 500) : 10;
    const qint64 paceNs = (argc > 3 ? std::max(1, std::atoi(argv[3])) : 50) * 1'000'000LL;
    const long files = xq::server::raiseFileLimit();
    const long needed = crowd + 4L * tables + 64;
    if (files >= 0 && files < needed) {
        std::fprintf(stderr, "open-file limit %ld is too low (%ld needed)\n", files, needed);
        return 1;
    }
    QProcess server;
    const quint16 port = xq::bench::startServer(
        server, QStringLiteral(XQ_SERVER_BINARY),
        {QStringLiteral("--tables"), QString::number(tables), QStringLiteral("--no-db"),
         QStringLiteral("--max-connections"), QString::number(needed + 100)});
    if (port == 0) {
        std::fprintf(stderr, "the server did not start\n");
        return 1;
    }
    Swarm swarm(port);  // the players
    Swarm crowdSwarm(port);
    std::vector<Player> players;
    for (int t = 0; t < tables; ++t)
        for (int k = 0; k < 2; ++k)
            players.push_back(Player{QStringLiteral("桌%1_%2").arg(t + 1).arg(k),
                                     QStringLiteral("p%1x%2").arg(t + 1).arg(k)});
    std::vector<Board> boards(static_cast<std::size_t>(tables));
    std::vector<long> owner(players.size() * 2 + 16, -1);  // client index to player
    std::vector<bool> newcomerIn(static_cast<std::size_t>(crowd), false);
    int newcomersIn = 0;
    qint64 crowdBytes = 0;
    std::atomic<bool> crowdArriving = false;
    std::atomic<bool> crowdIn = false;  // echoes from then on are neither before nor during
    std::vector<double> quietMs, crowdMs;

    const auto moveOf = [](int step, int seat) {
        static const int line[4][3] = {
            {0x91, 18, 0x72}, {0x01, 2, 0x22}, {0x72, 18, 0x91}, {0x22, 2, 0x01}};
        const auto& m = line[step % 4];
        const auto b = [](int v) { return static_cast<std::uint8_t>(v); };
        return xq::tablemsg::encode(xq::tablemsg::Move{b(seat), b(m[0]), b(m[1]), b(m[2]), 0, {}});
    };
    const auto sendMove = [&](std::size_t t) {
        Board& b = boards[t];
        const int seat = b.step % 2;
        const Player& p = players[t * 2 + static_cast<std::size_t>(seat)];
        b.sentNs = swarm.nowNs();
        b.crowdSeen = crowdArriving;
        swarm.send(static_cast<std::size_t>(p.table), moveOf(b.step, seat));
    };
    bool moving = false;
    const auto onFrame = [&](std::size_t client, const QByteArray& m) {
        if (m.isEmpty() || client >= owner.size()) return;
        const long o = owner[client];
        const auto code = static_cast<unsigned char>(m[0]);
        if (o < 0) return;
        Player& p = players[static_cast<std::size_t>(o)];
        if (code == xq::hall::code::kTables && m.size() > 1 && m[1] == 0) p.listed = true;
        if (code == xq::hall::code::kReservation && m.size() > 1 && m[1] == 0) {
            // The table client comes in with the grant's one-time ticket.
            const auto parsed = xq::hall::parseServerMessage(m);
            const auto* r = parsed ? std::get_if<xq::hall::in::Reservation>(&*parsed) : nullptr;
            if (r && !r->ticket.isEmpty()) p.ticket = r->ticket;
            p.granted = true;
        }
        if (code == 130 && m.size() > 1 && m[1] == 3) p.in = true;
        if (code == 17) p.started = true;
        if (code == 19 && moving && static_cast<long>(client) == p.table) {
            const std::size_t t = static_cast<std::size_t>(o) / 2;
            Board& b = boards[t];
            if (b.sentNs == 0 || (o % 2) != b.step % 2) return;  // the mover's own echo only
            const double ms = static_cast<double>(swarm.nowNs() - b.sentNs) / 1e6;
            if (b.crowdSeen || crowdArriving) {
                crowdMs.push_back(ms);
            } else if (!crowdIn) {
                quietMs.push_back(ms);
            }
            b.sentNs = 0;
            ++b.step;
            b.dueNs = swarm.nowNs() + paceNs;
        }
    };
    const auto onCrowdFrame = [&](std::size_t n, const QByteArray& m) {
        if (m.isEmpty() || n >= newcomerIn.size()) return;
        crowdBytes += m.size() + 4;
        if (static_cast<unsigned char>(m[0]) == xq::hall::code::kTables && m.size() > 1 &&
            m[1] == 0 && !newcomerIn[n]) {
            newcomerIn[n] = true;
            ++newcomersIn;
        }
    };
    const auto until = [&](auto done, int ms) { return swarm.until(done, ms, onFrame); };
    const auto allPlayers = [&](bool Player::*flag) {
        return [&, flag] {
            return std::all_of(players.begin(), players.end(),
                               [flag](const Player& p) { return p.*flag; });
        };
    };

    // The players come through the hall, take their seats and leave the hall.
    for (std::size_t i = 0; i < players.size(); ++i) {
        Player& p = players[i];
        p.hall = swarm.connect();
        if (p.hall < 0) return 1;
        owner[static_cast<std::size_t>(p.hall)] = static_cast<long>(i);
        swarm.send(static_cast<std::size_t>(p.hall), xq::hall::hello(p.name, p.ticket));
    }
    if (!until(allPlayers(&Player::listed), 60000)) return std::fprintf(stderr, "no hall\n"), 1;
    for (std::size_t i = 0; i < players.size(); ++i)
        swarm.send(static_cast<std::size_t>(players[i].hall),
                   xq::hall::reserveSeat(static_cast<int>(i / 2) + 1, static_cast<int>(i % 2)));
    if (!until(allPlayers(&Player::granted), 60000)) return std::fprintf(stderr, "no seats\n"), 1;
    for (std::size_t i = 0; i < players.size(); ++i) {
        Player& p = players[i];
        p.table = swarm.connect();
        if (p.table < 0) return 1;
        owner[static_cast<std::size_t>(p.table)] = static_cast<long>(i);
        swarm.send(static_cast<std::size_t>(p.table),
                   QByteArray(xq::kHelloPrefix) + xq::encodeCp936(p.name + u'`' + p.ticket));
        swarm.send(static_cast<std::size_t>(p.table),
                   xq::tablemsg::encode(xq::tablemsg::Login{true}));
    }
    if (!until(allPlayers(&Player::in), 60000)) return std::fprintf(stderr, "no tables\n"), 1;
    for (const Player& p : players)
        swarm.close(static_cast<std::size_t>(p.hall));
    for (std::size_t t = 0; t < boards.size(); ++t) {
        const Player& a = players[t * 2];
        const Player& b = players[t * 2 + 1];
        swarm.send(static_cast<std::size_t>(a.table),
                   xq::tablemsg::encode(xq::tablemsg::HandUp{a.name}));
        swarm.send(static_cast<std::size_t>(a.table),
                   xq::tablemsg::encode(xq::tablemsg::OwnerSettings{
                       a.name, QStringLiteral("100`1000`10`5`50`0`5`0`0`0`30")}));
        swarm.send(static_cast<std::size_t>(b.table),
                   xq::tablemsg::encode(xq::tablemsg::HandUp{b.name}));
    }
    if (!until(allPlayers(&Player::started), 60000)) return std::fprintf(stderr, "no games\n"), 1;

    // Tables move at their pace, on their own thread.
    moving = true;
    std::atomic<bool> stop = false;
    std::thread driver([&] {
        while (!stop) {
            const qint64 now = swarm.nowNs();
            for (std::size_t t = 0; t < boards.size(); ++t)
                if (boards[t].sentNs == 0 && boards[t].dueNs <= now) sendMove(t);
            swarm.pump(1, onFrame);
        }
    });
    std::this_thread::sleep_for(std::chrono::seconds(3));

    const xq::bench::Usage before = xq::bench::usageOf(server.processId());
    crowdArriving = true;
    QElapsedTimer arriving;
    arriving.start();
    // All at once, as fast as the connections can be made.
    for (int n = 0; n < crowd; ++n) {
        const long c = crowdSwarm.connect();
        if (c < 0) {
            std::fprintf(stderr, "connection %d failed\n", n);
            break;
        }
        crowdSwarm.send(static_cast<std::size_t>(c), xq::hall::hello(QStringLiteral("客%1").arg(n),
                                                                     QStringLiteral("c%1").arg(n)));
        if (n % 50 == 49) crowdSwarm.pump(0, onCrowdFrame);
    }
    crowdSwarm.until([&] { return newcomersIn == crowd; }, 120000, onCrowdFrame, 1);
    const double inS = static_cast<double>(arriving.nsecsElapsed()) / 1e9;
    crowdArriving = false;
    crowdIn = true;
    const xq::bench::Usage after = xq::bench::usageOf(server.processId());
    if (newcomersIn < crowd) std::fprintf(stderr, "only %d of %d got in\n", newcomersIn, crowd);
    std::this_thread::sleep_for(std::chrono::seconds(1));  // moves still in flight settle
    stop = true;
    driver.join();

    std::printf("%d tables moving every %lld ms, %d hall users arriving at once\n", tables,
                static_cast<long long>(paceNs / 1'000'000), crowd);
    report("move echo before the crowd", quietMs);
    report("move echo while it arrives", crowdMs);
    std::printf(
        "all %d in after %.2f s; they received %.1f MiB (%.1f KiB each); server CPU %.2f s\n",
        newcomersIn, inS, static_cast<double>(crowdBytes) / (1024.0 * 1024.0),
        static_cast<double>(crowdBytes) / 1024.0 / std::max(1, newcomersIn),
        after.cpuSeconds - before.cpuSeconds);
    server.terminate();
    if (!server.waitForFinished(60000)) server.kill();
    // A crowd that did not all get in waited out the time limit: its echoes are no measurement.
    return newcomersIn == crowd ? 0 : 1;
}
