// A table's move echoes while a crowd of silent connections holds the server: two players play
// horses out and back, and S sockets connect and never send a byte; every one the server closes
// is opened again at once, so that the server keeps closing and accepting the whole time.
//
//   bench_silent_crowd [silent] [moves] [addresses]     (2900 400 1)
//
// With one address the crowd comes from 127.0.0.1 as the server counts it by default (loopback
// held only to the caps in all); with more, from 127.0.0.2 on, with --count-loopback. Prints the
// echo's p50 and p99 (mover's send to the other player's receipt) and how many silent sockets
// the server closed and the bench opened again.

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/cp936.h"
#include "net/table_requests.h"
#include "server/fd_limit.h"
#include "swarm.h"

namespace {

int openSilent(quint16 port, const QByteArray& from) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    if (!from.isEmpty()) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        inet_pton(AF_INET, from.constData(), &local.sin_addr);
        ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to);  // completes meanwhile
    return fd;
}

// Whether the server has closed it (the end of the stream, or a reset).
bool closedByServer(int fd) {
    char byte = 0;
    const ssize_t n = ::recv(fd, &byte, 1, 0);
    return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR &&
                      errno != ENOTCONN);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int silent = argc > 1 ? std::max(0, std::atoi(argv[1])) : 2900;
    const int moves = argc > 2 ? std::max(4, std::atoi(argv[2])) : 400;
    const int addresses = argc > 3 ? std::clamp(std::atoi(argv[3]), 1, 200) : 1;
    const long files = xq::server::raiseFileLimit();
    if (files >= 0 && files < silent + 64) {
        std::fprintf(stderr, "open-file limit %ld is too low\n", files);
        return 1;
    }
    QStringList options{QStringLiteral("--no-db")};
    if (addresses > 1) options << QStringLiteral("--count-loopback");
    QProcess server;
    const quint16 port = xq::bench::startServer(server, QStringLiteral(XQ_SERVER_BINARY), options);
    if (port == 0) {
        std::fprintf(stderr, "the server did not start\n");
        return 1;
    }

    xq::bench::Swarm swarm(port);
    int in = 0, started = 0, echoes = 0;
    const auto onFrame = [&](std::size_t, const QByteArray& m) {
        if (m.isEmpty()) return;
        const auto code = static_cast<unsigned char>(m[0]);
        if (code == 130 && m.size() > 1 && m[1] == 3) ++in;
        if (code == 17) ++started;
        if (code == 19) ++echoes;
    };
    const QString names[2] = {QStringLiteral("红方"), QStringLiteral("黑方")};
    for (const QString& name : names) {
        const long c = swarm.connect();
        if (c < 0) return 1;
        swarm.send(static_cast<std::size_t>(c),
                   QByteArray(xq::kHelloPrefix) + xq::encodeCp936(name));
        swarm.send(static_cast<std::size_t>(c), xq::tablemsg::encode(xq::tablemsg::Login{true}));
    }
    if (!swarm.until([&] { return in == 2; }, 10000, onFrame)) {
        std::fprintf(stderr, "the players did not get in\n");
        return 1;
    }
    swarm.send(0, xq::tablemsg::encode(xq::tablemsg::HandUp{names[0]}));
    swarm.pump(100, onFrame);
    swarm.send(0, xq::tablemsg::encode(xq::tablemsg::OwnerSettings{
                      names[0], QStringLiteral("100`1000`10`5`50`0`5`0`0`0`30")}));
    swarm.pump(100, onFrame);
    swarm.send(1, xq::tablemsg::encode(xq::tablemsg::HandUp{names[1]}));
    if (!swarm.until([&] { return started >= 2; }, 10000, onFrame)) {
        std::fprintf(stderr, "the game did not start\n");
        return 1;
    }

    const auto fromOf = [&](int i) {
        return addresses > 1 ? QByteArray("127.0.0.") + QByteArray::number(2 + i % addresses)
                             : QByteArray();
    };
    std::vector<int> crowd(static_cast<std::size_t>(silent), -1);
    for (int i = 0; i < silent; ++i)
        crowd[static_cast<std::size_t>(i)] = openSilent(port, fromOf(i));
    long reopened = 0;
    const auto churn = [&] {
        for (std::size_t i = 0; i < crowd.size(); ++i) {
            if (crowd[i] >= 0 && !closedByServer(crowd[i])) continue;
            if (crowd[i] >= 0) ::close(crowd[i]);
            crowd[i] = openSilent(port, fromOf(static_cast<int>(i)));
            ++reopened;
        }
    };

    const int line[4][4] = {
        {0x91, 18, 0x72, 0}, {0x01, 2, 0x22, 0}, {0x72, 18, 0x91, 0}, {0x22, 2, 0x01, 0}};
    std::vector<double> ms;
    for (int k = 0; k < moves; ++k) {
        churn();
        swarm.pump(10, onFrame);
        const auto& m = line[k % 4];
        const int seat = k % 2;
        const auto b = [](int v) { return static_cast<std::uint8_t>(v); };
        const int before = echoes;
        const qint64 sent = swarm.nowNs();
        swarm.send(static_cast<std::size_t>(seat),
                   xq::tablemsg::encode(
                       xq::tablemsg::Move{b(seat), b(m[0]), b(m[1]), b(m[2]), b(m[3]), {}}));
        // Both players get the echo.
        if (!swarm.until([&] { return echoes >= before + 2; }, 30000, onFrame, 0)) {
            std::fprintf(stderr, "move %d was not echoed\n", k + 1);
            return 1;
        }
        ms.push_back(static_cast<double>(swarm.nowNs() - sent) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf(
        "silent %d from %d address(es), moves %d: echo p50 %.2f ms, p99 %.2f ms, max %.2f "
        "ms; silent sockets closed by the server and opened again: %ld\n",
        silent, addresses, moves, xq::bench::percentile(ms, 0.50), xq::bench::percentile(ms, 0.99),
        ms.back(), reopened);
    for (int fd : crowd)
        if (fd >= 0) ::close(fd);
    server.kill();
    server.waitForFinished(5000);
    return 0;
}
