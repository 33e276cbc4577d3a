// xqrecord text [--utf8] FILE.drak  the text record of a record file on stdout: in UTF-8 on a
//                                   terminal or with --utf8, else in code page 936 (the
//                                   format of text record files)
// xqrecord check FILE.drak          replays the record from the opening position and says
//                                   what it checked, or names the first line whose move the
//                                   rules refuse or whose pieces do not match the board
//                                   (exit 1); a file that does not load: exit 2

#include <unistd.h>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <cstdio>

#include "game/game_state.h"
#include "records/record_file.h"
#include "rules/legality.h"

namespace {

int Usage() {
    std::fputs("usage: xqrecord text [--utf8] FILE.drak | xqrecord check FILE.drak\n", stderr);
    return 2;
}

QStringList Lines(const xq::QiPuHistory& history) {
    QStringList lines;
    for (long k = 1; k <= xq::QiPuUpperBound(history); ++k)
        lines << xq::QiPuLine(history, k);
    return lines;
}

// The first move that cannot be played from the position the moves before it reached.
int Check(const xq::QiPuHistory& history) {
    xq::QiPan board{};
    xq::InitQiPan(board);
    for (long k = 1; k <= xq::QiPuUpperBound(history); ++k) {
        const auto m = *xq::GetQiPu(history, k);
        const QString line = xq::QiPuLine(history, k);
        QString why;
        if (!xq::OnBoard(m.fromRank, m.fromFile) || !xq::OnBoard(m.toRank, m.toFile)) {
            why = QStringLiteral("a point lies off the board");
        } else if (board[m.fromRank][m.fromFile] != m.piece) {
            why = QStringLiteral("the from-point holds piece %1, the record says %2")
                      .arg(board[m.fromRank][m.fromFile])
                      .arg(m.piece);
        } else if (board[m.toRank][m.toFile] != m.eaten) {
            // Stepping back puts the recorded captured piece on the board again: a wrong one
            // would appear from nowhere.
            why = QStringLiteral("the to-point holds piece %1, the record says it took %2")
                      .arg(board[m.toRank][m.toFile])
                      .arg(m.eaten);
        } else if (!xq::CanMoveQiZi(board, m.fromRank, m.fromFile, m.toRank, m.toFile)) {
            why = QStringLiteral("the rules refuse it");
        }
        if (!why.isEmpty()) {
            std::printf("line %ld (move %s): %s\n", k, line.toUtf8().constData(),
                        why.toUtf8().constData());
            return 1;
        }
        board[m.fromRank][m.fromFile] = xq::kNoPiece;
        board[m.toRank][m.toFile] = m.piece;
    }
    std::printf(
        "ok: %ld moves replayed from the opening position; every piece, every capture "
        "and every move as the rules allow\n",
        xq::QiPuUpperBound(history));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    const bool utf8 = args.removeAll(QStringLiteral("--utf8")) > 0 || isatty(STDOUT_FILENO);
    if (args.size() != 3 || (args[1] != u"text" && args[1] != u"check")) return Usage();

    xq::QiPuHistory history;
    if (!xq::LoadQiPuFile(args[2], history)) {
        std::fprintf(stderr, "xqrecord: %s is not a readable record file\n",
                     args[2].toLocal8Bit().constData());
        return 2;
    }
    if (args[1] == u"check") return Check(history);
    // A terminal shows UTF-8; a file keeps the code page the text record format has.
    const QByteArray bytes = utf8 ? (Lines(history).join(QStringLiteral("\r\n")) +
                                     (xq::QiPuUpperBound(history) > 0 ? "\r\n" : ""))
                                        .toUtf8()
                                  : xq::TextRecordBytes(Lines(history));
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    return 0;
}
