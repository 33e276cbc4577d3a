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

QString PgnLoadFailureText(const QString& path, const PgnError& error) {
    QString why;
    const QString quoted = QStringLiteral("“") + error.text + QStringLiteral("”");
    switch (error.fault) {
        case PgnError::Unreadable:
            return LoadFailureText(path);
        case PgnError::NoGame:
            why = QStringLiteral("文件里没有棋局");
            break;
        case PgnError::BadTag:
            why = QStringLiteral("标签格式不对：") + error.text;
            break;
        case PgnError::BadFen:
            why = QStringLiteral("FEN 局面无效，") + error.reason;
            break;
        case PgnError::NotAMove:
            why = quoted + QStringLiteral("不是着法");
            break;
        case PgnError::IllegalMove:
            why = quoted + QStringLiteral("这步棋走不了");
            break;
        case PgnError::AmbiguousMove:
            why = quoted + QStringLiteral("可以指不止一步棋");
            break;
        case PgnError::Unclosed:
            why = error.text == u"{" ? QStringLiteral("注释没有结束")
                                     : QStringLiteral("变着没有结束");
            break;
        case PgnError::TooLong:
            why = QStringLiteral("着法太多，不是一局棋");
            break;
    }
    if (error.line > 0) why = QStringLiteral("第 %1 行：").arg(error.line) + why;
    return QStringLiteral("无法读入 PGN 棋谱：") + path + QStringLiteral("（") + why +
           QStringLiteral("）");
}

QString DrakStartFailureText(const QString& path) {
    return QStringLiteral(
               "这局棋不是从开局摆法开始的，.drak 文件记不下它的开始局面，"
               "请保存为 PGN 文件（*.pgn）：") +
           path;
}

QString PgnMoveFailureText(const QString& path, long k, const QString& line) {
    return QStringLiteral("第 %1 步棋（%2）不合规则，无法写成 PGN 棋谱：").arg(k).arg(line) + path;
}

QString FenFailureText(const QString& fen, const QString& reason) {
    return QStringLiteral("无法摆出这个局面：") + fen + InBrackets(reason);
}

QString SaveFailureText(const QString& path, const QString& reason) {
    return QStringLiteral("棋谱保存失败：") + path + InBrackets(reason);
}

QString ExportFailureText(const QString& path, const QString& reason) {
    return QStringLiteral("棋谱导出失败：") + path + InBrackets(reason);
}

}  // namespace xq
