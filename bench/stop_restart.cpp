// A room stopped by SIGTERM in the middle of many games, and started again: the time from the
// signal to the exit, from the start to listening with the kept games set up, and how many games
// came back.
//   bench_stop_restart [TABLES] [HALL_USERS]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "../tests/server/raw_client.h"
#include "net/hall_messages.h"

using xq::server::test::RawClient;
using xq::server::test::WaitFor;

namespace {

QByteArray bytes(std::initializer_list<int> b) {
    QByteArray out;
    for (int v : b)
        out.append(static_cast<char>(v));
    return out;
}

QByteArray text(std::initializer_list<int> head, const QString& t) {
    return bytes(head) + xq::encodeCp936(t);
}

// The server on a free port, its log in a file of its own.
quint16 start(QProcess& server, const QStringList& args, const QString& logFile) {
    server.setProgram(QStringLiteral(XQ_SERVER_BINARY));
    server.setArguments(QStringList{QStringLiteral("--port"), QStringLiteral("0")} + args);
    server.setStandardErrorFile(logFile);
    server.start();
    if (!server.waitForStarted(10000)) return 0;
    while (!server.canReadLine() && server.waitForReadyRead(10000)) {
    }
    return static_cast<quint16>(server.readLine().trimmed().mid(5).toUInt());
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Player {
    QString name;
    std::unique_ptr<RawClient> hall;
    std::unique_ptr<RawClient> table;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int tables = argc > 1 ? std::clamp(std::atoi(argv[1]), 1, 200) : 50;
    const int idle = argc > 2 ? std::max(0, std::atoi(argv[2])) : 200;
    QTemporaryDir dir;
    const QStringList args{QStringLiteral("--db"),
                           dir.filePath(QStringLiteral("room.db")),
                           QStringLiteral("--tables"),
                           QString::number(tables),
                           QStringLiteral("--registrations-per-hour"),
                           QStringLiteral("100000"),
                           QStringLiteral("--room-id"),
                           QStringLiteral("bench")};
    QProcess server;
    const QString firstLog = dir.filePath(QStringLiteral("first.log"));
    const QString secondLog = dir.filePath(QStringLiteral("second.log"));
    quint16 port = start(server, args, firstLog);
    if (port == 0) {
        std::fprintf(stderr, "the server did not start\n");
        return 1;
    }

    // Registrations in waves: the server hashes a few passwords at a time and refuses a crowd.
    constexpr std::size_t kWave = 16;
    std::vector<Player> players(static_cast<std::size_t>(tables) * 2);
    for (std::size_t first = 0; first < players.size(); first += kWave) {
        const std::size_t end = std::min(players.size(), first + kWave);
        for (std::size_t i = first; i < end; ++i) {
            Player& p = players[i];
            p.name = QStringLiteral("棋手%1").arg(i);
            p.hall = std::make_unique<RawClient>(port);
            p.hall->send(xq::hall::accountHello(p.name, QStringLiteral("pw %1").arg(i), true));
        }
        for (std::size_t i = first; i < end; ++i) {
            if (players[i].hall->waitForPrefix(bytes({200, 0}), 60000).isEmpty()) {
                std::fprintf(stderr, "%s was not let in\n", qPrintable(players[i].name));
                return 1;
            }
        }
    }
    for (std::size_t i = 0; i < players.size(); ++i) {
        Player& p = players[i];
        const int table = static_cast<int>(i / 2) + 1;
        p.hall->send(xq::hall::reserveSeat(table, static_cast<int>(i % 2)));
        const auto grant = xq::hall::parseServerMessage(p.hall->waitForPrefix(bytes({204, 0})));
        if (!grant) return 1;
        p.table = std::make_unique<RawClient>(port);
        p.table->logIn(p.name, std::get<xq::hall::in::Reservation>(*grant).ticket);
    }
    const QString terms = QStringLiteral("100`1000`10`5`50`0`0`30`0`0`30");
    for (int t = 0; t < tables; ++t) {
        Player& a = players[static_cast<std::size_t>(t) * 2];
        Player& b = players[static_cast<std::size_t>(t) * 2 + 1];
        if (a.table->waitForPrefix(bytes({130, 3})).isEmpty() ||
            b.table->waitForPrefix(bytes({130, 3})).isEmpty())
            return 1;
        a.table->send(text({112, 1}, a.name));
        a.table->waitForPrefix(bytes({111, 0}));
        a.table->send(text({112, 0}, a.name + u'`' + terms));
        b.table->waitForPrefix(bytes({112, 1}));
        b.table->send(text({112, 1}, b.name));
        a.table->waitForPrefix(bytes({17}));
        // Two moves each way: a game worth keeping.
        a.table->send(bytes({19, 0, 0, 0x77, 19, 0x76, 0, 0, 0, 0}));
        b.table->waitForPrefix(bytes({19, 0, 0}));
        b.table->send(bytes({19, 0, 1, 0x21, 3, 0x26, 0, 0, 0, 0}));
        a.table->waitForPrefix(bytes({19, 0, 1}));
    }
    std::vector<std::unique_ptr<RawClient>> crowd;
    for (int first = 0; first < idle; first += static_cast<int>(kWave)) {
        const int end = std::min(idle, first + static_cast<int>(kWave));
        for (int i = first; i < end; ++i) {
            crowd.push_back(std::make_unique<RawClient>(port));
            crowd.back()->send(xq::hall::accountHello(QStringLiteral("旁人%1").arg(i),
                                                      QStringLiteral("pw"), true));
        }
        for (int i = first; i < end; ++i)
            crowd[static_cast<std::size_t>(i)]->waitForPrefix(bytes({200, 0}), 60000);
    }

    QElapsedTimer clock;
    clock.start();
    server.terminate();
    server.waitForFinished(60000);
    const qint64 stopMs = clock.elapsed();
    const int status = server.exitCode();
    const QByteArray stopLog = readAll(firstLog);

    clock.restart();
    port = start(server, args, secondLog);
    const qint64 startMs = clock.elapsed();
    const QByteArray startLog = readAll(secondLog);
    const int resumed = static_cast<int>(startLog.count("goes on from its moves kept"));
    server.terminate();
    server.waitForFinished(10000);

    if (qEnvironmentVariableIsSet("XQ_BENCH_LOG"))
        std::fprintf(stderr, "%s\n--- restart ---\n%s", stopLog.constData(), startLog.constData());
    std::printf("%d tables playing, %d more hall users\n", tables, idle);
    std::printf("SIGTERM to exit: %lld ms, exit status %d, %s\n", stopMs, status,
                stopLog.contains(QByteArray::number(tables) + " running games are kept")
                    ? "all games kept"
                    : "NOT all games kept");
    std::printf("start to listening with the kept games: %lld ms, %d of %d games set up again\n",
                startMs, resumed, tables);
    return status == 0 && resumed == tables ? 0 : 1;
}
