#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "analysis/position_analysis.h"

namespace xq {

// The replay window's engine analysis: the 分析 switch, what the engine sees in the shown
// position (score from red's side, depth, speed) and its best three lines, each of which a click
// plays on the board. Whoever is playing a game at the table gets no engine while it runs: the
// switch is then off, and says why.
class AnalysisPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 92;

    AnalysisPane(QString enginePath, QWidget* parent = nullptr);

    // Why the engine may not be used now; empty when it may. Asked every second and whenever
    // the switch is turned on.
    std::function<QString()> lockReason;

    void show(const Position& start, const std::vector<Move>& moves);
    void useEngine(const QString& program) { analysis_.setEnginePath(program); }
    QCheckBox& toggle() { return *toggle_; }
    QListWidget& lines() { return *lines_; }
    QLabel& summary() { return *summary_; }
    analysis::PositionAnalysis& analysis() { return analysis_; }

signals:
    // A line was clicked: its moves from the shown position.
    void lineChosen(const std::vector<xq::Move>& moves);

private:
    void refresh();
    void checkLock();

    analysis::PositionAnalysis analysis_;
    QCheckBox* toggle_;
    QLabel* summary_;
    QListWidget* lines_;
    QTimer lockPoll_;
    std::vector<std::vector<Move>> shownLines_;
};

}  // namespace xq
