#include "records/record_failure_text.h"

#include <QFile>
#include <QFileInfo>

namespace xq {
namespace {

QString InBrackets(const QString& reason) {
    return reason.isEmpty() ? QString() : QStringLiteral("（") + reason + QStringLiteral("）");
}

}  // namespace

QString LoadFailureText(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("找不到棋谱文件：") + path;
    if (!info.isFile()) return QStringLiteral("无法打开棋谱文件，它不是一个文件：") + path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("无法打开棋谱文件：") + path + InBrackets(file.errorString());
    // The file opens, so the reader refused its contents.
    return QStringLiteral("无法读入，文件内容不是中国象棋棋谱：") + path;
}

QString SaveFailureText(const QString& path, const QString& reason) {
    return QStringLiteral("棋谱保存失败：") + path + InBrackets(reason);
}

QString ExportFailureText(const QString& path, const QString& reason) {
    return QStringLiteral("棋谱导出失败：") + path + InBrackets(reason);
}

}  // namespace xq
