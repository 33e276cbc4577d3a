// The root of the search: iterative deepening, aspiration windows, time and the result.

#include "engine/searcher.h"

#include <algorithm>

#include "engine/score.h"

namespace xq::engine {
namespace {

constexpr int kAspiration = 40;

}  // namespace

Searcher::Searcher(std::size_t tableMegabytes) : table_(tableMegabytes) {}

void Searcher::clear() {
    table_.clear();
    ordering_.clear();
}

std::chrono::milliseconds Searcher::elapsed() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_);
}

void Searcher::begin(const SearchLimits& limits) {
    start_ = std::chrono::steady_clock::now();
    hardMs_ = limits.hardMs;
    maxNodes_ = limits.maxNodes;
    stop_ = limits.stop;
    nodes_ = 0;
    aborted_ = false;
    iterationHasBest_ = false;
    table_.newSearch();
    ordering_.age();
}

bool Searcher::timeUp() {
    if (aborted_) return true;
    // Looking at the clock costs little, but not nothing: every few hundred nodes is enough to
    // stop within a millisecond or two of the deadline.
    if ((nodes_ & 255) != 0) return false;
    if (stop_ && stop_->load(std::memory_order_relaxed)) aborted_ = true;
    if (maxNodes_ > 0 && nodes_ >= maxNodes_) aborted_ = true;
    if (hardMs_ > 0 && elapsed().count() >= hardMs_) aborted_ = true;
    return aborted_;
}

std::vector<Searcher::RootMove> Searcher::rootMoves(SearchBoard& board,
                                                    const std::vector<Move>& excluded) {
    MoveList pseudo;
    board.generate(pseudo);
    // Captures first, so that even a search stopped at once has looked at them.
    MovePicker picker(board, pseudo, Move{}, ordering_, 0, false);
    std::vector<RootMove> root;
    Move m;
    while (picker.next(m)) {
        const Piece captured = board.make(m);
        const bool legal = !board.moverExposed();
        board.unmake(m, captured);
        if (legal && std::find(excluded.begin(), excluded.end(), m) == excluded.end())
            root.push_back(RootMove{m, -kInfinity});
    }
    return root;
}

int Searcher::searchRoot(SearchBoard& board, int depth, int alpha, int beta,
                         std::vector<RootMove>& root) {
    int best = -kInfinity;
    for (std::size_t i = 0; i < root.size(); ++i) {
        const Move m = root[i].move;
        const Piece captured = board.make(m);
        int score = 0;
        if (i == 0) {
            score = -negamax(board, depth - 1, -beta, -alpha, 1, true);
        } else {
            score = -negamax(board, depth - 1, -alpha - 1, -alpha, 1, true);
            if (!aborted_ && score > alpha && score < beta)
                score = -negamax(board, depth - 1, -beta, -alpha, 1, true);
        }
        board.unmake(m, captured);
        if (aborted_) return best;
        root[i].score = score;
        best = std::max(best, score);
        if (score > alpha) {
            alpha = score;
            iterationBest_ = m;
            iterationScore_ = score;
            iterationHasBest_ = true;
            // The new best goes first; the others keep their order behind it.
            std::rotate(root.begin(), root.begin() + static_cast<std::ptrdiff_t>(i),
                        root.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            if (alpha >= beta) break;
        }
    }
    return best;
}

SearchResult Searcher::search(SearchBoard& board, const SearchLimits& limits) {
    begin(limits);
    SearchResult result;
    MoveList legal;
    {
        Position probe = board.position();
        generateLegalMoves(probe, legal);
    }
    result.legalMoves = legal.size();
    std::vector<RootMove> root = rootMoves(board, limits.excluded);
    if (root.empty()) {
        // No legal move loses; with legal moves that were all refused there is nothing to judge.
        result.score = legal.empty() ? -kMate : 0;
        result.elapsed = elapsed();
        return result;
    }
    // A move is ready before the first iteration starts.
    result.hasMove = true;
    result.best = root.front().move;
    if (auto entry = table_.probe(board.key(), 0)) {
        auto it = std::find_if(root.begin(), root.end(),
                               [&](const RootMove& r) { return r.move == entry->move; });
        if (it != root.end()) std::rotate(root.begin(), it, it + 1);
    }
    // With one move there is no choice to make; a short look still gives a score.
    const int maxDepth = std::clamp(
        root.size() == 1 ? std::min(limits.maxDepth, 4) : limits.maxDepth, 1, kMaxPly - 1);
    int previous = 0;
    for (int depth = 1; depth <= maxDepth; ++depth) {
        iterationHasBest_ = false;
        int window = kAspiration;
        int alpha = -kInfinity, beta = kInfinity;
        if (depth >= 4 && !isMateScore(previous)) {
            alpha = previous - window;
            beta = previous + window;
        }
        int score = 0;
        for (;;) {
            score = searchRoot(board, depth, alpha, beta, root);
            if (aborted_) break;
            if (score <= alpha && alpha > -kInfinity) {
                window *= 4;
                alpha = window > 1000 ? -kInfinity : std::max(-kInfinity, score - window);
            } else if (score >= beta && beta < kInfinity) {
                window *= 4;
                beta = window > 1000 ? kInfinity : std::min(kInfinity, score + window);
            } else {
                break;
            }
        }
        if (aborted_) {
            // The previous best is searched first; a move that then beat it at the new depth
            // before the stop is the better choice.
            if (iterationHasBest_) {
                result.best = iterationBest_;
                result.score = std::max(result.score, iterationScore_);
            }
            break;
        }
        previous = score;
        result.best = root.front().move;
        result.score = score;
        result.depth = depth;
        if (isMateScore(score) && kMate - std::abs(score) <= depth) break;
        if (limits.softMs > 0 && elapsed().count() * 2 >= limits.softMs) break;
    }
    result.nodes = nodes_;
    result.pv = principalVariation(board, std::max(1, result.depth));
    if (result.pv.empty() || !(result.pv.front() == result.best)) result.pv = {result.best};
    result.elapsed = elapsed();
    return result;
}

std::vector<RootMoveScore> Searcher::scoreRootMoves(SearchBoard& board, int depth,
                                                    const SearchLimits& limits) {
    begin(limits);
    std::vector<RootMoveScore> scored;
    for (const RootMove& r : rootMoves(board, limits.excluded)) {
        const Piece captured = board.make(r.move);
        const int score = -negamax(board, std::max(0, depth - 1), -kInfinity, kInfinity, 1, true);
        board.unmake(r.move, captured);
        if (aborted_) break;
        scored.push_back(RootMoveScore{r.move, score});
    }
    std::stable_sort(
        scored.begin(), scored.end(),
        [](const RootMoveScore& a, const RootMoveScore& b) { return a.score > b.score; });
    return scored;
}

std::vector<Move> Searcher::principalVariation(SearchBoard& board, int maxLength) {
    std::vector<Move> pv;
    std::vector<Piece> taken;
    while (static_cast<int>(pv.size()) < maxLength) {
        auto entry = table_.probe(board.key(), 0);
        if (!entry || entry->move == Move{}) break;
        MoveList moves;
        board.generate(moves);
        if (std::find(moves.begin(), moves.end(), entry->move) == moves.end()) break;
        const Piece captured = board.make(entry->move);
        if (board.moverExposed() || board.repeats()) {
            board.unmake(entry->move, captured);
            break;
        }
        pv.push_back(entry->move);
        taken.push_back(captured);
    }
    for (std::size_t i = pv.size(); i-- > 0;)
        board.unmake(pv[i], taken[i]);
    return pv;
}

}  // namespace xq::engine
