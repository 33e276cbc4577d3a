// A busy room: T tables, each with two players and S spectators who took their places through
// the hall, H more users watching the hall, every table playing at once.
//
//   bench_room [tables] [spectators per table] [hall users] [rounds]     (100 10 500 40)
//
// Prints how long the seating took; for the moves (one per table per round, all tables at once)
// the time from the mover's send to the echo at each person of the table, p50 and p99, and the
// server's CPU per move; and for the hall, the time a table's change takes to reach every hall
// user. Clients are bare sockets on one epoll set (see swarm.h).

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>

#include "net/cp936.h"
#include "net/hall_messages.h"
#include "net/table_requests.h"
#include "server/fd_limit.h"
#include "swarm.h"

namespace {

using xq::bench::Swarm;

struct Person {
    QString name;
    QString ticket;
    long hall = -1;
    long table = -1;
    bool listed = false;   // the hall's lists arrived
    bool granted = false;  // the reservation
    bool in = false;       // the table's identity arrived
    bool started = false;  // a game start arrived
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
    const int tables = argc > 1 ? std::clamp(std::atoi(argv[1]), 1, 500) : 100;
    const int spectators = argc > 2 ? std::max(0, std::atoi(argv[2])) : 10;
    const int hallUsers = argc > 3 ? std::max(1, std::atoi(argv[3])) : 500;
    const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 40;
    const int perTable = 2 + spectators;
    const long files = xq::server::raiseFileLimit();
    const long needed = static_cast<long>(tables) * perTable * 2 + hallUsers + 64;
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
    Swarm swarm(port);
    std::vector<Person> people;  // table t's people at t * perTable + k; then the hall users
    std::vector<long> owner(2 * static_cast<std::size_t>(tables) * perTable + hallUsers + 16, -1);
    const auto who = [&](long client) -> Person* {
        const auto c = static_cast<std::size_t>(client);
        return c < owner.size() && owner[c] >= 0 ? &people[static_cast<std::size_t>(owner[c])]
                                                 : nullptr;
    };
    // Hall updates of one table being timed, and table echoes of one round.
    int watchedTable = 0;
    qint64 changeSentNs = 0;
    int hallSeen = 0;
    std::vector<double> hallMs;
    std::vector<qint64> moveSentNs(static_cast<std::size_t>(tables), 0);
    int echoes = 0;
    std::vector<double> echoMs;

    const auto onFrame = [&](std::size_t client, const QByteArray& m) {
        Person* p = who(static_cast<long>(client));
        if (!p || m.isEmpty()) return;
        const auto code = static_cast<unsigned char>(m[0]);
        const std::size_t index = static_cast<std::size_t>(p - people.data());
        if (code == xq::hall::code::kTables && m.size() > 1 && m[1] == 0) p->listed = true;
        // Changed tables come in batches of rows, one row a line.
        const bool batch = code == xq::hall::code::kTableRows;
        const bool single = code == xq::hall::code::kTables && m.size() > 1 && m[1] == 1;
        if ((batch || single) && changeSentNs > 0) {
            const QByteArray row = QByteArray::number(watchedTable) + '`';
            const QByteArray rows = m.mid(batch ? 1 : 2);
            if (rows.startsWith(row) || rows.contains('\n' + row)) {
                hallMs.push_back(static_cast<double>(swarm.nowNs() - changeSentNs) / 1e6);
                ++hallSeen;
            }
        }
        if (code == xq::hall::code::kReservation && m.size() > 1 && m[1] == 0) {
            // The table client comes in with the grant's one-time ticket.
            const auto parsed = xq::hall::parseServerMessage(m);
            const auto* r = parsed ? std::get_if<xq::hall::in::Reservation>(&*parsed) : nullptr;
            if (r && !r->ticket.isEmpty()) p->ticket = r->ticket;
            p->granted = true;
        }
        if (code == 130 && m.size() > 1 && m[1] == 3) p->in = true;
        if (code == 17) p->started = true;
        if (code == 19 && index < static_cast<std::size_t>(tables) * perTable) {
            const std::size_t t = index / static_cast<std::size_t>(perTable);
            echoMs.push_back(static_cast<double>(swarm.nowNs() - moveSentNs[t]) / 1e6);
            ++echoes;
        }
    };
    const auto all = [&](std::size_t from, std::size_t to, bool Person::*flag) {
        return [&, from, to, flag] {
            for (std::size_t i = from; i < to; ++i)
                if (!(people[i].*flag)) return false;
            return true;
        };
    };
    const auto hallIn = [&](std::size_t i) {
        Person& p = people[i];
        p.hall = swarm.connect();
        if (p.hall < 0) return false;
        owner[static_cast<std::size_t>(p.hall)] = static_cast<long>(i);
        swarm.send(static_cast<std::size_t>(p.hall), xq::hall::hello(p.name, p.ticket));
        return true;
    };
    const auto tableIn = [&](std::size_t i) {
        Person& p = people[i];
        p.table = swarm.connect();
        if (p.table < 0) return false;
        owner[static_cast<std::size_t>(p.table)] = static_cast<long>(i);
        swarm.send(static_cast<std::size_t>(p.table),
                   QByteArray(xq::kHelloPrefix) + xq::encodeCp936(p.name + u'`' + p.ticket));
        swarm.send(static_cast<std::size_t>(p.table),
                   xq::tablemsg::encode(xq::tablemsg::Login{true}));
        return true;
    };

    QElapsedTimer seating;
    seating.start();
    for (int t = 0; t < tables; ++t) {
        for (int k = 0; k < perTable; ++k)
            people.push_back(Person{QStringLiteral("桌%1_%2").arg(t + 1).arg(k),
                                    QStringLiteral("k%1x%2").arg(t + 1).arg(k)});
    }
    for (int h = 0; h < hallUsers; ++h)
        people.push_back(Person{QStringLiteral("观%1").arg(h), QStringLiteral("h%1").arg(h)});
    const std::size_t seated = static_cast<std::size_t>(tables) * perTable;
    // Players first (a table needs a player before anyone can watch it), then the spectators,
    // in batches the server takes without a long queue.
    const auto seat = [&](int kFrom, int kTo) {
        for (int t = 0; t < tables; t += 25) {
            std::vector<std::size_t> batch;
            for (int u = t; u < std::min(tables, t + 25); ++u)
                for (int k = kFrom; k < kTo; ++k)
                    batch.push_back(static_cast<std::size_t>(u * perTable + k));
            for (std::size_t i : batch)
                if (!hallIn(i)) return false;
            if (!swarm.until(
                    [&] {
                        return std::all_of(batch.begin(), batch.end(),
                                           [&](std::size_t i) { return people[i].listed; });
                    },
                    60000, onFrame))
                return false;
            for (std::size_t i : batch) {
                const int k = static_cast<int>(i % static_cast<std::size_t>(perTable));
                const int table = static_cast<int>(i / static_cast<std::size_t>(perTable)) + 1;
                swarm.send(static_cast<std::size_t>(people[i].hall),
                           k < 2 ? xq::hall::reserveSeat(table, k) : xq::hall::reserveWatch(table));
            }
            if (!swarm.until(
                    [&] {
                        return std::all_of(batch.begin(), batch.end(),
                                           [&](std::size_t i) { return people[i].granted; });
                    },
                    60000, onFrame))
                return false;
            for (std::size_t i : batch) {
                if (!tableIn(i)) return false;
            }
            if (!swarm.until(
                    [&] {
                        return std::all_of(batch.begin(), batch.end(),
                                           [&](std::size_t i) { return people[i].in; });
                    },
                    60000, onFrame))
                return false;
            // They leave the hall; their tables play on.
            for (std::size_t i : batch)
                swarm.close(static_cast<std::size_t>(people[i].hall));
        }
        return true;
    };
    if (!seat(0, 2) || !seat(2, perTable)) {
        std::fprintf(stderr, "seating failed\n");
        return 1;
    }
    for (std::size_t i = seated; i < people.size(); ++i) {
        if (!hallIn(i)) return 1;
    }
    if (!swarm.until(all(seated, people.size(), &Person::listed), 60000, onFrame)) {
        std::fprintf(stderr, "the hall users did not get in\n");
        return 1;
    }
    std::printf("%d tables of %d, %d hall users: seated in %.1f s\n", tables, perTable, hallUsers,
                static_cast<double>(seating.elapsed()) / 1000.0);

    // Every table starts a game.
    for (int t = 0; t < tables; ++t) {
        const Person& a = people[static_cast<std::size_t>(t * perTable)];
        const Person& b = people[static_cast<std::size_t>(t * perTable + 1)];
        swarm.send(static_cast<std::size_t>(a.table),
                   xq::tablemsg::encode(xq::tablemsg::HandUp{a.name}));
        swarm.send(static_cast<std::size_t>(a.table),
                   xq::tablemsg::encode(xq::tablemsg::OwnerSettings{
                       a.name, QStringLiteral("100`1000`10`5`50`0`5`0`0`0`30")}));
        swarm.send(static_cast<std::size_t>(b.table),
                   xq::tablemsg::encode(xq::tablemsg::HandUp{b.name}));
    }
    if (!swarm.until(all(0, seated, &Person::started), 60000, onFrame)) {
        std::fprintf(stderr, "the games did not start\n");
        return 1;
    }

    // Horses out and back, every table at once each round.
    const int line[4][3] = {{0x91, 18, 0x72}, {0x01, 2, 0x22}, {0x72, 18, 0x91}, {0x22, 2, 0x01}};
    const xq::bench::Usage before = xq::bench::usageOf(server.processId());
    QElapsedTimer moving;
    moving.start();
    for (int r = 0; r < rounds; ++r) {
        const auto& m = line[r % 4];
        const int mover = r % 2;
        echoes = 0;
        for (int t = 0; t < tables; ++t) {
            const Person& p = people[static_cast<std::size_t>(t * perTable + mover)];
            moveSentNs[static_cast<std::size_t>(t)] = swarm.nowNs();
            const auto b = [](int v) { return static_cast<std::uint8_t>(v); };
            swarm.send(static_cast<std::size_t>(p.table),
                       xq::tablemsg::encode(
                           xq::tablemsg::Move{b(mover), b(m[0]), b(m[1]), b(m[2]), 0, {}}));
        }
        if (!swarm.until([&] { return echoes == static_cast<int>(seated); }, 30000, onFrame, 0)) {
            std::fprintf(stderr, "round %d: %d echoes of %zu\n", r + 1, echoes, seated);
            return 1;
        }
    }
    const double movingS = static_cast<double>(moving.elapsed()) / 1000.0;
    const xq::bench::Usage after = xq::bench::usageOf(server.processId());
    report("move echo to the table's 12 people", echoMs);
    const double cpu = after.cpuSeconds - before.cpuSeconds;
    std::printf("server CPU for %d moves: %.2f s over %.2f s (%.3f ms a move)\n", rounds * tables,
                cpu, movingS, cpu * 1000.0 / (rounds * tables));

    // A spectator leaves a table: the table's row changes for every hall user.
    const int changes = std::min(tables * spectators, 50);
    for (int c = 0; c < changes; ++c) {
        const int t = c % tables;
        const int k = 2 + (c / tables) % std::max(1, spectators);
        Person& p = people[static_cast<std::size_t>(t * perTable + k)];
        watchedTable = t + 1;
        hallSeen = 0;
        changeSentNs = swarm.nowNs();
        swarm.send(static_cast<std::size_t>(p.table),
                   xq::tablemsg::encode(xq::tablemsg::Leave{p.name}));
        if (!swarm.until([&] { return hallSeen >= hallUsers; }, 30000, onFrame, 0)) {
            std::fprintf(stderr, "change %d reached %d hall users\n", c + 1, hallSeen);
            return 1;
        }
        changeSentNs = 0;
    }
    report("a table's change to every hall user", hallMs);
    std::printf("server memory %.1f MiB\n", after.rssKiB / 1024.0);
    server.terminate();
    if (!server.waitForFinished(60000)) server.kill();
    return 0;
}
