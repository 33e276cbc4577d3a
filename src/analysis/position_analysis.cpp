#include "analysis/position_analysis.h"

#include "analysis/analysis_text.h"

namespace xq::analysis {

PositionAnalysis::PositionAnalysis(QString enginePath, QObject* parent,
                                   uci::EngineProcess::Limits limits)
    : QObject(parent), enginePath_(std::move(enginePath)), engine_(limits, this) {
    throttle_.setSingleShot(true);
    throttle_.setInterval(200);
    connect(&throttle_, &QTimer::timeout, this, &PositionAnalysis::changed);
    engine_.setSettings({1, 64, 3, std::nullopt});
    connect(&engine_, &uci::EngineProcess::ready, this, [this] {
        view_.engine = engine_.engineName();
        if (on_) {
            view_.status = AnalysisView::Status::Thinking;
            view_.statusText = QStringLiteral("分析中");
        }
        update();
    });
    connect(&engine_, &uci::EngineProcess::thinking, this, &PositionAnalysis::onLine);
    connect(&engine_, &uci::EngineProcess::bestMove, this, [this](std::optional<Move> m) {
        // An endless search ends only when stopped, or when there is nothing to search.
        if (!m && on_ && view_.status != AnalysisView::Status::Unavailable) {
            view_.status = AnalysisView::Status::NoMove;
            view_.statusText = QStringLiteral("此局面无着可走");
            update();
        }
    });
    connect(&engine_, &uci::EngineProcess::trouble, this,
            [this](uci::EngineProcess::Trouble what, const QString&) {
                if (what == uci::EngineProcess::Trouble::IllegalMove) return;
                view_.statusText = QStringLiteral("引擎出错，正在重新启动");
                update();
            });
    connect(&engine_, &uci::EngineProcess::gaveUp, this, [this] {
        view_.status = AnalysisView::Status::Unavailable;
        view_.statusText = QStringLiteral("引擎无法使用，请在设置中检查引擎程序");
        view_.lines = {};
        emit changed();
    });
}

void PositionAnalysis::setEnginePath(const QString& program) {
    if (program == enginePath_) return;
    enginePath_ = program;
    const bool wasOn = on_;
    if (started_) engine_.shutDown();
    started_ = false;
    on_ = false;
    view_ = AnalysisView{};
    if (wasOn) setOn(true);
}

void PositionAnalysis::setOn(bool on) {
    if (on == on_) return;
    on_ = on;
    if (!on) {
        engine_.stopSearch();
        view_ = AnalysisView{AnalysisView::Status::Off, {}, view_.engine, 0, {}, {}};
        emit changed();
        return;
    }
    if (enginePath_.isEmpty()) {
        view_.status = AnalysisView::Status::Unavailable;
        view_.statusText =
            QStringLiteral("没有可用的分析引擎（请安装 fairy-stockfish，或在设置中选择引擎）");
        emit changed();
        return;
    }
    if (!started_) {
        started_ = true;
        view_.status = AnalysisView::Status::Starting;
        view_.statusText = QStringLiteral("正在启动引擎");
        engine_.start(enginePath_);
    }
    think();
}

void PositionAnalysis::show(const Position& start, const std::vector<Move>& moves) {
    start_ = start;
    moves_ = moves;
    if (on_) think();
}

void PositionAnalysis::think() {
    if (engine_.state() == uci::EngineProcess::State::GivenUp) return;
    shown_ = start_;
    for (const Move m : moves_)
        shown_.makeMove(m);
    view_.lines = {};
    view_.depth = 0;
    view_.speed.clear();
    if (view_.status != AnalysisView::Status::Starting) {
        view_.status = AnalysisView::Status::Thinking;
        view_.statusText = QStringLiteral("分析中");
    }
    uci::SearchRequest r;
    r.start = start_;
    r.moves = moves_;
    r.limit = uci::SearchRequest::Limit::Infinite;
    if (!engine_.search(r)) {
        view_.status = AnalysisView::Status::Unavailable;
        view_.statusText = QStringLiteral("这个局面无法分析");
    }
    emit changed();
}

void PositionAnalysis::onLine(const uci::SearchLine& line) {
    if (!on_ || line.multiPv < 1 || line.multiPv > 3 || !line.score || line.pv.empty()) return;
    AnalysisLine shown;
    shown.score = scoreText(*line.score, shown_.sideToMove());
    shown.redCentipawns = redCentipawns(*line.score, shown_.sideToMove());
    shown.moves = movesText(shown_, line.pv);
    shown.pv = line.pv;
    view_.lines[static_cast<std::size_t>(line.multiPv - 1)] = shown;
    if (line.multiPv == 1) {
        view_.depth = line.depth;
        view_.speed = speedText(line.nps);
    }
    view_.status = AnalysisView::Status::Thinking;
    view_.statusText = QStringLiteral("分析中");
    update();
}

void PositionAnalysis::update() {
    if (!throttle_.isActive()) throttle_.start();
}

}  // namespace xq::analysis
