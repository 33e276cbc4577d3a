// Result commits per second through the players' store: each is one finished game, its archive row
// and both players' new scores in one transaction, synced as the store always syncs. Measured on an
// SQLite file in a temporary folder and on PostgreSQL: the database given, or else a throwaway
// local cluster with the server's usual syncing (skipped, with the reason, where none can run);
// then the same through the store's thread, as the room commits its results.
//
//   bench_store_commits [games] [postgresql-connection]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "../tests/support/pg_cluster.h"
#include "server/database_stats.h"
#include "server/store/player_store.h"
#include "server/store_thread.h"

namespace {

using xq::server::FinishedGame;
using xq::server::PlayerStore;

void measure(const char* label, const QString& where, int games) {
    QString error;
    auto store = PlayerStore::open(where, &error);
    if (!store) {
        std::printf("%-10s skipped: %s\n", label, qPrintable(error));
        return;
    }
    const QStringList names = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"),
                               QStringLiteral("丁")};
    for (const QString& name : names) {
        store->enter(name, 0);
    }
    FinishedGame g;
    g.reason = QStringLiteral("被将死");
    g.terms = QStringLiteral("1`0`30`1800`30`0`0`10`50`0`0");
    g.moves = QByteArray("7#9#7#7\r\n").repeated(80);
    g.scoreChange = {12, -12};
    QElapsedTimer timer;
    timer.start();
    int failed = 0;
    for (int i = 0; i < games; ++i) {
        g.names = {names[i % 4], names[(i + 1 + i / 4 % 3) % 4]};
        g.result = i % 3;
        g.endedAt = QDateTime::currentDateTimeUtc();
        if (!store->record(g, &error)) ++failed;
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    std::printf(
        "%-10s %d commits in %.2f s: %.0f commits/s, %.3f ms each%s\n", label, games, seconds,
        games / seconds, seconds * 1000 / games,
        failed ? qPrintable(QStringLiteral(" (%1 failed: %2)").arg(failed).arg(error)) : "");
}

// The same games as the room's results go: handed to the store's thread from the event loop,
// kept until committed, each committed result followed by both players' stored figures.
void measureThroughThread(const char* label, const QString& where, int games) {
    QString error;
    auto thread = xq::server::StoreThread::open(where, &error);
    if (!thread) {
        std::printf("%-10s skipped: %s\n", label, qPrintable(error));
        return;
    }
    QString lastLine;
    xq::server::DatabaseStats stats(
        *thread, [&](const QString& line) { lastLine = line; },
        where + QStringLiteral(".bench-spill.json"));
    const QStringList names = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"),
                               QStringLiteral("丁")};
    xq::server::GameOutcome g;
    g.reason = QStringLiteral("被将死");
    g.terms = QStringLiteral("1`0`30`1800`30`0`0`10`50`0`0");
    g.moves = QByteArray("7#9#7#7\r\n").repeated(80);
    g.scoreChange = {12, -12};
    int answered = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < games; ++i) {
        g.table = i + 1;  // the archive tells results apart by end, table and names
        g.names = {names[i % 4], names[(i + 1 + i / 4 % 3) % 4]};
        g.result = i % 3;
        stats.record(g, [&](const QString&, const xq::server::UserStats&) { ++answered; });
    }
    while (stats.pending() > 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    std::printf("%-10s through the store's thread: %d results in %.2f s: %.0f results/s%s\n", label,
                games, seconds, games / seconds,
                answered == 2 * games
                    ? ""
                    : qPrintable(QStringLiteral(" (%1 answers; %2)").arg(answered).arg(lastLine)));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int games = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 2000;
    QTemporaryDir dir;
    measure("sqlite", dir.filePath(QStringLiteral("players.db")), games);
    measureThroughThread("sqlite", dir.filePath(QStringLiteral("players.db")), games);
    if (argc > 2) {
        measure("postgresql", QString::fromLocal8Bit(argv[2]), games);
        measureThroughThread("postgresql", QString::fromLocal8Bit(argv[2]), games);
        return 0;
    }
    xq::test::PgCluster cluster(/*durable=*/true);
    QString error;
    const QString where = cluster.createDatabase(QStringLiteral("bench"), &error);
    if (where.isEmpty()) {
        std::printf("%-10s skipped: %s\n", "postgresql", qPrintable(error));
        return 0;
    }
    measure("postgresql", where, games);
    measureThroughThread("postgresql", where, games);
    return 0;
}
