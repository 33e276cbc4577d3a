#include "server/bot/engine_mover.h"

#include <QTimer>
#include <algorithm>

#include "engine/score.h"
#include "rules/movegen.h"

namespace xq::server {
namespace {

// A UCI score from the side to move, on the built-in search's scale (its resignation and draw
// rules read it).
int builtInScore(const uci::Score& s) {
    if (s.kind == uci::Score::Centipawns)
        return std::clamp(s.value, -engine::kMateBound, engine::kMateBound);
    // Mate in n moves is 2n - 1 plies away for the winner, 2n for the loser.
    const int plies = s.value > 0 ? 2 * s.value - 1 : -2 * s.value;
    return s.value > 0 ? engine::kMate - plies : -(engine::kMate - plies);
}

bool hasLegalMove(const std::vector<Move>& moves) {
    Position p = Position::Initial();
    for (const Move m : moves)
        p.makeMove(m);
    MoveList legal;
    generateLegalMoves(p, legal);
    return legal.size() > 0;
}

}  // namespace

EngineLevel engineLevel(int level) {
    static constexpr EngineLevel levels[] = {{-9, 300}, {-4, 500},  {2, 700},
                                             {9, 1000}, {15, 1500}, {20, 3000}};
    return levels[std::clamp(level, 1, kMaxEngineLevel) - 1];
}

EngineMover::EngineMover(QObject* /*context*/, const QString& program, int level,
                         std::size_t tableMegabytes, std::uint32_t seed, LogSink log)
    : engine_(this), fallback_(this, tableMegabytes, seed), log_(std::move(log)) {
    const EngineLevel strength = engineLevel(level);
    engine_.setSettings({1, 64, 1, strength.skill});
    connect(&engine_, &uci::EngineProcess::ready, this, [this] {
        log_(QStringLiteral("the computer opponent plays with %1").arg(engine_.engineName()));
    });
    connect(&engine_, &uci::EngineProcess::thinking, this, [this](const uci::SearchLine& l) {
        if (l.multiPv == 1) last_ = l;
    });
    connect(&engine_, &uci::EngineProcess::bestMove, this, &EngineMover::onBestMove);
    connect(&engine_, &uci::EngineProcess::trouble, this,
            [this](uci::EngineProcess::Trouble, const QString& detail) {
                log_(QStringLiteral("the computer opponent's engine: %1").arg(detail));
            });
    connect(&engine_, &uci::EngineProcess::gaveUp, this, [this] {
        givenUp_ = true;
        log_(
            QStringLiteral("the computer opponent's engine is given up; it plays with its own "
                           "search from now on"));
        // The question it was asked goes to the built-in search.
        if (job_ && done_) fallback_.start(*std::exchange(job_, std::nullopt), done_);
    });
    engine_.start(program);
}

EngineMover::~EngineMover() {
    fallback_.cancel();
    engine_.shutDown();
}

void EngineMover::start(SearchJob job, Done done) {
    if (givenUp_) {
        fallback_.start(std::move(job), std::move(done));
        return;
    }
    uci::SearchRequest r;
    r.moves = job.moves;
    r.newGame = job.newGame;
    // Its time, less a little for the way back.
    r.amount = std::max(20, std::min(job.budget.hardMs, job.budget.latestMs) - 50);
    if (!job.excluded.empty()) {
        Position p = Position::Initial();
        for (const Move m : job.moves)
            p.makeMove(m);
        MoveList legal;
        generateLegalMoves(p, legal);
        for (const Move m : legal) {
            if (std::find(job.excluded.begin(), job.excluded.end(), m) == job.excluded.end())
                r.onlyMoves.push_back(m);
        }
        if (r.onlyMoves.empty()) {
            QTimer::singleShot(0, this, [done] { done(engine::Choice{}); });
            return;
        }
    }
    last_.reset();
    job_ = job;
    done_ = std::move(done);
    if (!engine_.search(r)) {
        // Moves the engine cannot be shown (or an engine given up meanwhile): the search here.
        job_.reset();
        fallback_.start(std::move(job), std::exchange(done_, nullptr));
    }
}

void EngineMover::cancel() {
    fallback_.cancel();
    if (!givenUp_) engine_.stopSearch();
}

void EngineMover::onBestMove(std::optional<Move> move) {
    if (!done_) return;
    if (!move && job_ && hasLegalMove(job_->moves)) {
        // The engine named no move it could make (told as trouble): the search here answers.
        fallback_.start(*std::exchange(job_, std::nullopt), std::exchange(done_, nullptr));
        return;
    }
    engine::Choice c;
    c.hasMove = move.has_value();
    if (move) c.move = *move;
    if (last_) {
        if (last_->score) c.score = builtInScore(*last_->score);
        c.depth = last_->depth;
        c.nodes = static_cast<std::uint64_t>(std::max(0LL, last_->nodes));
    }
    job_.reset();
    const Done done = std::exchange(done_, nullptr);
    done(c);
}

}  // namespace xq::server
