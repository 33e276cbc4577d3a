#include "rules/history.h"

namespace xq {

void resetQiPu(QiPuHistory& history) {
    history.assign(1, QiPuItem{});
}

void AddQiPu(QiPuHistory& history, std::uint8_t fromRank, std::uint8_t fromFile, std::uint8_t piece,
             std::uint8_t toRank, std::uint8_t toFile, std::uint8_t eaten) {
    history.push_back(
        QiPuItem{packPoint(fromRank, fromFile), piece, packPoint(toRank, toFile), eaten});
}

std::optional<QiPuMove> GetQiPu(const QiPuHistory& history, long index) {
    if (index < 0 || index > qiPuUpperBound(history)) return std::nullopt;
    const QiPuItem& item = history[static_cast<std::size_t>(index)];
    return QiPuMove{static_cast<std::uint8_t>(packedRank(item.bteFromPos)),
                    static_cast<std::uint8_t>(packedFile(item.bteFromPos)),
                    item.bteQiZi,
                    static_cast<std::uint8_t>(packedRank(item.bteToPos)),
                    static_cast<std::uint8_t>(packedFile(item.bteToPos)),
                    item.bteEatQiZi};
}

void DelQiPu(QiPuHistory& history) {
    if (history.size() > 1) history.pop_back();
}

void replayQiPu(const QiPuHistory& history, QiPan& board) {
    InitQiPan(board);
    for (long k = 1; k <= qiPuUpperBound(history); ++k) {
        const auto m = GetQiPu(history, k);
        setPiece(board, m->fromRank, m->fromFile, kNoPiece);
        setPiece(board, m->toRank, m->toFile, m->piece);
    }
}

}  // namespace xq
