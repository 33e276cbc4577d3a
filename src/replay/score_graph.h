#pragma once

#include <QWidget>
#include <vector>

namespace xq {

// The scores of a game's positions from red's side as a line over the moves: above the middle
// red stands better, below black. Scores beyond ±kRange are drawn at the edge. A click picks a
// position.
class ScoreGraph : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRange = 1000;

    explicit ScoreGraph(QWidget* parent = nullptr);
    void setScores(std::vector<int> redScores);
    const std::vector<int>& scores() const { return scores_; }
    // The position shown on the board, marked on the graph (-1: none).
    void setCurrent(int position);
    // The position drawn at a point of the widget, -1 when there are none.
    int positionAt(int x) const;

signals:
    void positionChosen(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    double xOf(int position) const;

    std::vector<int> scores_;
    int current_ = -1;
};

}  // namespace xq
