// Fan-out latency of the room server: 1000 spectators and two players on loopback; for every
// move, the time from the mover's send to its arrival at each spectator. The clients are bare
// sockets read through one epoll set, so that the figures are the server's and the kernel's,
// not a client library's. While a move is on its way the reader polls without sleeping: both
// ends share one machine here, and a sleeping reader would make each of the server's sends pay
// for waking it (an interrupt to the other core per spectator), which spectators on their own
// machines never cost the server.
//
//   bench_server_fanout [spectators] [moves]
//
// XQ_BENCH_WRAP="valgrind --tool=callgrind" runs the server under that command (for profiles);
// XQ_BENCH_SERVER=path runs another build of the server (to compare builds).

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/cp936.h"
#include "net/frame.h"
#include "net/table_requests.h"
#include "server/fd_limit.h"

namespace {

struct Client {
    int fd = -1;
    xq::FrameReader reader;
    bool in = false;       // identity received
    bool started = false;  // game start received
    int echoes = 0;        // moves received
};

struct Bench {
    QElapsedTimer clock;
    int epoll = epoll_create1(0);
    std::vector<Client> clients;  // 0, 1: players; then spectators
    std::vector<qint64> sentAtNs;
    std::vector<double> latenciesMs;
    int arrivedThisMove = 0;

    bool add(quint16 port, const QString& name) {
        Client c;
        c.fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (c.fd < 0 || ::connect(c.fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0)
            return false;
        const int one = 1;
        setsockopt(c.fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        fcntl(c.fd, F_SETFL, fcntl(c.fd, F_GETFL) | O_NONBLOCK);
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u32 = static_cast<std::uint32_t>(clients.size());
        epoll_ctl(epoll, EPOLL_CTL_ADD, c.fd, &ev);
        clients.push_back(std::move(c));
        send(clients.size() - 1, QByteArray(xq::kHelloPrefix) + xq::encodeCp936(name));
        send(clients.size() - 1, xq::tablemsg::encode(xq::tablemsg::Login{true}));
        return true;
    }

    void send(std::size_t k, const QByteArray& message) {
        const QByteArray frame = xq::encodeFrame(message);
        qsizetype at = 0;
        while (at < frame.size()) {
            const ssize_t n = ::send(clients[k].fd, frame.constData() + at,
                                     static_cast<size_t>(frame.size() - at), MSG_NOSIGNAL);
            if (n > 0) at += n;
        }
    }

    // Reads whatever has arrived, waiting at most `ms` for something.
    void pump(int ms) {
        std::array<epoll_event, 256> ready{};
        const int n = epoll_wait(epoll, ready.data(), static_cast<int>(ready.size()), ms);
        std::array<char, 16384> buffer{};
        for (int i = 0; i < n; ++i) {
            const std::size_t k = ready[static_cast<std::size_t>(i)].data.u32;
            Client& c = clients[k];
            for (;;) {
                const ssize_t got = ::recv(c.fd, buffer.data(), buffer.size(), 0);
                if (got <= 0) break;
                c.reader.feed(QByteArrayView(buffer.data(), got));
            }
            while (c.reader.hasFrame()) {
                const QByteArray m = c.reader.takeFrame();
                const auto code = static_cast<unsigned char>(m.at(0));
                if (code == 130 && m.size() > 1 && m.at(1) == 3) c.in = true;
                if (code == 17) c.started = true;
                if (code == 19) {
                    const int e = c.echoes++;
                    if (k >= 2 && e < static_cast<int>(sentAtNs.size())) {
                        latenciesMs.push_back(
                            static_cast<double>(clock.nsecsElapsed() - sentAtNs[e]) / 1e6);
                        ++arrivedThisMove;
                    }
                }
            }
        }
    }

    template <typename F>
    bool waitFor(F done, int ms, int pollMs = 5) {
        QElapsedTimer t;
        t.start();
        while (!done()) {
            if (t.elapsed() > ms) return false;
            pump(pollMs);
        }
        return true;
    }
    bool all(bool Client::*flag) const {
        return std::all_of(clients.begin(), clients.end(),
                           [flag](const Client& c) { return c.*flag; });
    }
};

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
    const QString binary =
        qEnvironmentVariable("XQ_BENCH_SERVER", QStringLiteral(XQ_SERVER_BINARY));
    command << binary << QStringLiteral("--port") << QStringLiteral("0")
            << QStringLiteral("--no-db");
    server.setProgram(command.takeFirst());
    server.setArguments(command);
    server.setStandardErrorFile(QProcess::nullDevice());
    server.start();
    if (!server.waitForStarted(10000) || !server.waitForReadyRead(60000)) {
        std::fprintf(stderr, "the server did not start\n");
        return 1;
    }
    while (!server.canReadLine() && server.waitForReadyRead(10000)) {
    }
    const auto port = static_cast<quint16>(server.readLine().trimmed().mid(5).toUInt());

    Bench bench;
    bench.clock.start();
    const auto in = [&] { return bench.all(&Client::in); };
    if (!bench.add(port, QStringLiteral("红方")) || !bench.waitFor(in, 10000) ||
        !bench.add(port, QStringLiteral("黑方")) || !bench.waitFor(in, 10000)) {
        std::fprintf(stderr, "the players did not get in\n");
        return 1;
    }
    QElapsedTimer joinTime;
    joinTime.start();
    for (int i = 0; i < spectators; i += 50) {
        for (int k = i; k < std::min(spectators, i + 50); ++k) {
            if (!bench.add(port, QStringLiteral("观众%1").arg(k))) {
                std::fprintf(stderr, "cannot connect\n");
                return 1;
            }
        }
        if (!bench.waitFor(in, 30000)) {
            std::fprintf(stderr, "spectators did not get in\n");
            return 1;
        }
    }
    std::printf("%d spectators in after %.1f s\n", spectators,
                static_cast<double>(joinTime.elapsed()) / 1000.0);

    bench.send(0, xq::tablemsg::encode(xq::tablemsg::HandUp{QStringLiteral("红方")}));
    bench.waitFor([] { return false; }, 100);
    bench.send(0, xq::tablemsg::encode(xq::tablemsg::OwnerSettings{
                      QStringLiteral("红方"), QStringLiteral("100`1000`10`5`50`0`5`0`0`0`30")}));
    bench.waitFor([] { return false; }, 100);
    bench.send(1, xq::tablemsg::encode(xq::tablemsg::HandUp{QStringLiteral("黑方")}));
    if (!bench.waitFor([&] { return bench.all(&Client::started); }, 30000)) {
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
        const auto b = [](int v) { return static_cast<std::uint8_t>(v); };
        const QByteArray move = xq::tablemsg::encode(
            xq::tablemsg::Move{b(seat), b(m[0]), b(m[1]), b(m[2]), b(m[3]), {}});
        bench.sentAtNs.push_back(bench.clock.nsecsElapsed());
        bench.send(static_cast<std::size_t>(seat), move);
        if (!bench.waitFor([&] { return bench.arrivedThisMove == spectators; }, 30000, 0)) {
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
