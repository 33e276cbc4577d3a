#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <functional>

#include <sys/prctl.h>

#include "eventually.h"

namespace xq::test {

// The real room server on a free loopback port, for as long as the object lives.
class ServerProcess {
public:
    // `program` is this build's server unless a test names another (an installed one, say).
    explicit ServerProcess(const QStringList& extra = {},
                           const QString& program = QStringLiteral(XQ_SERVER_BINARY))
        : program_(program) {
        // A test that crashes or is killed for its time limit takes its server with it, so no
        // stray room keeps listening or holds its database after the run.
        process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        start(extra);
    }
    ~ServerProcess() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    // Starts it (again, after kill()) with these arguments.
    void start(const QStringList& extra) {
        port_ = 0;
        process_.setProgram(program_);
        // In memory unless the test names a database.
        QStringList args{QStringLiteral("--port"), QStringLiteral("0")};
        if (!extra.contains(QStringLiteral("--db"))) args << QStringLiteral("--no-db");
        process_.setArguments(args + extra);
        process_.start();
        if (!process_.waitForStarted(10000)) return;
        if (!Eventually([&] { return process_.canReadLine(); })) return;
        const QByteArray line = process_.readLine().trimmed();
        if (line.startsWith("port ")) port_ = line.mid(5).toUShort();
    }
    quint16 port() const { return port_; }
    // The server is told to stop (SIGTERM), as a service manager stops it, and has stopped.
    bool stop() {
        process_.terminate();
        return process_.waitForFinished(10000) && process_.exitCode() == 0;
    }
    // The server dies, as a killed process or a lost network does to its clients.
    void kill() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    QByteArray log() { return log_ += process_.readAllStandardError(); }
    void dumpLog() { std::fprintf(stderr, "%s", log().constData()); }

private:
    QString program_;
    QProcess process_;
    quint16 port_ = 0;
    QByteArray log_;
};

}  // namespace xq::test
