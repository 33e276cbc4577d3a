// xqrecord text [--utf8] FILE    the text record of a record file on stdout: in UTF-8 on a
//                                terminal or with --utf8, else in code page 936 (the format of
//                                text record files)
// xqrecord check FILE            replays the record from its start and says what it checked,
//                                or names the first line whose move the rules refuse or whose
//                                pieces do not match the board (exit 1)
// xqrecord convert [--notation iccs|chinese|wxf] IN OUT
//                                writes the game of IN into OUT, each in the format its
//                                extension names: .drak, .pgn, or .txt (output only); PGN
//                                moves in coordinates unless another notation is asked for
// A record is a .drak file or the first game of a .pgn file. A file that does not read: exit 2.

#include <unistd.h>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <cstdio>

#include "records/atomic_write.h"
#include "records/pgn_writer.h"
#include "records/record_file.h"
#include "records/record_format.h"
#include "records/record_lines.h"
#include "records/record_load.h"
#include "rules/record_check.h"
#include "version/version.h"

namespace {

int Usage() {
    std::fputs(
        "usage: xqrecord text [--utf8] FILE | xqrecord check FILE |\n"
        "       xqrecord convert [--notation iccs|chinese|wxf] IN OUT\n"
        "records: FILE.drak or FILE.pgn; OUT may also be FILE.txt\n",
        stderr);
    return 2;
}

QByteArray Local(const QString& text) {
    return text.toLocal8Bit();
}

QString Fault(xq::RecordMoveFault fault, const xq::QiPan& board, const xq::QiPuMove& m) {
    switch (fault) {
        case xq::RecordMoveFault::OffBoard:
            return QStringLiteral("a point lies off the board");
        case xq::RecordMoveFault::WrongPiece:
            return QStringLiteral("the from-point holds piece %1, the record says %2")
                .arg(board[m.fromRank][m.fromFile])
                .arg(m.piece);
        case xq::RecordMoveFault::WrongCapture:
            return QStringLiteral("the to-point holds piece %1, the record says it took %2")
                .arg(board[m.toRank][m.toFile])
                .arg(m.eaten);
        case xq::RecordMoveFault::WrongSide:
            return QStringLiteral("it is the other side's turn");
        case xq::RecordMoveFault::Refused:
            return QStringLiteral("the rules refuse it");
        case xq::RecordMoveFault::None:
            break;
    }
    return {};
}

// The first move that cannot be played from the position the moves before it reached.
int Check(const xq::GameRecord& game) {
    xq::QiPan board = game.start.toQiPan();
    const int firstSide = game.start.sideToMove();
    for (long k = 1; k <= xq::qiPuUpperBound(game.moves); ++k) {
        const auto m = *xq::GetQiPu(game.moves, k);
        const xq::RecordMoveFault fault = xq::checkRecordMove(board, m, -1);
        if (fault != xq::RecordMoveFault::None) {
            std::printf("line %ld (move %s): %s\n", k,
                        xq::recordLine(game.moves, k, firstSide).toUtf8().constData(),
                        Fault(fault, board, m).toUtf8().constData());
            return 1;
        }
        board[m.fromRank][m.fromFile] = xq::kNoPiece;
        board[m.toRank][m.toFile] = m.piece;
    }
    std::printf(
        "ok: %ld moves replayed from %s; every piece, every capture and every move as the rules "
        "allow\n",
        xq::qiPuUpperBound(game.moves),
        game.startsFromOpening() ? "the opening position" : "the record's own start");
    return 0;
}

// Why a record did not read, as one line naming the line at fault where there is one.
QString loadFailure(const QString& path, const xq::PgnError& error) {
    const QString at =
        error.line > 0 ? QStringLiteral("%1 line %2").arg(path).arg(error.line) : path;
    switch (error.fault) {
        case xq::PgnError::Unreadable:
            return path + QStringLiteral(" is not a readable record file");
        case xq::PgnError::NoGame:
            return path + QStringLiteral(" holds no game");
        case xq::PgnError::BadTag:
            return at + QStringLiteral(": malformed tag: ") + error.text;
        case xq::PgnError::BadFen:
            return at + QStringLiteral(": the FEN names no possible position: ") + error.reason;
        case xq::PgnError::NotAMove:
            return at + QStringLiteral(": '%1' is not a move").arg(error.text);
        case xq::PgnError::IllegalMove:
            return at + QStringLiteral(": '%1' cannot be played here").arg(error.text);
        case xq::PgnError::AmbiguousMove:
            return at + QStringLiteral(": '%1' fits more than one move").arg(error.text);
        case xq::PgnError::Unclosed:
            return at + QStringLiteral(": '%1' is never closed").arg(error.text);
        case xq::PgnError::TooLong:
            return at + QStringLiteral(": more moves than any game has");
    }
    return path;
}

bool Load(const QString& path, xq::GameRecord& game) {
    xq::PgnError error;
    if (xq::loadGameRecord(path, game, &error)) return true;
    std::fprintf(stderr, "xqrecord: %s\n", Local(loadFailure(path, error)).constData());
    return false;
}

int Convert(const xq::GameRecord& game, const QString& out, xq::MoveNotation notation) {
    QByteArray bytes;
    switch (xq::recordFormatOf(out)) {
        case xq::RecordFormat::Drak:
            if (!game.startsFromOpening()) {
                std::fprintf(stderr,
                             "xqrecord: the game does not start from the opening position, "
                             "which a .drak file cannot hold; write a .pgn file instead\n");
                return 1;
            }
            bytes = xq::qiPuFileText(game.moves);
            break;
        case xq::RecordFormat::Text:
            bytes = xq::textRecordBytes(xq::recordLines(game.moves, game.start.sideToMove()));
            break;
        case xq::RecordFormat::Pgn: {
            long bad = 0;
            if (!xq::writePgn(game, notation, &bytes, &bad)) {
                std::fprintf(
                    stderr, "xqrecord: line %ld (move %s) cannot be played there\n", bad,
                    xq::recordLine(game.moves, bad, game.start.sideToMove()).toUtf8().constData());
                return 1;
            }
            break;
        }
    }
    QString error;
    if (!xq::writeFileAtomically(out, bytes, &error)) {
        std::fprintf(stderr, "xqrecord: cannot write %s: %s\n", Local(out).constData(),
                     Local(error).constData());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (xq::printedVersion(argc, argv, "xqrecord")) return 0;
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    const bool utf8 = args.removeAll(QStringLiteral("--utf8")) > 0 || isatty(STDOUT_FILENO);
    xq::MoveNotation notation = xq::MoveNotation::Iccs;
    bool notationGiven = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] != u"--notation") continue;
        const auto named = xq::notationFromName(args.value(i + 1));
        if (!named) return Usage();
        notation = *named;
        notationGiven = true;
        args.remove(i, 2);
        break;
    }
    if (args.size() < 2) return Usage();
    const QString command = args[1];
    const bool convert = command == u"convert";
    if (convert ? args.size() != 4 : (args.size() != 3 || notationGiven)) return Usage();
    if (!convert && command != u"text" && command != u"check") return Usage();
    if (convert && notationGiven && xq::recordFormatOf(args[3]) != xq::RecordFormat::Pgn) {
        std::fputs("xqrecord: --notation applies to .pgn output only\n", stderr);
        return 2;
    }

    xq::GameRecord game;
    if (!Load(args[2], game)) return 2;
    if (convert) return Convert(game, args[3], notation);
    if (command == u"check") return Check(game);
    // A terminal shows UTF-8; a file keeps the code page the text record format has.
    const QStringList lines = xq::recordLines(game.moves, game.start.sideToMove());
    const QByteArray bytes =
        utf8 ? (lines.join(QStringLiteral("\r\n")) + (lines.isEmpty() ? "" : "\r\n")).toUtf8()
             : xq::textRecordBytes(lines);
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    return 0;
}
