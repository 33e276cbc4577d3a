#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <optional>
#include <vector>

#include "rules/position.h"
#include "uci/engine_process.h"

namespace xq::analysis {

struct AnalysisLine {
    QString score;  // as analysis_text.h writes it
    int redCentipawns = 0;
    QString moves;  // in Chinese notation
    std::vector<Move> pv;
};

// What the analysis of the shown position has to say, ready to be shown.
struct AnalysisView {
    enum class Status { Off, Starting, Thinking, NoMove, Unavailable };
    Status status = Status::Off;
    QString statusText;  // a line for the user, in Chinese
    QString engine;      // the engine's name
    int depth = 0;
    QString speed;
    std::array<std::optional<AnalysisLine>, 3> lines;  // the best three, best first
};

// An engine thinking about one position at a time, without end, its best three lines kept. The
// engine starts the first time analysis is switched on and is kept for the next position; what
// it says is passed on at most five times a second.
class PositionAnalysis : public QObject {
    Q_OBJECT
public:
    explicit PositionAnalysis(QString enginePath, QObject* parent = nullptr,
                              uci::EngineProcess::Limits limits = {});

    // Another engine: the one running is ended, and the new one starts when analysis is on.
    void setEnginePath(const QString& program);
    void setOn(bool on);
    bool on() const { return on_; }
    // The position to think about: the moves played from the start.
    void show(const Position& start, const std::vector<Move>& moves);
    const AnalysisView& view() const { return view_; }

signals:
    void changed();

private:
    void think();
    void onLine(const uci::SearchLine& line);
    void update();

    QString enginePath_;
    uci::EngineProcess engine_;
    QTimer throttle_;
    bool on_ = false;
    bool started_ = false;
    Position start_ = Position::Initial();
    std::vector<Move> moves_;
    Position shown_ = Position::Initial();
    AnalysisView view_;
};

}  // namespace xq::analysis
