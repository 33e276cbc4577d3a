#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "analysis/game_analysis.h"
#include "analysis/position_analysis.h"
#include "replay/score_graph.h"

namespace xq {

// The replay window's engine analysis: the 分析 switch, what the engine sees in the shown
// position (score from red's side, depth, speed) and its best three lines, each of which a click
// plays on the board; and 全局分析, which goes through the whole game at a set time a position,
// with its progress, a stop, and then a graph of the scores and the moves judged. Whoever is
// playing a game at the table gets no engine while it runs: the switches are then off, and say
// why.
class AnalysisPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 100;

    AnalysisPane(QString enginePath, QWidget* parent = nullptr);

    // Why the engine may not be used now; empty when it may. Asked every second and whenever
    // the switch is turned on.
    std::function<QString()> lockReason;

    // Asks for an engine program (the 引擎… button); empty: none chosen. Tests replace it.
    std::function<QString()> askProgram;

    // The game the whole-game analysis goes through: its start and all its moves.
    std::function<void(Position& start, std::vector<Move>& moves)> wholeGame;

    void show(const Position& start, const std::vector<Move>& moves);
    // The position shown, after `step` moves, marked on the graph.
    void setStep(int step) { graph_->setCurrent(step); }
    // The game shown now: a graph of another game is taken away.
    void setGame(const Position& start, const std::vector<Move>& moves);
    void useEngine(const QString& program);
    QPushButton& wholeGameButton() { return *whole_; }
    QPushButton& engineButton() { return *choose_; }
    QComboBox& timeBox() { return *time_; }
    QProgressBar& progress() { return *progress_; }
    ScoreGraph& graph() { return *graph_; }
    analysis::GameAnalysis& gameAnalysis() { return game_; }
    QCheckBox& toggle() { return *toggle_; }
    QListWidget& lines() { return *lines_; }
    QLabel& summary() { return *summary_; }
    analysis::PositionAnalysis& analysis() { return analysis_; }

signals:
    // A line was clicked: its moves from the shown position.
    void lineChosen(const std::vector<xq::Move>& moves);
    // The whole game was judged, a judgement for each move.
    void gameJudged(const std::vector<xq::analysis::Judgement>& judgements);
    // The graph was clicked: the position after this many moves.
    void stepChosen(int step);

private:
    void refresh();
    void checkLock();
    void toggleWholeGame();
    void chooseEngine();

    analysis::PositionAnalysis analysis_;
    analysis::GameAnalysis game_;
    QCheckBox* toggle_;
    QLabel* summary_;
    QProgressBar* progress_;
    QComboBox* time_;
    QPushButton* whole_;
    QPushButton* choose_;
    QListWidget* lines_;
    ScoreGraph* graph_;
    QString wholeGameNote_;     // how the last whole-game analysis ended
    std::string graphedStart_;  // the game the graph is of: its start (FEN) and moves
    std::vector<Move> graphedMoves_;
    QTimer lockPoll_;
    std::vector<std::vector<Move>> shownLines_;
};

}  // namespace xq
