#include "records/record_failure_text.h"

#include <QFile>
#include <QFileInfo>

#include "rules/piece.h"

namespace xq {
namespace {

QString inBrackets(const QString& reason) {
    return reason.isEmpty() ? QString() : QStringLiteral("（") + reason + QStringLiteral("）");
}

}  // namespace

QString loadFailureText(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("找不到棋谱文件：") + path;
    if (!info.isFile()) return QStringLiteral("无法打开棋谱文件，它不是一个文件：") + path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("无法打开棋谱文件：") + path + inBrackets(file.errorString());
    // The file opens, so the reader refused its contents.
    return QStringLiteral("无法读入，文件内容不是中国象棋棋谱：") + path;
}

QString pgnLoadFailureText(const QString& path, const PgnError& error) {
    QString why;
    const QString quoted = QStringLiteral("“") + error.text + QStringLiteral("”");
    switch (error.fault) {
        case PgnError::Unreadable:
            return loadFailureText(path);
        case PgnError::NoGame:
            why = QStringLiteral("文件里没有棋局");
            break;
        case PgnError::BadTag:
            why = QStringLiteral("标签格式不对：") + error.text;
            break;
        case PgnError::BadFen:
            why = QStringLiteral("FEN 局面无效，") + fenFaultChineseText(error.fen);
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

QString drakStartFailureText(const QString& path) {
    return QStringLiteral(
               "这局棋不是从开局摆法开始的，.drak 文件记不下它的开始局面，"
               "请保存为 PGN 文件（*.pgn）：") +
           path;
}

QString pgnMoveFailureText(const QString& path, long k, const QString& line) {
    return QStringLiteral("第 %1 步棋（%2）不合规则，无法写成 PGN 棋谱：").arg(k).arg(line) + path;
}

QString fenFailureText(const QString& fen, const FenFault& fault) {
    return QStringLiteral("无法摆出这个局面：") + fen + inBrackets(fenFaultChineseText(fault));
}

QString fenFaultChineseText(const FenFault& fault) {
    const bool red = fault.pieceSide == kRed;
    const QString side = red ? QStringLiteral("红方") : QStringLiteral("黑方");
    const QString rank = QStringLiteral("第 %1 行").arg(fault.rank);
    const QString letter =
        QStringLiteral("“") + QChar::fromLatin1(fault.letter) + QStringLiteral("”");
    switch (fault.kind) {
        case FenFault::Empty:
            return QStringLiteral("没有局面");
        case FenFault::RankWidth:
            return rank + QStringLiteral("有 %1 列，应是 9 列").arg(fault.files);
        case FenFault::TooManyRanks:
            return QStringLiteral("超过 10 行");
        case FenFault::RankTooLong:
            return rank + QStringLiteral("超过 9 列");
        case FenFault::UnknownLetter:
            return letter + QStringLiteral("不是棋子的字母");
        case FenFault::TooManyPieces:
            return letter + QStringLiteral("棋子太多");
        case FenFault::BoardSize:
            return QStringLiteral("棋盘应是 10 行 9 列");
        case FenFault::BadSide:
            return QStringLiteral("走棋方应是 w（红）或 b（黑），不是“") +
                   QString::fromStdString(fault.side) + QStringLiteral("”");
        case FenFault::UnreachablePoint: {
            // The names each side's pieces go by.
            static const char16_t* const kRedNames[8] = {u"",   u"车", u"马", u"炮",
                                                         u"帅", u"仕", u"相", u"兵"};
            static const char16_t* const kBlackNames[8] = {u"",   u"车", u"马", u"炮",
                                                           u"将", u"士", u"象", u"卒"};
            const int kind = fault.pieceKind & 7;
            return side + QStringLiteral("的") +
                   QString::fromUtf16(red ? kRedNames[kind] : kBlackNames[kind]) +
                   QStringLiteral("永远走不到 ") +
                   QString::fromStdString(fenSquareName(fault.square));
        }
        case FenFault::KingCount:
            return side + QStringLiteral("应有一个") +
                   (red ? QStringLiteral("帅") : QStringLiteral("将"));
        case FenFault::KingOutsidePalace:
            return side + QStringLiteral("的") +
                   (red ? QStringLiteral("帅") : QStringLiteral("将")) +
                   QStringLiteral("不在九宫里");
        case FenFault::kingExposed:
            return QStringLiteral("刚走完的一方正被将军");
    }
    return QStringLiteral("局面无效");
}

QString saveFailureText(const QString& path, const QString& reason) {
    return QStringLiteral("棋谱保存失败：") + path + inBrackets(reason);
}

QString exportFailureText(const QString& path, const QString& reason) {
    return QStringLiteral("棋谱导出失败：") + path + inBrackets(reason);
}

}  // namespace xq
