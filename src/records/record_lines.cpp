#include "records/record_lines.h"

#include "rules/notation.h"
#include "rules/piece.h"

namespace xq {

QString recordLine(const QiPuHistory& history, long k, int firstSide) {
    const auto m = GetQiPu(history, k);
    if (!m) return {};
    const long ply = firstSide == kBlack ? k + 1 : k;
    return QString::fromStdString(GetQiPuText(m->fromRank, m->fromFile, m->piece, m->toRank,
                                              m->toFile, m->eaten, moveNumberOfPly(ply)));
}

QStringList recordLines(const QiPuHistory& history, int firstSide) {
    QStringList lines;
    for (long k = 1; k <= qiPuUpperBound(history); ++k)
        lines << recordLine(history, k, firstSide);
    return lines;
}

}  // namespace xq
