#include "prefs/user_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace xq {

QString userFilesFolder(const QString& programFolder) {
    const QFileInfo program(programFolder);
    if (program.isDir() && program.isWritable()) {
        QString folder = programFolder;
        if (!folder.endsWith(u'/')) folder += u'/';
        return folder;
    }
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/xqtable/");
    // Made now, so that the first save finds its folder.
    QDir().mkpath(config);
    return config;
}

}  // namespace xq
