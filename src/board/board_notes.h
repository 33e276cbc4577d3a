#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <utility>
#include <vector>

class QPainter;
class QWidget;

namespace xq {

struct BoardGeometry;

// What the board tells the user beside the pieces: the points the picked-up piece may go to,
// why a move was refused (for a moment), and the king in check (for a moment). Drawn over the
// board by its view; every change asks the view to repaint.
class BoardNotes : public QObject {
    Q_OBJECT

public:
    explicit BoardNotes(QWidget& view);

    void setHints(std::vector<std::pair<int, int>> cells);
    void showReason(const QString& text);
    void markCheck(int row, int col);
    void clearCheck();
    void clear();

    const std::vector<std::pair<int, int>>& hints() const { return hints_; }
    const QString& reason() const { return reason_; }
    bool checkShown() const { return checkShown_; }
    std::pair<int, int> checkCell() const { return checkCell_; }

    // Display points whose cell holds a piece get a ring, empty points a dot.
    void paint(QPainter& p, const BoardGeometry& g, const std::vector<bool>& occupied) const;

    static constexpr int kReasonMs = 2500;
    static constexpr int kCheckMs = 1500;

private:
    QWidget& view_;
    std::vector<std::pair<int, int>> hints_;
    QString reason_;
    QTimer reasonTimer_;
    bool checkShown_ = false;
    std::pair<int, int> checkCell_{0, 0};
    QTimer checkTimer_;
};

}  // namespace xq
