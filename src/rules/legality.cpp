#include "rules/legality.h"

#include <cstdlib>

namespace xq {
namespace {

int Sign(int x) {
    return x < 0 ? -1 : 1;
}

}  // namespace

bool CanMoveQiZi(QiPan& board, int r1, int c1, int r2, int c2) {
    const Piece src = pieceAt(board, r1, c1);
    const Piece dst = pieceAt(board, r2, c2);
    if (src == kNoPiece) return false;
    if (dst != kNoPiece && SideOf(dst) == SideOf(src)) return false;

    bool ruleOk = false;
    switch (kindOf(src)) {
        case kChariot:
        case kCannon:
            ruleOk = RuleJuPao(board, r1, c1, r2, c2);
            break;
        case kHorse:
            ruleOk = RuleMa(board, r1, c1, r2, c2);
            break;
        case kKing:
            ruleOk = RuleJiang(board, r1, c1, r2, c2);
            break;
        case kAdvisor:
            ruleOk = RuleShi(board, r1, c1, r2, c2);
            break;
        case kElephant:
            ruleOk = RuleXiang(board, r1, c1, r2, c2);
            break;
        case kPawn:
            ruleOk = RuleBing(board, r1, c1, r2, c2);
            break;
        default:
            return false;
    }
    if (!ruleOk) return false;

    // A move along its own file can neither open nor close the file between the kings.
    if (c1 == c2) return true;

    setPiece(board, r1, c1, kNoPiece);
    setPiece(board, r2, c2, src);
    const bool facing = KingsFacing(board);
    setPiece(board, r1, c1, src);
    setPiece(board, r2, c2, dst);
    return !facing;
}

bool RuleJuPao(const QiPan& board, int r1, int c1, int r2, int c2) {
    if (r1 != r2 && c1 != c2) return false;
    if (r1 == r2 && c1 == c2) return false;
    const int between = CountBetween(board, r1, c1, r2, c2);
    if (kindOf(pieceAt(board, r1, c1)) == kChariot) return between == 0;
    if (pieceAt(board, r2, c2) == kNoPiece) return between == 0;
    return between == 1;  // a cannon captures over exactly one screen
}

bool RuleMa(const QiPan& board, int r1, int c1, int r2, int c2) {
    const int dr = r2 - r1, dc = c2 - c1;
    const int ar = std::abs(dr), ac = std::abs(dc);
    if (!((ar == 1 && ac == 2) || (ar == 2 && ac == 1))) return false;
    const int legR = ar == 2 ? r1 + Sign(dr) : r1;
    const int legC = ac == 2 ? c1 + Sign(dc) : c1;
    return pieceAt(board, legR, legC) == kNoPiece;
}

bool RuleXiang(const QiPan& board, int r1, int c1, int r2, int c2) {
    const int dr = r2 - r1, dc = c2 - c1;
    if (std::abs(dr) != 2 || std::abs(dc) != 2) return false;
    if (SideOf(pieceAt(board, r1, c1)) == kBlack) {
        if (!(r1 <= 4 && r2 <= 4)) return false;
    } else {
        if (!(r1 >= 5 && r2 >= 5)) return false;
    }
    return pieceAt(board, r1 + Sign(dr), c1 + Sign(dc)) == kNoPiece;
}

bool RuleJiang(const QiPan& board, int r1, int c1, int r2, int c2) {
    const int ar = std::abs(r2 - r1), ac = std::abs(c2 - c1);
    if (!((ar == 1 && ac == 0) || (ar == 0 && ac == 1))) return false;
    if (c1 < 3 || c1 > 5 || c2 < 3 || c2 > 5) return false;
    if (SideOf(pieceAt(board, r1, c1)) == kBlack) return r1 <= 2 && r2 <= 2;
    return r1 >= 7 && r2 >= 7;
}

bool RuleShi(const QiPan& board, int r1, int c1, int r2, int c2) {
    if (std::abs(r2 - r1) != 1 || std::abs(c2 - c1) != 1) return false;
    if (c1 < 3 || c1 > 5 || c2 < 3 || c2 > 5) return false;
    if (SideOf(pieceAt(board, r1, c1)) == kBlack) return r1 <= 2 && r2 <= 2;
    return r1 >= 7 && r2 >= 7;
}

bool RuleBing(const QiPan& board, int r1, int c1, int r2, int c2) {
    const int dr = r2 - r1, dc = c2 - c1;
    if (SideOf(pieceAt(board, r1, c1)) == kBlack) {
        if (r1 < 5) return dr == 1 && dc == 0;
        if (dr == 0) return std::abs(dc) == 1;
        return dr == 1 && dc == 0;
    }
    if (r1 > 4) return dr == -1 && dc == 0;
    if (dr == 0) return std::abs(dc) == 1;
    return dr == -1 && dc == 0;
}

int CountBetween(const QiPan& board, int r1, int c1, int r2, int c2) {
    if (r1 != r2 && c1 != c2) return 0;
    if (r1 == r2 && c1 == c2) return 0;
    int count = 0;
    if (r1 != r2) {
        const int step = Sign(r2 - r1);
        for (int r = r1 + step; r != r2; r += step) {
            if (pieceAt(board, r, c1) != kNoPiece) ++count;
        }
    } else {
        const int step = Sign(c2 - c1);
        for (int c = c1 + step; c != c2; c += step) {
            if (pieceAt(board, r1, c) != kNoPiece) ++count;
        }
    }
    return count;
}

void FindQiZi(const QiPan& board, std::uint8_t code, std::uint8_t& rank, std::uint8_t& file) {
    for (int r = 0; r < kRanks; ++r) {
        for (int f = 0; f < kFiles; ++f) {
            if (board[r][f] == code) {
                rank = static_cast<std::uint8_t>(r);
                file = static_cast<std::uint8_t>(f);
                return;
            }
        }
    }
}

bool KingsFacing(const QiPan& board) {
    std::uint8_t rb = 0, cb = 0, rr = 0, cr = 0;
    FindQiZi(board, makePiece(kBlack, kKing), rb, cb);
    FindQiZi(board, makePiece(kRed, kKing), rr, cr);
    if (cb != cr) return false;
    return CountBetween(board, rb, cb, rr, cr) == 0;
}

}  // namespace xq
