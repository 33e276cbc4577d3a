#include "startup/skin_path.h"

#include <QDir>
#include <QFileInfo>

namespace xq {

QString skinPath(const QString& base, const QString& literal) {
    QString path = base;
    if (!path.endsWith(u'/')) path += u'/';
    const QStringList parts = literal.split(u'\\', Qt::SkipEmptyParts);
    // Most lookups match exactly; only a miss pays for reading the folders.
    const QString exact = path + parts.join(u'/');
    if (QFileInfo::exists(exact)) return exact;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QString name = parts[i];
        const QStringList entries = QDir(path).entryList(QDir::AllEntries | QDir::Hidden |
                                                         QDir::System | QDir::NoDotAndDotDot);
        for (const QString& entry : entries) {
            if (entry.compare(name, Qt::CaseInsensitive) == 0) {
                name = entry;
                break;
            }
        }
        path += name;
        if (i + 1 < parts.size()) path += u'/';
    }
    return path;
}

bool skinFileExists(const QString& base, const QString& literal, QString* path) {
    const QString resolved = skinPath(base, literal);
    if (path != nullptr) *path = resolved;
    return QFileInfo(resolved).isFile();
}

}  // namespace xq
