#include "records/pgn_writer.h"

#include <QStringList>

#include "rules/chinese_move.h"
#include "rules/described_move.h"
#include "rules/fen.h"
#include "rules/record_check.h"
#include "rules/wxf_move.h"

namespace xq {
namespace {

// Tags written from the game itself, never copied from what was read.
bool regenerated(const QString& name) {
    for (const char* own : {"Game", "Result", "FEN", "SetUp", "Format"}) {
        if (name.compare(QLatin1String(own), Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

QString tagLine(const QString& name, QString value) {
    value.replace(u'\\', QStringLiteral("\\\\"));
    value.replace(u'"', QStringLiteral("\\\""));
    value.replace(u'\n', u' ');
    value.replace(u'\r', u' ');
    return u'[' + name + QStringLiteral(" \"") + value + QStringLiteral("\"]\n");
}

QString formatName(MoveNotation notation) {
    switch (notation) {
        case MoveNotation::Chinese:
            return QStringLiteral("Chinese");
        case MoveNotation::Wxf:
            return QStringLiteral("WXF");
        case MoveNotation::Iccs:
            break;
    }
    return QStringLiteral("ICCS");
}

QString moveWord(const Position& pos, Move m, MoveNotation notation) {
    switch (notation) {
        case MoveNotation::Chinese:
            return QString::fromStdString(chineseMoveText(describeMove(pos, m), pos.sideToMove()));
        case MoveNotation::Wxf:
            return QString::fromStdString(wxfMoveText(describeMove(pos, m)));
        case MoveNotation::Iccs:
            break;
    }
    return QString::fromStdString(moveToText(m));
}

// The words of the moves, or the first move that does not fit where it stands.
std::optional<QStringList> moveWords(const GameRecord& game, MoveNotation notation, long* badMove) {
    Position pos = game.start;
    QStringList words;
    for (long k = 1; k <= qiPuUpperBound(game.moves); ++k) {
        const QiPuMove m = *GetQiPu(game.moves, k);
        QiPan board = pos.toQiPan();
        if (checkRecordMove(board, m, pos.sideToMove()) != RecordMoveFault::None) {
            if (badMove != nullptr) *badMove = k;
            return std::nullopt;
        }
        const Move move{static_cast<std::uint8_t>(squareOf(m.fromRank, m.fromFile)),
                        static_cast<std::uint8_t>(squareOf(m.toRank, m.toFile))};
        words << moveWord(pos, move, notation);
        pos.makeMove(move);
    }
    return words;
}

}  // namespace

std::optional<MoveNotation> notationFromName(const QString& name) {
    const QString lower = name.toLower();
    if (lower == u"iccs") return MoveNotation::Iccs;
    if (lower == u"chinese") return MoveNotation::Chinese;
    if (lower == u"wxf") return MoveNotation::Wxf;
    return std::nullopt;
}

bool writePgn(const GameRecord& game, MoveNotation notation, QByteArray* out, long* badMove) {
    const auto words = moveWords(game, notation, badMove);
    if (!words) return false;

    QString text = tagLine(QStringLiteral("Game"), QStringLiteral("Chinese Chess"));
    QStringList first = {QStringLiteral("Event"), QStringLiteral("Site"), QStringLiteral("Date"),
                         QStringLiteral("Round"), QStringLiteral("Red"),  QStringLiteral("Black")};
    for (const QString& name : first) {
        const QString value = game.tag(name);
        if (!value.isEmpty()) text += tagLine(name, value);
    }
    for (const auto& [name, value] : game.tags) {
        if (!first.contains(name) && !regenerated(name) && !value.isEmpty())
            text += tagLine(name, value);
    }
    const QString result = game.result.isEmpty() ? QStringLiteral("*") : game.result;
    text += tagLine(QStringLiteral("Result"), result);
    if (!game.startsFromOpening()) {
        text += tagLine(QStringLiteral("FEN"), QString::fromStdString(toFen(game.start)));
    }
    text += tagLine(QStringLiteral("Format"), formatName(notation));
    text += u'\n';

    // One line per move number; a game that black opens starts with "1...".
    const bool blackFirst = game.start.sideToMove() == kBlack;
    long number = 1;
    qsizetype k = 0;
    if (blackFirst && !words->isEmpty()) {
        text += QStringLiteral("1... ") + words->at(k++) + u'\n';
        number = 2;
    }
    for (; k < words->size(); k += 2, ++number) {
        text += QString::number(number) + QStringLiteral(". ") + words->at(k);
        if (k + 1 < words->size()) text += u' ' + words->at(k + 1);
        text += u'\n';
    }
    text += result + u'\n';
    *out = text.toUtf8();
    return true;
}

}  // namespace xq
