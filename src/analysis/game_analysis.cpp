#include "analysis/game_analysis.h"

#include <algorithm>
#include "analysis/analysis_text.h"

#include "rules/movegen.h"

namespace xq::analysis {

GameAnalysis::GameAnalysis(QString enginePath, QObject* parent, uci::EngineProcess::Limits limits)
    : QObject(parent), enginePath_(std::move(enginePath)), engine_(limits, this) {
    engine_.setSettings({1, 64, 1, std::nullopt});
    connect(&engine_, &uci::EngineProcess::thinking, this, [this](const uci::SearchLine& l) {
        if (running_ && l.multiPv == 1 && l.score && !l.score->bound) lastScore_ = l.score;
    });
    connect(&engine_, &uci::EngineProcess::bestMove, this, &GameAnalysis::onBest);
    connect(&engine_, &uci::EngineProcess::gaveUp, this, [this] {
        if (!running_) return;
        running_ = false;
        emit abandoned(QStringLiteral("引擎无法使用，全局分析中止"));
    });
}

void GameAnalysis::setEnginePath(const QString& program) {
    if (program == enginePath_) return;
    stop();
    if (started_) engine_.shutDown();
    started_ = false;
    enginePath_ = program;
}

bool GameAnalysis::start(const Position& start, const std::vector<Move>& moves, int msPerPosition) {
    if (enginePath_.isEmpty()) return false;
    // A game's record may hold a move that leaves the mover's king attacked: the engine is
    // shown the game as far as it is legal.
    Position p = start;
    std::size_t legalMoves = 0;
    for (const Move m : moves) {
        MoveList legal;
        generateLegalMoves(p, legal);
        if (std::find(legal.begin(), legal.end(), m) == legal.end()) break;
        p.makeMove(m);
        ++legalMoves;
    }
    stop();
    start_ = start;
    moves_.assign(moves.begin(), moves.begin() + static_cast<std::ptrdiff_t>(legalMoves));
    ms_ = std::max(50, msPerPosition);
    scores_.clear();
    judged_.clear();
    at_ = 0;
    running_ = true;
    if (!started_ || engine_.state() == uci::EngineProcess::State::GivenUp) {
        started_ = true;
        engine_.start(enginePath_);
    }
    next();
    return running_;
}

void GameAnalysis::stop() {
    if (!running_) return;
    running_ = false;
    engine_.stopSearch();
    emit abandoned(QStringLiteral("全局分析已停止"));
}

void GameAnalysis::next() {
    Position p = start_;
    for (std::size_t k = 0; k < at_; ++k)
        p.makeMove(moves_[k]);
    sideToMove_ = p.sideToMove();
    lastScore_.reset();
    uci::SearchRequest r;
    r.start = start_;
    r.moves.assign(moves_.begin(), moves_.begin() + static_cast<std::ptrdiff_t>(at_));
    r.amount = ms_;
    if (!engine_.search(r)) {
        running_ = false;
        emit abandoned(QStringLiteral("这局棋无法分析"));
    }
}

void GameAnalysis::onBest(std::optional<Move> move) {
    if (!running_) return;
    int red = 0;
    if (lastScore_) {
        red = redCentipawns(*lastScore_, sideToMove_);
    } else if (!move) {
        // No move at all: the side to move is mated (a stalemate loses too in xiangqi).
        red = sideToMove_ == kRed ? -kMateCentipawns : kMateCentipawns;
    } else if (!scores_.empty()) {
        red = scores_.back();
    }
    scores_.push_back(red);
    emit progress(static_cast<int>(scores_.size()), static_cast<int>(moves_.size()) + 1);
    if (at_ >= moves_.size()) {
        running_ = false;
        judged_ = judgeMoves(scores_, start_.sideToMove() == kRed);
        emit finished();
        return;
    }
    ++at_;
    next();
}

}  // namespace xq::analysis
