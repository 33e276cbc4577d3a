#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace xq::test {

// A throwaway PostgreSQL cluster in a temporary folder, listening on 127.0.0.1 and on a socket in
// that folder. As root it runs as "nobody", since PostgreSQL refuses root. Stopped and removed
// with the object.
class PgCluster {
public:
    // `durable`: the server syncs its log as a production server does (for benchmarks); tests
    // skip the syncs, which only matter when the machine itself goes down.
    explicit PgCluster(bool durable = false);
    ~PgCluster();
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    bool running() const { return whyNot_.isEmpty(); }
    // Why the cluster is not running: programs missing, no user to run them as, a failed start.
    QString whyNot() const { return whyNot_; }
    quint16 port() const { return port_; }

    // A new empty database (name of lower-case letters, digits and '_') as a libpq keyword
    // string; empty, with a reason, when it cannot be made.
    QString createDatabase(const QString& name, QString* error);
    QString uri(const QString& name) const;
    // Sends the signal to the server and every process it started (SIGSTOP: a database that
    // stops answering, SIGCONT: back). False when there is no server to signal.
    bool signalServer(int signal);

private:
    bool run(const QString& program, const QStringList& args, QString* output);
    bool start(QString* why);
    void stop();

    QString binDir_;
    QString runuser_;  // as root: how to become "nobody"
    std::unique_ptr<QTemporaryDir> dir_;
    bool durable_ = false;
    bool asNobody_ = false;
    bool started_ = false;
    quint16 port_ = 0;
    QString whyNot_;
};

// One cluster for the whole test process, started on first use.
PgCluster& sharedPgCluster();
// Stops the shared cluster, if it was started (before the application object goes).
void stopSharedPgCluster();

}  // namespace xq::test
