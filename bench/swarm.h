#pragma once

// Many bare loopback clients of the room server read through one epoll set, so that the figures
// of a benchmark are the server's and the kernel's, not a client library's; and the server's
// resource use from /proc.

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QProcess>
#include <functional>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/frame.h"

namespace xq::bench {

struct Usage {
    double cpuSeconds = 0;
    double rssKiB = 0;
};

inline Usage usageOf(qint64 pid) {
    Usage u;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        // Fields after the command name, which ends with the last ')'.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (f.size() > 13) {
            const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
            u.cpuSeconds = (f[11].toDouble() + f[12].toDouble()) / ticks;  // utime, stime
        }
    }
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& l : status.readAll().split('\n')) {
            if (l.startsWith("VmRSS:")) u.rssKiB = l.mid(6).trimmed().split(' ').first().toDouble();
        }
    }
    return u;
}

// Starts the server (under XQ_BENCH_WRAP when set, e.g. a profiler; XQ_BENCH_SERVER picks another
// build) with `arguments` and a free port; gives the port, or 0.
inline quint16 startServer(QProcess& server, const QString& binary, const QStringList& arguments) {
    QStringList command = qEnvironmentVariable("XQ_BENCH_WRAP").split(u' ', Qt::SkipEmptyParts);
    command << qEnvironmentVariable("XQ_BENCH_SERVER", binary) << QStringLiteral("--port")
            << QStringLiteral("0") << arguments;
    server.setProgram(command.takeFirst());
    server.setArguments(command);
    server.setStandardErrorFile(qEnvironmentVariable("XQ_BENCH_STDERR", QProcess::nullDevice()));
    server.start();
    if (!server.waitForStarted(10000) || !server.waitForReadyRead(60000)) return 0;
    while (!server.canReadLine() && server.waitForReadyRead(10000)) {
    }
    return static_cast<quint16>(server.readLine().trimmed().mid(5).toUInt());
}

class Swarm {
public:
    // Called for every whole frame a client receives: the client's index and the message.
    using OnFrame = std::function<void(std::size_t, const QByteArray&)>;

    explicit Swarm(quint16 port) : port_(port) { clock_.start(); }
    ~Swarm() {
        for (const Client& c : clients_)
            if (c.fd >= 0) ::close(c.fd);
        ::close(epoll_);
    }

    qint64 nowNs() const { return clock_.nsecsElapsed(); }
    std::size_t size() const { return clients_.size(); }

    // A new connection; its index, or -1.
    long connect() {
        Client c;
        c.fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port_);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (c.fd < 0 || ::connect(c.fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
            if (c.fd >= 0) ::close(c.fd);
            return -1;
        }
        const int one = 1;
        setsockopt(c.fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        fcntl(c.fd, F_SETFL, fcntl(c.fd, F_GETFL) | O_NONBLOCK);
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u64 = clients_.size();
        epoll_ctl(epoll_, EPOLL_CTL_ADD, c.fd, &ev);
        clients_.push_back(std::move(c));
        return static_cast<long>(clients_.size() - 1);
    }

    void send(std::size_t k, const QByteArray& message) {
        if (k >= clients_.size() || clients_[k].fd < 0) return;
        const QByteArray frame = encodeFrame(message);
        qsizetype at = 0;
        while (at < frame.size()) {
            const ssize_t n = ::send(clients_[k].fd, frame.constData() + at,
                                     static_cast<size_t>(frame.size() - at), MSG_NOSIGNAL);
            if (n > 0) at += n;
            if (n < 0 && errno != EAGAIN && errno != EINTR) return;
        }
    }

    void close(std::size_t k) {
        if (k >= clients_.size() || clients_[k].fd < 0) return;
        epoll_ctl(epoll_, EPOLL_CTL_DEL, clients_[k].fd, nullptr);
        ::close(clients_[k].fd);
        clients_[k].fd = -1;
    }

    // Reads whatever has arrived, waiting at most `ms` for something (0: just look).
    void pump(int ms, const OnFrame& onFrame) {
        std::array<epoll_event, 256> ready{};
        const int n = epoll_wait(epoll_, ready.data(), static_cast<int>(ready.size()), ms);
        std::array<char, 16384> buffer{};
        for (int i = 0; i < n; ++i) {
            const std::size_t k = ready[static_cast<std::size_t>(i)].data.u64;
            Client& c = clients_[k];
            for (;;) {
                const ssize_t got = ::recv(c.fd, buffer.data(), buffer.size(), 0);
                if (got <= 0) break;
                c.reader.feed(QByteArrayView(buffer.data(), got));
            }
            while (c.reader.hasFrame())
                onFrame(k, c.reader.takeFrame());
        }
    }

    // Pumps until `done` holds; false after `ms` without it.
    bool until(const std::function<bool()>& done, int ms, const OnFrame& onFrame, int pollMs = 5) {
        QElapsedTimer t;
        t.start();
        while (!done()) {
            if (t.elapsed() > ms) return false;
            pump(pollMs, onFrame);
        }
        return true;
    }

private:
    struct Client {
        int fd = -1;
        FrameReader reader;
    };
    quint16 port_;
    QElapsedTimer clock_;
    int epoll_ = epoll_create1(EPOLL_CLOEXEC);
    std::vector<Client> clients_;
};

inline double percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) return 0;
    const auto i = static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(i, sorted.size() - 1)];
}

}  // namespace xq::bench
