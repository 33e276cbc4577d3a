// The tree below the root: negamax with principal variation search, and the quiescence search.

#include <algorithm>

#include "engine/evaluation.h"
#include "engine/score.h"
#include "engine/searcher.h"

namespace xq::engine {
namespace {

// Captures that cannot lift the score near alpha even with this margin are not tried.
constexpr int kDeltaMargin = 200;
constexpr int kMaxQuietsRemembered = 64;

}  // namespace

int Searcher::negamax(SearchBoard& board, int depth, int alpha, int beta, int ply,
                      bool nullAllowed) {
    const bool pvNode = beta - alpha > 1;
    if (board.repeats()) return kDrawScore;
    // No line from here can be better than mating at once or worse than being mated at once.
    alpha = std::max(alpha, -kMate + ply);
    beta = std::min(beta, kMate - ply - 1);
    if (alpha >= beta) return alpha;
    if (ply >= kMaxPly - 1) return evaluate(board);

    const bool inCheck = board.inCheck();
    if (inCheck) ++depth;
    if (depth <= 0) return quiesce(board, alpha, beta, ply);
    if (timeUp()) return 0;
    ++nodes_;

    Move tableMove{};
    if (auto entry = table_.probe(board.key(), ply)) {
        tableMove = entry->move;
        if (!pvNode && entry->depth >= depth) {
            const int s = entry->score;
            if (entry->bound == Bound::Exact || (entry->bound == Bound::Lower && s >= beta) ||
                (entry->bound == Bound::Upper && s <= alpha))
                return s;
        }
    }

    const int side = board.sideToMove();
    // Passing is almost never best in this game; if even passing holds beta, a real move will.
    if (!pvNode && !inCheck && nullAllowed && depth >= 3 && board.majorPieces(side) > 0 &&
        evaluate(board) >= beta) {
        const int reduction = depth >= 6 ? 3 : 2;
        board.makeNull();
        const int score = -negamax(board, depth - 1 - reduction, -beta, -beta + 1, ply + 1, false);
        board.unmakeNull();
        if (aborted_) return 0;
        if (score >= beta) return isMateScore(score) ? beta : score;
    }

    MoveList moves;
    board.generate(moves);
    MovePicker picker(board, moves, tableMove, ordering_, ply, false);
    const int originalAlpha = alpha;
    int best = -kInfinity;
    Move bestMove{};
    int legal = 0;
    std::array<Move, kMaxQuietsRemembered> quiets{};
    int quietCount = 0;
    Move m;
    while (picker.next(m)) {
        const Piece captured = board.make(m);
        if (board.moverExposed()) {
            board.unmake(m, captured);
            continue;
        }
        ++legal;
        const bool quiet = captured == kNoPiece;
        int score = 0;
        if (legal == 1) {
            score = -negamax(board, depth - 1, -beta, -alpha, ply + 1, true);
        } else {
            // Late quiet moves are rarely best: look at them less deeply first.
            int reduction = 0;
            if (depth >= 3 && quiet && !inCheck && legal > 4 && !(m == ordering_.killer(ply, 0)) &&
                !(m == ordering_.killer(ply, 1)) && !board.inCheck())
                reduction = legal > 12 && depth >= 5 ? 2 : 1;
            score = -negamax(board, depth - 1 - reduction, -alpha - 1, -alpha, ply + 1, true);
            if (!aborted_ && score > alpha && reduction > 0)
                score = -negamax(board, depth - 1, -alpha - 1, -alpha, ply + 1, true);
            if (!aborted_ && score > alpha && score < beta)
                score = -negamax(board, depth - 1, -beta, -alpha, ply + 1, true);
        }
        board.unmake(m, captured);
        if (aborted_) return 0;
        if (score > best) {
            best = score;
            bestMove = m;
        }
        if (score > alpha) {
            alpha = score;
            if (alpha >= beta) {
                if (quiet) {
                    ordering_.rewardQuiet(side, m, depth, ply);
                    for (int i = 0; i < quietCount; ++i)
                        ordering_.penaliseQuiet(side, quiets[static_cast<std::size_t>(i)], depth);
                }
                break;
            }
        }
        if (quiet && quietCount < kMaxQuietsRemembered)
            quiets[static_cast<std::size_t>(quietCount++)] = m;
    }
    // A side without a legal move has lost, whether its king is attacked or not.
    if (legal == 0) return -kMate + ply;

    const Bound bound = best >= beta           ? Bound::Lower
                        : best > originalAlpha ? Bound::Exact
                                               : Bound::Upper;
    table_.store(board.key(), bestMove, best, depth, bound, ply);
    return best;
}

int Searcher::quiesce(SearchBoard& board, int alpha, int beta, int ply) {
    if (timeUp()) return 0;
    ++nodes_;
    if (ply >= kMaxPly - 1) return evaluate(board);

    const bool inCheck = board.inCheck();
    int best = -kInfinity;
    int standPat = 0;
    if (!inCheck) {
        // Not capturing is an option, so the side to move gets at least its static score.
        standPat = evaluate(board);
        if (standPat >= beta) return standPat;
        alpha = std::max(alpha, standPat);
        best = standPat;
    }

    MoveList moves;
    board.generate(moves);
    // In check every evasion is looked at; otherwise only captures.
    MovePicker picker(board, moves, Move{}, ordering_, ply, !inCheck);
    int legal = 0;
    Move m;
    while (picker.next(m)) {
        if (!inCheck && standPat + kindValue(kindOf(board.at(m.to))) + kDeltaMargin <= alpha)
            continue;
        const Piece captured = board.make(m);
        if (board.moverExposed()) {
            board.unmake(m, captured);
            continue;
        }
        ++legal;
        const int score = -quiesce(board, -beta, -alpha, ply + 1);
        board.unmake(m, captured);
        if (aborted_) return 0;
        if (score > best) {
            best = score;
            if (score > alpha) {
                alpha = score;
                if (alpha >= beta) break;
            }
        }
    }
    if (inCheck && legal == 0) return -kMate + ply;
    return best;
}

}  // namespace xq::engine
