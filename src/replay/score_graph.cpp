#include "replay/score_graph.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace xq {

ScoreGraph::ScoreGraph(QWidget* parent) : QWidget(parent) {
    setToolTip(QStringLiteral("全局分析的形势图：中线以上红方占优，以下黑方占优；单击跳到那一步"));
}

void ScoreGraph::setScores(std::vector<int> redScores) {
    scores_ = std::move(redScores);
    update();
}

void ScoreGraph::setCurrent(int position) {
    current_ = position;
    update();
}

double ScoreGraph::xOf(int position) const {
    const int n = static_cast<int>(scores_.size());
    if (n <= 1) return width() / 2.0;
    return 2 + (width() - 4) * static_cast<double>(position) / (n - 1);
}

int ScoreGraph::positionAt(int x) const {
    const int n = static_cast<int>(scores_.size());
    if (n == 0) return -1;
    if (n == 1) return 0;
    const double at = (x - 2) * static_cast<double>(n - 1) / std::max(1, width() - 4);
    return std::clamp(static_cast<int>(std::lround(at)), 0, n - 1);
}

void ScoreGraph::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(250, 246, 236));
    p.setPen(QColor(170, 160, 140));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const double mid = height() / 2.0;
    p.drawLine(QPointF(1, mid), QPointF(width() - 1, mid));
    if (scores_.empty()) {
        p.setPen(QColor(120, 110, 100));
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("全局分析后在此显示形势图"));
        return;
    }
    const auto yOf = [&](int score) {
        const int kept = std::clamp(score, -kRange, kRange);
        return mid - (mid - 2) * kept / static_cast<double>(kRange);
    };
    QPainterPath line;
    for (std::size_t k = 0; k < scores_.size(); ++k) {
        const QPointF at(xOf(static_cast<int>(k)), yOf(scores_[k]));
        if (k == 0) {
            line.moveTo(at);
        } else {
            line.lineTo(at);
        }
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(190, 30, 30), 1.5));
    p.drawPath(line);
    if (current_ >= 0 && current_ < static_cast<int>(scores_.size())) {
        p.setPen(QPen(QColor(30, 60, 160), 1));
        p.drawLine(QPointF(xOf(current_), 1), QPointF(xOf(current_), height() - 1));
    }
}

void ScoreGraph::mousePressEvent(QMouseEvent* event) {
    const int at = positionAt(event->position().toPoint().x());
    if (at >= 0 && event->button() == Qt::LeftButton) emit positionChosen(at);
}

}  // namespace xq
