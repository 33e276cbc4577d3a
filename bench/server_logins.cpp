// Cost of a crowd arriving at the room server: two players, then N spectators who all connect at
// once on loopback. Prints the server's CPU time for the arrivals (user + system, from /proc),
// how long the newcomers waited for the whole user list, and the server's resident memory per
// idle spectator once everything has been delivered.
//
//   bench_server_logins [spectators] [extra server arguments...]
//
// XQ_BENCH_WRAP="valgrind --tool=callgrind" runs the server under that command (for profiles);
// XQ_BENCH_SERVER=path runs another build of the server (to compare builds).

#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "net/cp936.h"
#include "net/frame.h"
#include "net/table_requests.h"
#include "server/fd_limit.h"
#include "swarm.h"

namespace {

struct Client {
    QTcpSocket socket;
    xq::FrameReader reader;
    qint64 startNs = 0;
    qint64 listNs = -1;  // when the whole list arrived
    int known = 0;       // rows in the list plus arrivals announced since
};

template <typename F>
bool waitFor(F done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

QByteArray helloAndLogin(const QString& name) {
    return xq::encodeFrame(QByteArray(xq::kHelloPrefix) + xq::encodeCp936(name)) +
           xq::encodeFrame(xq::tablemsg::encode(xq::tablemsg::Login{true}));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int spectators = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    QStringList serverArgs = {QStringLiteral("--port"), QStringLiteral("0"),
                              QStringLiteral("--no-db")};
    for (int i = 2; i < argc; ++i)
        serverArgs << QString::fromLocal8Bit(argv[i]);
    const long files = xq::server::raiseFileLimit();
    if (files >= 0 && files < spectators + 64) {
        std::fprintf(stderr, "open-file limit %ld is too low for %d spectators\n", files,
                     spectators);
        return 1;
    }

    QProcess server;
    QStringList command = qEnvironmentVariable("XQ_BENCH_WRAP").split(u' ', Qt::SkipEmptyParts);
    command << qEnvironmentVariable("XQ_BENCH_SERVER", QStringLiteral(XQ_SERVER_BINARY))
            << serverArgs;
    server.setProgram(command.takeFirst());
    server.setArguments(command);
    server.setStandardErrorFile(QProcess::nullDevice());
    server.start();
    if (!server.waitForStarted(10000) || !waitFor([&] { return server.canReadLine(); }, 10000)) {
        std::fprintf(stderr, "the server did not start\n");
        return 1;
    }
    const auto port = static_cast<quint16>(server.readLine().trimmed().mid(5).toUInt());

    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<Client>> clients;
    const auto add = [&](const QString& name) {
        auto c = std::make_unique<Client>();
        Client* raw = c.get();
        QObject::connect(&raw->socket, &QTcpSocket::readyRead, [raw, &clock] {
            raw->reader.feed(raw->socket.readAll());
            while (raw->reader.hasFrame()) {
                const QByteArray m = raw->reader.takeFrame();
                if (m.size() < 2 || static_cast<unsigned char>(m.at(0)) != 130) continue;
                if (m.at(1) == 2) {
                    raw->listNs = clock.nsecsElapsed();
                    raw->known += static_cast<int>(m.count('\n')) + 1;
                } else if (m.at(1) == 0 || m.at(1) == 4) {
                    ++raw->known;
                }
            }
        });
        raw->startNs = clock.nsecsElapsed();
        raw->socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        raw->socket.write(helloAndLogin(name));
        clients.push_back(std::move(c));
    };
    const auto allKnow = [&](int n) {
        return std::all_of(clients.begin(), clients.end(),
                           [n](const auto& c) { return c->known >= n; });
    };

    add(QStringLiteral("红方"));
    add(QStringLiteral("黑方"));
    if (!waitFor([&] { return allKnow(2); }, 10000)) {
        std::fprintf(stderr, "the players did not get in\n");
        return 1;
    }
    waitFor([] { return false; }, 300);
    const xq::bench::Usage before = xq::bench::usageOf(server.processId());

    for (int k = 0; k < spectators; ++k)
        add(QStringLiteral("观众%1").arg(k));
    if (!waitFor([&] { return allKnow(spectators + 2); }, 600000)) {
        std::fprintf(stderr, "not every arrival was announced to everybody\n");
        return 1;
    }
    const double arrivedS = static_cast<double>(clock.nsecsElapsed() - clients[2]->startNs) / 1e9;
    waitFor([] { return false; }, 500);  // let the server settle
    const xq::bench::Usage after = xq::bench::usageOf(server.processId());

    std::vector<double> waits;
    for (std::size_t i = 2; i < clients.size(); ++i)
        waits.push_back(static_cast<double>(clients[i]->listNs - clients[i]->startNs) / 1e6);
    std::sort(waits.begin(), waits.end());
    std::printf("spectators %d, every arrival known to everybody after %.2f s\n", spectators,
                arrivedS);
    std::printf("server CPU for the arrivals %.2f s (user + system)\n",
                after.cpuSeconds - before.cpuSeconds);
    std::printf("wait for the user list: p50 %.1f ms, longest %.1f ms\n", waits[waits.size() / 2],
                waits.back());
    std::printf("server memory per idle spectator %.1f KiB (resident %.0f KiB -> %.0f KiB)\n",
                (after.rssKiB - before.rssKiB) / spectators, before.rssKiB, after.rssKiB);
    server.terminate();  // a profiler writes its figures on SIGTERM
    if (!server.waitForFinished(60000)) server.kill();
    return 0;
}
