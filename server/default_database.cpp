#include "server/default_database.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace xq::server {

QString defaultDatabasePath(const QString& programFolder) {
    const QFileInfo program(programFolder);
    if (program.isDir() && program.isWritable())
        return QDir(programFolder).filePath(QStringLiteral("xqtable.db"));
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/xqtable");
    QDir().mkpath(data);
    return data + QStringLiteral("/xqtable.db");
}

}  // namespace xq::server
