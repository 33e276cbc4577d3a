#include "pg_cluster.h"

#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <algorithm>
#include <vector>

namespace xq::test {
namespace {

// The folder holding initdb and pg_ctl: XQ_PG_BINDIR, the PATH, or the newest Debian install.
QString findBinDir() {
    auto complete = [](const QString& dir) {
        return !dir.isEmpty() && QFile::exists(dir + QStringLiteral("/initdb")) &&
               QFile::exists(dir + QStringLiteral("/pg_ctl"));
    };
    const QString fromEnv = qEnvironmentVariable("XQ_PG_BINDIR");
    if (complete(fromEnv)) return fromEnv;
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("initdb"));
    if (!onPath.isEmpty() && complete(QFileInfo(onPath).absolutePath())) {
        return QFileInfo(onPath).absolutePath();
    }
    QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(versions.begin(), versions.end(),
              [&](const QString& a, const QString& b) { return numeric.compare(a, b) > 0; });
    for (const QString& v : versions) {
        const QString dir = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(v);
        if (complete(dir)) return dir;
    }
    return {};
}

// A loopback port nobody listens on just now.
quint16 freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    quint16 port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0) {
        port = ntohs(a.sin_port);
    }
    ::close(fd);
    return port;
}

std::unique_ptr<PgCluster>& shared() {
    static std::unique_ptr<PgCluster> cluster;
    return cluster;
}

}  // namespace

PgCluster::PgCluster(bool durable) : durable_(durable) {
    binDir_ = findBinDir();
    if (binDir_.isEmpty()) {
        whyNot_ =
            QStringLiteral("PostgreSQL's initdb and pg_ctl were not found (set XQ_PG_BINDIR)");
        return;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        whyNot_ = QStringLiteral("Qt's PostgreSQL driver (QPSQL) is not installed");
        return;
    }
    // As root the folder must be one "nobody" can reach, and the socket path must stay short.
    asNobody_ = ::geteuid() == 0;
    const QString base = asNobody_ ? QStringLiteral("/tmp") : QDir::tempPath();
    dir_ = std::make_unique<QTemporaryDir>(base + QStringLiteral("/xq-pg-XXXXXX"));
    if (!dir_->isValid()) {
        whyNot_ = QStringLiteral("cannot make a temporary folder in %1").arg(base);
        return;
    }
    if (asNobody_) {
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody || ::chown(QFile::encodeName(dir_->path()).constData(), nobody->pw_uid,
                               nobody->pw_gid) != 0) {
            whyNot_ = QStringLiteral(
                "running as root, and there is no user \"nobody\" to run PostgreSQL as");
            return;
        }
        runuser_ = QStandardPaths::findExecutable(
            QStringLiteral("runuser"),
            {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"), QStringLiteral("/usr/bin")});
        if (runuser_.isEmpty()) {
            whyNot_ =
                QStringLiteral("running as root, and runuser is missing to drop to \"nobody\"");
            return;
        }
    }
    QString out;
    if (!run(binDir_ + QStringLiteral("/initdb"),
             {QStringLiteral("-D"), dir_->path() + QStringLiteral("/data"), QStringLiteral("-U"),
              QStringLiteral("xq"), QStringLiteral("-A"), QStringLiteral("trust"),
              QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C"),
              QStringLiteral("--no-sync")},
             &out)) {
        whyNot_ = QStringLiteral("initdb failed: %1").arg(out.trimmed());
        return;
    }
    // Another process may take the chosen port before the server binds it: try a few.
    QString why;
    for (int attempt = 0; attempt < 3 && !started_; ++attempt) {
        start(&why);
    }
    if (!started_) whyNot_ = QStringLiteral("PostgreSQL did not start: %1").arg(why.trimmed());
}

PgCluster::~PgCluster() {
    stop();
}

bool PgCluster::run(const QString& program, const QStringList& args, QString* output) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(dir_->path());
    if (asNobody_) {
        p.setProgram(runuser_);
        p.setArguments(QStringList{QStringLiteral("-u"), QStringLiteral("nobody"),
                                   QStringLiteral("--"), program} +
                       args);
    } else {
        p.setProgram(program);
        p.setArguments(args);
    }
    p.start();
    const bool ok =
        p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished(5000);
    }
    if (output) *output = QString::fromLocal8Bit(p.readAll()) + p.errorString();
    return ok;
}

bool PgCluster::start(QString* why) {
    port_ = freePort();
    QString settings =
        QStringLiteral("-k %1 -p %2 -c listen_addresses=127.0.0.1 -c shared_buffers=16MB")
            .arg(dir_->path())
            .arg(port_);
    if (!durable_) settings += QStringLiteral(" -c fsync=off");
    started_ =
        run(binDir_ + QStringLiteral("/pg_ctl"),
            {QStringLiteral("-D"), dir_->path() + QStringLiteral("/data"), QStringLiteral("-l"),
             dir_->path() + QStringLiteral("/log"), QStringLiteral("-w"), QStringLiteral("-t"),
             QStringLiteral("30"), QStringLiteral("-o"), settings, QStringLiteral("start")},
            why);
    if (!started_) {
        QFile log(dir_->path() + QStringLiteral("/log"));
        if (log.open(QIODevice::ReadOnly))
            *why += QString::fromLocal8Bit(log.readAll().right(2000));
        stop();
    }
    return started_;
}

void PgCluster::stop() {
    if (!dir_ || !dir_->isValid()) return;
    const QString data = dir_->path() + QStringLiteral("/data");
    if (!QFile::exists(data + QStringLiteral("/postmaster.pid"))) return;
    if (!run(binDir_ + QStringLiteral("/pg_ctl"),
             {QStringLiteral("-D"), data, QStringLiteral("-m"), QStringLiteral("immediate"),
              QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("20"),
              QStringLiteral("stop")},
             nullptr)) {
        // pg_ctl could not stop it: the postmaster this cluster started is named in its pid file.
        QFile pidFile(data + QStringLiteral("/postmaster.pid"));
        if (pidFile.open(QIODevice::ReadOnly)) {
            const pid_t pid = pidFile.readLine().trimmed().toInt();
            if (pid > 1) ::kill(pid, SIGKILL);
        }
    }
}

bool PgCluster::signalServer(int signal) {
    if (!dir_ || !started_) return false;
    QFile pidFile(dir_->path() + QStringLiteral("/data/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly)) return false;
    const pid_t postmaster = pidFile.readLine().trimmed().toInt();
    if (postmaster <= 1) return false;
    std::vector<pid_t> pids{postmaster};
    // Its children: the backends, the writer, the checkpointer and the rest.
    for (const QString& entry :
         QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const pid_t pid = entry.toInt(&numeric);
        if (!numeric) continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray text = stat.readAll();
        // "pid (name) state ppid ...": the name may hold blanks, so read after its ')'.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toInt() == postmaster) pids.push_back(pid);
    }
    bool ok = true;
    for (pid_t pid : pids)
        ok = ::kill(pid, signal) == 0 && ok;
    return ok;
}

QString PgCluster::createDatabase(const QString& name, QString* error) {
    if (!running()) {
        *error = whyNot_;
        return {};
    }
    if (!QRegularExpression(QStringLiteral("^[a-z0-9_]+$")).match(name).hasMatch()) {
        *error = QStringLiteral("bad database name %1").arg(name);
        return {};
    }
    const QString connection = QStringLiteral("pg_cluster_admin_%1").arg(name);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(port_);
        db.setUserName(QStringLiteral("xq"));
        db.setDatabaseName(QStringLiteral("postgres"));
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral("CREATE DATABASE %1").arg(name));
            if (!ok) *error = q.lastError().text();
        } else {
            *error = db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (!ok) return {};
    return QStringLiteral("host=127.0.0.1 port=%1 dbname=%2 user=xq").arg(port_).arg(name);
}

QString PgCluster::uri(const QString& name) const {
    return QStringLiteral("postgresql://xq@127.0.0.1:%1/%2").arg(port_).arg(name);
}

PgCluster& sharedPgCluster() {
    if (!shared()) shared() = std::make_unique<PgCluster>();
    return *shared();
}

void stopSharedPgCluster() {
    shared().reset();
}

}  // namespace xq::test
