#include "engine/move_order.h"

#include <algorithm>

#include "engine/evaluation.h"

namespace xq::engine {
namespace {

constexpr int kTableMoveScore = 1 << 30;
constexpr int kCaptureBase = 1 << 28;
constexpr int kKillerScore = 1 << 26;

std::size_t Index(Move m) {
    return static_cast<std::size_t>(m.from) * kSquares + m.to;
}

}  // namespace

void OrderingTables::clear() {
    for (auto& k : killers_)
        k = {};
    for (auto& side : history_)
        side.fill(0);
}

void OrderingTables::age() {
    for (auto& k : killers_)
        k = {};
    for (auto& side : history_) {
        for (int& h : side)
            h /= 4;
    }
}

void OrderingTables::rewardQuiet(int side, Move m, int depth, int ply) {
    if (ply >= 0 && ply <= kMaxPly) {
        auto& k = killers_[static_cast<std::size_t>(ply)];
        if (!(k[0] == m)) {
            k[1] = k[0];
            k[0] = m;
        }
    }
    int& h = history_[static_cast<std::size_t>(side & 1)][Index(m)];
    h = std::min(kHistoryMax, h + depth * depth);
}

void OrderingTables::penaliseQuiet(int side, Move m, int depth) {
    int& h = history_[static_cast<std::size_t>(side & 1)][Index(m)];
    h = std::max(-kHistoryMax, h - depth);
}

Move OrderingTables::killer(int ply, int slot) const {
    if (ply < 0 || ply > kMaxPly) return Move{};
    return killers_[static_cast<std::size_t>(ply)][static_cast<std::size_t>(slot & 1)];
}

int OrderingTables::history(int side, Move m) const {
    return history_[static_cast<std::size_t>(side & 1)][Index(m)];
}

int captureOrder(Piece victim, Piece attacker) {
    // The king is worth nothing as material but is the costliest piece to risk as a taker.
    const int attackerCost = kindOf(attacker) == kKing ? 1000 : kindValue(kindOf(attacker));
    return kindValue(kindOf(victim)) * 16 - attackerCost / 8;
}

MovePicker::MovePicker(const SearchBoard& board, const MoveList& moves, Move tableMove,
                       const OrderingTables& tables, int ply, bool capturesOnly) {
    const int side = board.sideToMove();
    const Move killer0 = tables.killer(ply, 0), killer1 = tables.killer(ply, 1);
    for (Move m : moves) {
        const Piece victim = board.at(m.to);
        if (capturesOnly && victim == kNoPiece) continue;
        int score = 0;
        if (m == tableMove) {
            score = kTableMoveScore;
        } else if (victim != kNoPiece) {
            score = kCaptureBase + captureOrder(victim, board.at(m.from));
        } else if (m == killer0) {
            score = kKillerScore + 1;
        } else if (m == killer1) {
            score = kKillerScore;
        } else {
            score = tables.history(side, m);
        }
        moves_[static_cast<std::size_t>(size_)] = m;
        scores_[static_cast<std::size_t>(size_)] = score;
        ++size_;
    }
}

bool MovePicker::next(Move& m) {
    if (index_ >= size_) return false;
    int best = index_;
    for (int i = index_ + 1; i < size_; ++i) {
        if (scores_[static_cast<std::size_t>(i)] > scores_[static_cast<std::size_t>(best)])
            best = i;
    }
    std::swap(moves_[static_cast<std::size_t>(best)], moves_[static_cast<std::size_t>(index_)]);
    std::swap(scores_[static_cast<std::size_t>(best)], scores_[static_cast<std::size_t>(index_)]);
    m = moves_[static_cast<std::size_t>(index_++)];
    return true;
}

}  // namespace xq::engine
