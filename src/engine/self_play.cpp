#include "engine/self_play.h"

#include <chrono>
#include <map>
#include <memory>
#include <random>

#include "engine/move_choice.h"
#include "engine/score.h"
#include "rules/legality.h"

namespace xq::engine {
namespace {

bool isLegal(const Position& pos, Move m) {
    Position probe = pos;
    MoveList legal;
    generateLegalMoves(probe, legal);
    bool listed = false;
    for (Move l : legal)
        listed = listed || l == m;
    // The table judges with its own rule routine: the move must pass that as well.
    QiPan board = pos.toQiPan();
    return listed && CanMoveQiZi(board, rankOfSquare(m.from), fileOfSquare(m.from),
                                 rankOfSquare(m.to), fileOfSquare(m.to));
}

Winner sideWins(int side) {
    return side == kRed ? Winner::Red : Winner::Black;
}

}  // namespace

SelfPlayGame playSelfGame(const SelfPlayer& red, const SelfPlayer& black,
                          const SelfPlayOptions& options) {
    SelfPlayGame game;
    std::mt19937 rng(options.seed);
    std::array<std::unique_ptr<Searcher>, 2> searchers;
    searchers[kRed] = std::make_unique<Searcher>(red.tableMegabytes);
    searchers[kBlack] = std::make_unique<Searcher>(black.tableMegabytes);
    std::array<int, 2> bank{0, 0};
    SearchBoard board(Position::Initial());
    std::map<std::uint64_t, int> seen{{board.key(), 1}};

    for (game.plies = 0; game.plies < options.maxPlies; ++game.plies) {
        const int side = board.sideToMove();
        const SelfPlayer& player = side == kRed ? red : black;
        Position probe = board.position();
        MoveList legal;
        generateLegalMoves(probe, legal);
        if (legal.empty()) {
            game.winner = sideWins(Opponent(side));
            game.reason = "no legal move";
            return game;
        }
        const ClockState clock{bank[static_cast<std::size_t>(side)], options.bankLimitSeconds,
                               options.stepAllowanceSeconds};
        const MoveBudget budget = planMove(clock, player.profile.capMs);
        const auto t0 = std::chrono::steady_clock::now();
        const Choice choice = chooseMove(*searchers[static_cast<std::size_t>(side)], board,
                                         player.profile, budget, rng);
        const std::int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now() - t0)
                                    .count();
        game.longestMoveMs = std::max(game.longestMoveMs, ms);
        game.worstLatenessMs = std::max(game.worstLatenessMs, ms - budget.hardMs);
        if (ms >= msBeforeLoss(clock)) ++game.timeOverruns;
        bank[static_cast<std::size_t>(side)] += chargedSeconds(ms, options.stepAllowanceSeconds);
        if (bank[static_cast<std::size_t>(side)] > options.bankLimitSeconds) {
            game.winner = sideWins(Opponent(side));
            game.reason = "time";
            return game;
        }
        if (!choice.hasMove || !isLegal(board.position(), choice.move)) {
            ++game.illegalMoves;
            game.winner = sideWins(Opponent(side));
            game.reason = "illegal move";
            return game;
        }
        board.make(choice.move);
        game.moves.push_back(choice.move);
        if (++seen[board.key()] >= 3) {
            game.winner = Winner::Draw;
            game.reason = "repetition";
            ++game.plies;
            return game;
        }
    }
    // Judge what is left with a short search of its own.
    Searcher judge(1);
    SearchLimits limits;
    limits.maxDepth = 4;
    const SearchResult r = judge.search(board, limits);
    const int forRed = board.sideToMove() == kRed ? r.score : -r.score;
    game.reason = "adjudicated";
    if (forRed > options.adjudicateMargin) {
        game.winner = Winner::Red;
    } else if (forRed < -options.adjudicateMargin) {
        game.winner = Winner::Black;
    }
    return game;
}

}  // namespace xq::engine
