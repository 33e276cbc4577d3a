#include "analysis/analysis_text.h"

#include <QStringList>
#include <algorithm>

#include "rules/chinese_move.h"
#include "rules/described_move.h"

namespace xq::analysis {

int redCentipawns(const uci::Score& s, int sideToMove) {
    int v = s.value;
    if (s.kind == uci::Score::Mate) {
        const int moves = std::min(std::abs(v), kMateCentipawns / 2);
        v = v > 0 ? kMateCentipawns - moves : -(kMateCentipawns - moves);
    } else {
        v = std::clamp(v, -kMateCentipawns / 2, kMateCentipawns / 2);
    }
    return sideToMove == kRed ? v : -v;
}

QString scoreText(const uci::Score& s, int sideToMove) {
    if (s.kind == uci::Score::Mate) {
        // Mate 0 is a side already mated: the side to move has lost.
        const bool moverWins = s.value > 0;
        const bool redWins = moverWins == (sideToMove == kRed);
        return QStringLiteral("%1 %2 步杀")
            .arg(redWins ? QStringLiteral("红") : QStringLiteral("黑"))
            .arg(std::abs(s.value));
    }
    const int red = sideToMove == kRed ? s.value : -s.value;
    const QString text = QString::number(std::abs(red) / 100.0, 'f', 2);
    return red > 0 ? u'+' + text : red < 0 ? u'-' + text : text;
}

QString movesText(const Position& from, const std::vector<Move>& moves) {
    Position p = from;
    QStringList out;
    for (const Move m : moves) {
        out << QString::fromStdString(chineseMoveText(describeMove(p, m), p.sideToMove()));
        p.makeMove(m);
    }
    return out.join(u' ');
}

QString speedText(long long nps) {
    if (nps >= 1'000'000) return QStringLiteral("%1 百万/秒").arg(nps / 1e6, 0, 'f', 1);
    if (nps >= 1'000) return QStringLiteral("%1 千/秒").arg(nps / 1000);
    return QStringLiteral("%1/秒").arg(std::max(0LL, nps));
}

}  // namespace xq::analysis
