#include "engine/move_choice.h"

#include <algorithm>

#include "engine/score.h"

namespace xq::engine {

bool findKingCapture(const SearchBoard& board, Move& out) {
    const Piece king = makePiece(Opponent(board.sideToMove()), kKing);
    MoveList moves;
    board.generate(moves);
    for (Move m : moves) {
        if (board.at(m.to) == king) {
            out = m;
            return true;
        }
    }
    return false;
}

namespace {

bool Excluded(const std::vector<Move>& excluded, Move m) {
    return std::find(excluded.begin(), excluded.end(), m) != excluded.end();
}

Choice Blurred(Searcher& searcher, SearchBoard& board, const LevelProfile& profile,
               const SearchLimits& limits, std::mt19937& rng) {
    Choice c;
    const std::vector<RootMoveScore> scored =
        searcher.scoreRootMoves(board, profile.maxDepth, limits);
    if (scored.empty()) {
        // Stopped before the first move was scored: fall back to the plain search's ready move.
        SearchLimits quick = limits;
        quick.maxDepth = 1;
        const SearchResult r = searcher.search(board, quick);
        c.hasMove = r.hasMove;
        c.move = r.best;
        c.score = r.score;
        c.legalMoves = r.legalMoves;
        return c;
    }
    c.hasMove = true;
    c.score = scored.front().score;
    c.depth = profile.maxDepth;
    c.move = scored.front().move;
    std::uniform_int_distribution<int> percent(0, 99);
    if (percent(rng) < profile.randomPercent) {
        std::uniform_int_distribution<std::size_t> pick(0, scored.size() - 1);
        c.move = scored[pick(rng)].move;
        return c;
    }
    std::uniform_int_distribution<int> noise(-profile.noise, profile.noise);
    int best = -kInfinity * 2;
    for (const RootMoveScore& s : scored) {
        // A mate is a mate: noise only blurs ordinary judgements.
        const int blurred = isMateScore(s.score) ? s.score : s.score + noise(rng);
        if (blurred > best) {
            best = blurred;
            c.move = s.move;
        }
    }
    return c;
}

}  // namespace

Choice chooseMove(Searcher& searcher, SearchBoard& board, const LevelProfile& profile,
                  const MoveBudget& budget, std::mt19937& rng, const std::vector<Move>& excluded,
                  const std::atomic<bool>* stop) {
    Choice c;
    Move take;
    if (findKingCapture(board, take) && !Excluded(excluded, take)) {
        c.hasMove = true;
        c.move = take;
        c.score = kMate;
        c.legalMoves = 1;
        return c;
    }
    SearchLimits limits;
    limits.maxDepth = profile.maxDepth;
    limits.softMs = std::max(1, budget.softMs);
    limits.hardMs = std::max(1, budget.hardMs);
    limits.stop = stop;
    limits.excluded = excluded;
    if (profile.noise > 0 || profile.randomPercent > 0) {
        c = Blurred(searcher, board, profile, limits, rng);
        MoveList legal;
        Position probe = board.position();
        generateLegalMoves(probe, legal);
        c.legalMoves = legal.size();
        return c;
    }
    const SearchResult r = searcher.search(board, limits);
    c.hasMove = r.hasMove;
    c.move = r.best;
    c.score = r.score;
    c.depth = r.depth;
    c.legalMoves = r.legalMoves;
    c.nodes = r.nodes;
    return c;
}

}  // namespace xq::engine
