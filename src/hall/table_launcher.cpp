#include "hall/table_launcher.h"

#include <QFileInfo>
#include <QProcess>

#include "startup/handover.h"

namespace xq::hall {

ProcessLauncher::~ProcessLauncher() {
    // Destroying a QProcess kills its child. A table window that outlives the hall keeps its
    // QProcess, unowned and never destroyed; the list only keeps it reachable.
    static auto* const outliving = new QList<QProcess*>;
    for (QProcess* process : findChildren<QProcess*>(Qt::FindDirectChildrenOnly)) {
        if (process->state() == QProcess::NotRunning) continue;
        process->disconnect(this);
        process->setParent(nullptr);
        outliving->append(process);
    }
}

void ProcessLauncher::start(const QString& program, const QStringList& arguments,
                            const LaunchEnvironment& environment) {
    const QFileInfo file(program);
    if (!file.isFile() || !file.isExecutable()) {
        emit failed(QStringLiteral("找不到棋桌程序：%1").arg(program));
        return;
    }
    auto* process = new QProcess(this);
    // The child writes where the hall writes and reads nothing: no pipe of the hall's that it
    // could block on, or lose when the hall is gone.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProgram(program);
    process->setArguments(arguments);
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    // What the hall itself may have been handed belongs to no table client of its own.
    variables.remove(QString::fromLatin1(kTicketVariable));
    variables.remove(QString::fromLatin1(kTlsVariable));
    for (auto it = environment.cbegin(); it != environment.cend(); ++it)
        variables.insert(it.key(), it.value());
    process->setProcessEnvironment(variables);
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        emit failed(QStringLiteral("无法启动棋桌程序：%1").arg(process->errorString()));
        process->deleteLater();
    });
    process->start();
}

int ProcessLauncher::running() const {
    int count = 0;
    for (const QProcess* process : findChildren<QProcess*>(Qt::FindDirectChildrenOnly))
        count += process->state() != QProcess::NotRunning ? 1 : 0;
    return count;
}

}  // namespace xq::hall
