#pragma once

#include <QObject>
#include <vector>

#include "analysis/move_judgement.h"
#include "rules/position.h"
#include "uci/engine_process.h"

namespace xq::analysis {

// A whole game gone through by an engine, a set time for each position: the score of every
// position from red's side and a judgement of every move. Runs in the background; progress is
// told as it goes, and it can be stopped.
class GameAnalysis : public QObject {
    Q_OBJECT
public:
    explicit GameAnalysis(QString enginePath, QObject* parent = nullptr,
                          uci::EngineProcess::Limits limits = {});

    void setEnginePath(const QString& program);
    // Starts from the first position; false when there is no engine or the moves do not follow.
    bool start(const Position& start, const std::vector<Move>& moves, int msPerPosition);
    void stop();
    bool running() const { return running_; }

    // Of the last run, complete or not.
    const std::vector<int>& redScores() const { return scores_; }
    const std::vector<Judgement>& judgements() const { return judged_; }

signals:
    void progress(int done, int total);
    // The whole game has been analysed.
    void finished();
    // It ended early: stopped, or the engine could not be used (`why`, in Chinese).
    void abandoned(const QString& why);

private:
    void next();
    void onBest(std::optional<Move> move);

    QString enginePath_;
    uci::EngineProcess engine_;
    bool started_ = false;
    bool running_ = false;
    Position start_ = Position::Initial();
    std::vector<Move> moves_;
    int ms_ = 500;
    std::size_t at_ = 0;  // the position being searched: after at_ moves
    std::optional<uci::Score> lastScore_;
    int sideToMove_ = kRed;
    std::vector<int> scores_;
    std::vector<Judgement> judged_;
};

}  // namespace xq::analysis
