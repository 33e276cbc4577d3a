#include "store_child.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QThread>
#include <cstdio>

#include "server/store/player_store.h"

namespace xq::test {
namespace {

int commitForEver(server::PlayerStore& store, int table, quint32 seed) {
    for (const QString& name : childPlayers()) {
        if (!store.enter(name, 3)) {
            std::fprintf(stderr, "enter: %s\n", qPrintable(store.lastError()));
            return 1;
        }
    }
    QRandomGenerator generator(seed);
    QRandomGenerator* random = &generator;
    for (;;) {
        server::FinishedGame g;
        g.table = table;
        const int a = random->bounded(4);
        const int b = (a + 1 + random->bounded(3)) % 4;
        g.names = {childPlayers()[a], childPlayers()[b]};
        g.result = random->bounded(3);
        g.escaped = g.result != 2 && random->bounded(4) == 0;
        g.scoreChange = {random->bounded(-40, 41), random->bounded(-40, 41)};
        g.reason = QStringLiteral("被将死");
        g.moves = QByteArray("7#9#7#7\r\n").repeated(random->bounded(60));
        g.endedAt = QDateTime::currentDateTimeUtc();
        QString error;
        if (store.record(g, &error)) {
            std::fputs("c\n", stdout);
            std::fflush(stdout);
        } else {
            std::fprintf(stderr, "record: %s\n", qPrintable(error));
        }
        // A breath between games, as a room has, so that the other process gets the file too.
        QThread::usleep(random->bounded(500));
    }
}

}  // namespace

const QStringList& childPlayers() {
    static const QStringList names = {QStringLiteral("甲"), QStringLiteral("乙"),
                                      QStringLiteral("丙"), QStringLiteral("丁")};
    return names;
}

int runStoreChild(const QStringList& args) {
    if (args.size() < 2) return 2;
    QString error;
    auto store = server::PlayerStore::open(args[1], &error);
    if (!store) {
        std::fprintf(stderr, "open: %s\n", qPrintable(error));
        return 1;
    }
    if (args[0] == u"open") return 0;
    if (args[0] == u"commit" && args.size() == 4)
        return commitForEver(*store, args[2].toInt(), args[3].toUInt());
    return 2;
}

StoreChild::StoreChild(const QStringList& args) {
    process_.setProgram(QCoreApplication::applicationFilePath());
    process_.setArguments(QStringList{QStringLiteral("--store-child")} + args);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start();
}

StoreChild::~StoreChild() {
    kill();
}

int StoreChild::commits() {
    output_ += process_.readAllStandardOutput();
    return static_cast<int>(output_.count('\n'));
}

void StoreChild::kill() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(10000);
}

}  // namespace xq::test
