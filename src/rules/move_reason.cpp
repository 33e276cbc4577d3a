#include "rules/move_reason.h"

#include <cstdlib>

#include "rules/legality.h"

namespace xq {
namespace {

MoveReason ruleReason(const QiPan& board, int r1, int c1, int r2, int c2) {
    const Piece src = pieceAt(board, r1, c1);
    const int side = SideOf(src);
    const int dr = r2 - r1, dc = c2 - c1;
    const int ar = std::abs(dr), ac = std::abs(dc);
    // Rank index of the point seen from the piece's own side: 0 is its back rank.
    const auto own = [side](int r) { return side == kBlack ? r : kRanks - 1 - r; };
    switch (kindOf(src)) {
        case kChariot:
        case kCannon:
            if (RuleJuPao(board, r1, c1, r2, c2)) return MoveReason::kNone;
            if ((r1 != r2 && c1 != c2) || (r1 == r2 && c1 == c2)) return MoveReason::kNotHowItMoves;
            if (kindOf(src) == kCannon && pieceAt(board, r2, c2) != kNoPiece)
                return MoveReason::kCannonScreen;
            return MoveReason::kPathBlocked;
        case kHorse:
            if (RuleMa(board, r1, c1, r2, c2)) return MoveReason::kNone;
            return (ar == 1 && ac == 2) || (ar == 2 && ac == 1) ? MoveReason::kHorseLeg
                                                                : MoveReason::kNotHowItMoves;
        case kElephant:
            if (RuleXiang(board, r1, c1, r2, c2)) return MoveReason::kNone;
            if (ar != 2 || ac != 2) return MoveReason::kNotHowItMoves;
            if (own(r2) > 4) return MoveReason::kElephantRiver;
            return MoveReason::kElephantEye;
        case kKing:
            if (RuleJiang(board, r1, c1, r2, c2)) return MoveReason::kNone;
            if (!((ar == 1 && ac == 0) || (ar == 0 && ac == 1))) return MoveReason::kNotHowItMoves;
            return MoveReason::kPalace;
        case kAdvisor:
            if (RuleShi(board, r1, c1, r2, c2)) return MoveReason::kNone;
            if (ar != 1 || ac != 1) return MoveReason::kNotHowItMoves;
            return MoveReason::kPalace;
        case kPawn:
            if (RuleBing(board, r1, c1, r2, c2)) return MoveReason::kNone;
            if (own(r2) < own(r1) && dc == 0) return MoveReason::kPawnBackward;
            if (dr == 0 && ac == 1 && own(r1) <= 4) return MoveReason::kPawnSideways;
            return MoveReason::kNotHowItMoves;
        default:
            return MoveReason::kNoPiece;
    }
}

}  // namespace

MoveReason WhyNot(QiPan& board, int r1, int c1, int r2, int c2) {
    if (!OnBoard(r1, c1) || !OnBoard(r2, c2)) return MoveReason::kNotHowItMoves;
    const Piece src = pieceAt(board, r1, c1);
    if (src == kNoPiece) return MoveReason::kNoPiece;
    const Piece dst = pieceAt(board, r2, c2);
    if (dst != kNoPiece && SideOf(dst) == SideOf(src)) return MoveReason::kOwnPiece;
    const MoveReason rule = ruleReason(board, r1, c1, r2, c2);
    if (rule != MoveReason::kNone) return rule;
    return CanMoveQiZi(board, r1, c1, r2, c2) ? MoveReason::kNone : MoveReason::kKingsFace;
}

std::string moveReasonText(MoveReason reason) {
    switch (reason) {
        case MoveReason::kNone:
            return {};
        case MoveReason::kNoPiece:
            return "这里没有棋子";
        case MoveReason::kOwnPiece:
            return "不能吃自己的棋子";
        case MoveReason::kNotHowItMoves:
            return "这个棋子不能这样走";
        case MoveReason::kPathBlocked:
            return "路上有棋子挡住了";
        case MoveReason::kCannonScreen:
            return "炮吃子要隔一个棋子";
        case MoveReason::kHorseLeg:
            return "蹩马腿了";
        case MoveReason::kElephantEye:
            return "塞象眼了";
        case MoveReason::kElephantRiver:
            return "相（象）不能过河";
        case MoveReason::kPalace:
            return "不能走出九宫";
        case MoveReason::kPawnBackward:
            return "兵（卒）不能后退";
        case MoveReason::kPawnSideways:
            return "兵（卒）过河以后才能横走";
        case MoveReason::kKingsFace:
            return "将帅不能照面";
    }
    return {};
}

std::vector<std::pair<int, int>> legalTargets(QiPan& board, int rank, int file) {
    std::vector<std::pair<int, int>> targets;
    if (!OnBoard(rank, file) || pieceAt(board, rank, file) == kNoPiece) return targets;
    for (int r = 0; r < kRanks; ++r) {
        for (int f = 0; f < kFiles; ++f) {
            if (CanMoveQiZi(board, rank, file, r, f)) targets.emplace_back(r, f);
        }
    }
    return targets;
}

}  // namespace xq
