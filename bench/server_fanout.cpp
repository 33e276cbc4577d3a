// Fan-out latency of the room server: 1000 spectators and two players on loopback; for every
// move, the time from the mover's send to its arrival at each spectator.
//
//   bench_server_fanout [spectators] [moves]
//
// XQ_BENCH_WRAP="valgrind --tool=callgrind" runs the server under that command (for profiles).

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpSocket>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "net/cp936.h"
#include "net/frame.h"
#include "server/fd_limit.h"

namespace {

using Clock = QElapsedTimer;

struct Client {
    QTcpSocket socket;
    xq::FrameReader reader;
    bool in = false;  // identity received
    int echoes = 0;   // moves received
    QByteArray lastOf17;
};

struct Bench {
    Clock clock;
    std::vector<std::unique_ptr<Client>> clients;  // 0, 1: players; then spectators
    std::vector<qint64> sentAtNs;
    std::vector<double> latenciesMs;
    int arrivedThisMove = 0;

    Client& add(quint16 port, const QString& name) {
        auto c = std::make_unique<Client>();
        Client* raw = c.get();
        const bool spectator = !clients.empty() && clients.size() >= 2;
        QObject::connect(&raw->socket, &QTcpSocket::readyRead, [this, raw, spectator] {
            raw->reader.feed(raw->socket.readAll());
            while (raw->reader.hasFrame()) {
                const QByteArray m = raw->reader.takeFrame();
                const auto code = static_cast<unsigned char>(m.at(0));
                if (code == 130 && m.size() > 1 && m.at(1) == 3) raw->in = true;
                if (code == 17) raw->lastOf17 = m;
                if (code == 19) {
                    const int k = raw->echoes++;
                    if (spectator && k < static_cast<int>(sentAtNs.size())) {
                        latenciesMs.push_back(
                            static_cast<double>(clock.nsecsElapsed() - sentAtNs[k]) / 1e6);
                        ++arrivedThisMove;
                    }
                }
            }
        });
        raw->socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        raw->socket.write(xq::EncodeFrame(QByteArray(xq::kHelloPrefix) + xq::EncodeCp936(name)) +
                          xq::EncodeFrame(QByteArray("\x82\x00"
                                                     "500`DRAK`1",
                                                     12)));
        clients.push_back(std::move(c));
        return *raw;
    }
};

template <typename F>
bool waitFor(F done, int ms) {
    Clock t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

QByteArray text(std::initializer_list<int> head, const QString& t) {
    QByteArray m;
    for (int b : head)
        m.append(static_cast<char>(b));
    return m + xq::EncodeCp936(t);
}

void send(Client& c, const QByteArray& m) {
    c.socket.write(xq::EncodeFrame(m));
    c.socket.flush();
}

double percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) return 0;
    const auto i = static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(i, sorted.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int spectators = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int moves = argc > 2 ? std::max(2, std::atoi(argv[2])) : 200;
    const long files = xq::server::raiseFileLimit();
    if (files >= 0 && files < spectators + 64) {
        std::fprintf(stderr, "open-file limit %ld is too low for %d spectators\n", files,
                     spectators);
        return 1;
    }

    QProcess server;
    QStringList command = qEnvironmentVariable("XQ_BENCH_WRAP").split(u' ', Qt::SkipEmptyParts);
    command << QStringLiteral(XQ_SERVER_BINARY) << QStringLiteral("--port") << QStringLiteral("0");
    server.setProgram(command.takeFirst());
    server.setArguments(command);
    server.setStandardErrorFile(QProcess::nullDevice());
    server.start();
    if (!server.waitForStarted(10000) || !waitFor([&] { return server.canReadLine(); }, 10000)) {
        std::fprintf(stderr, "the server did not start\n");
        return 1;
    }
    const auto port = static_cast<quint16>(server.readLine().trimmed().mid(5).toUInt());

    Bench bench;
    bench.clock.start();
    Client& red = bench.add(port, QStringLiteral("红方"));
    if (!waitFor([&] { return red.in; }, 10000)) return 1;
    Client& black = bench.add(port, QStringLiteral("黑方"));
    if (!waitFor([&] { return black.in; }, 10000)) return 1;
    Clock joinTime;
    joinTime.start();
    for (int i = 0; i < spectators; i += 50) {
        for (int k = i; k < std::min(spectators, i + 50); ++k)
            bench.add(port, QStringLiteral("观众%1").arg(k));
        const bool ok = waitFor(
            [&] {
                return std::all_of(bench.clients.begin(), bench.clients.end(),
                                   [](const auto& c) { return c->in; });
            },
            30000);
        if (!ok) {
            std::fprintf(stderr, "spectators did not get in\n");
            return 1;
        }
    }
    std::printf("%d spectators in after %.1f s\n", spectators,
                static_cast<double>(joinTime.elapsed()) / 1000.0);

    send(red, text({112, 1}, QStringLiteral("红方")));
    waitFor([] { return false; }, 100);
    send(red, text({112, 0}, QStringLiteral("红方`100`1000`10`5`50`0`5`0`0`0`30")));
    waitFor([] { return false; }, 100);
    send(black, text({112, 1}, QStringLiteral("黑方")));
    if (!waitFor(
            [&] {
                return std::all_of(bench.clients.begin(), bench.clients.end(),
                                   [](const auto& c) { return !c->lastOf17.isEmpty(); });
            },
            30000)) {
        std::fprintf(stderr, "the game did not start\n");
        return 1;
    }

    // Horses out and back: never ends the game.
    const int line[4][4] = {
        {0x91, 18, 0x72, 0}, {0x01, 2, 0x22, 0}, {0x72, 18, 0x91, 0}, {0x22, 2, 0x01, 0}};
    bench.latenciesMs.reserve(static_cast<std::size_t>(moves) *
                              static_cast<std::size_t>(spectators));
    for (int k = 0; k < moves; ++k) {
        const auto& m = line[k % 4];
        const int seat = k % 2;
        bench.arrivedThisMove = 0;
        bench.sentAtNs.push_back(bench.clock.nsecsElapsed());
        send(seat == 0 ? red : black,
             QByteArray(1, 19) + QByteArray(1, 0) + QByteArray(1, static_cast<char>(seat)) +
                 QByteArray(1, static_cast<char>(m[0])) + QByteArray(1, static_cast<char>(m[1])) +
                 QByteArray(1, static_cast<char>(m[2])) + QByteArray(1, static_cast<char>(m[3])) +
                 QByteArray(3, 0));
        if (!waitFor([&] { return bench.arrivedThisMove == spectators; }, 30000)) {
            std::fprintf(stderr, "move %d reached only %d spectators\n", k + 1,
                         bench.arrivedThisMove);
            return 1;
        }
    }

    std::vector<double> sorted = bench.latenciesMs;
    std::sort(sorted.begin(), sorted.end());
    std::printf("moves %d, spectators %d, samples %zu\n", moves, spectators, sorted.size());
    std::printf("p50 %.3f ms  p99 %.3f ms  max %.3f ms\n", percentile(sorted, 0.50),
                percentile(sorted, 0.99), sorted.empty() ? 0.0 : sorted.back());
    server.terminate();  // a profiler writes its figures on SIGTERM
    if (!server.waitForFinished(60000)) server.kill();
    return 0;
}
