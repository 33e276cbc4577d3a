#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

#include "engine/move_order.h"
#include "engine/search_board.h"
#include "engine/transposition_table.h"

namespace xq::engine {

struct SearchLimits {
    int maxDepth = 64;
    // After this the search starts no new iteration; 0: no limit.
    int softMs = 0;
    // The search stops wherever it is; 0: no limit.
    int hardMs = 0;
    std::uint64_t maxNodes = 0;  // 0: no limit
    // Set from another thread to stop the search early.
    const std::atomic<bool>* stop = nullptr;
    // Root moves not to play (the server refused them).
    std::vector<Move> excluded;
};

struct SearchResult {
    bool hasMove = false;
    Move best;
    int score = 0;  // for the side to move at the root
    int depth = 0;  // the deepest iteration that finished (or improved on the last one)
    int legalMoves = 0;
    std::uint64_t nodes = 0;
    std::vector<Move> pv;
    std::chrono::milliseconds elapsed{0};
};

struct RootMoveScore {
    Move move;
    int score = 0;
};

// Iterative deepening alpha-beta (principal variation search with aspiration windows) over
// legal moves, with a quiescence search of captures, check extension, null moves, late move
// reductions and a transposition table. One searcher serves one thread at a time; its table and
// move statistics carry over from one search to the next.
class Searcher {
public:
    explicit Searcher(std::size_t tableMegabytes = 16);

    SearchResult search(SearchBoard& board, const SearchLimits& limits);

    // Full-window scores of every legal root move at a fixed depth, best first: the weaker
    // levels pick among them with some noise. Stops early like search(); moves not reached then
    // are left out.
    std::vector<RootMoveScore> scoreRootMoves(SearchBoard& board, int depth,
                                              const SearchLimits& limits);

    // Forgets everything learned (a new game).
    void clear();

private:
    struct RootMove {
        Move move;
        int score = 0;
    };

    void begin(const SearchLimits& limits);
    bool timeUp();
    std::vector<RootMove> rootMoves(SearchBoard& board, const std::vector<Move>& excluded);
    int searchRoot(SearchBoard& board, int depth, int alpha, int beta, std::vector<RootMove>& root);
    int negamax(SearchBoard& board, int depth, int alpha, int beta, int ply, bool nullAllowed);
    int quiesce(SearchBoard& board, int alpha, int beta, int ply);
    std::vector<Move> principalVariation(SearchBoard& board, int maxLength);
    std::chrono::milliseconds elapsed() const;

    TranspositionTable table_;
    OrderingTables ordering_;
    std::chrono::steady_clock::time_point start_;
    int hardMs_ = 0;
    std::uint64_t maxNodes_ = 0;
    const std::atomic<bool>* stop_ = nullptr;
    std::uint64_t nodes_ = 0;
    bool aborted_ = false;
    // The best root move of the running iteration, once one has been searched to the end.
    Move iterationBest_;
    int iterationScore_ = 0;
    bool iterationHasBest_ = false;
};

}  // namespace xq::engine
