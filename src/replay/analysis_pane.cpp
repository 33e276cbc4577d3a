#include "replay/analysis_pane.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace xq {

AnalysisPane::AnalysisPane(QString enginePath, QWidget* parent)
    : QWidget(parent),
      analysis_(std::move(enginePath), this),
      toggle_(new QCheckBox(QStringLiteral("分析"), this)),
      summary_(new QLabel(this)),
      lines_(new QListWidget(this)) {
    toggle_->setToolTip(QStringLiteral("用引擎分析棋盘上的局面"));
    lines_->setToolTip(QStringLiteral("单击一行，在棋盘上摆出这路变化"));
    lines_->setAccessibleName(QStringLiteral("引擎变化"));
    // A long line is cut at the pane's edge rather than scrolled to.
    lines_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lines_->setTextElideMode(Qt::ElideRight);
    lines_->setUniformItemSizes(true);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(toggle_);
    top->addWidget(summary_, 1);
    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(0, 0, 0, 0);
    all->setSpacing(2);
    all->addLayout(top);
    all->addWidget(lines_, 1);
    setFixedHeight(kHeight);

    connect(toggle_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) checkLock();
        analysis_.setOn(toggle_->isChecked());
        refresh();
    });
    connect(&analysis_, &analysis::PositionAnalysis::changed, this, &AnalysisPane::refresh);
    connect(lines_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = lines_->row(item);
        if (row >= 0 && row < static_cast<int>(shownLines_.size()))
            emit lineChosen(shownLines_[static_cast<std::size_t>(row)]);
    });
    lockPoll_.setInterval(1000);
    connect(&lockPoll_, &QTimer::timeout, this, &AnalysisPane::checkLock);
    lockPoll_.start();
    refresh();
}

void AnalysisPane::show(const Position& start, const std::vector<Move>& moves) {
    analysis_.show(start, moves);
}

void AnalysisPane::checkLock() {
    const QString why = lockReason ? lockReason() : QString();
    toggle_->setEnabled(why.isEmpty());
    toggle_->setToolTip(why.isEmpty() ? QStringLiteral("用引擎分析棋盘上的局面") : why);
    if (!why.isEmpty() && toggle_->isChecked()) {
        const QSignalBlocker quiet(toggle_);
        toggle_->setChecked(false);
        analysis_.setOn(false);
    }
    refresh();
}

void AnalysisPane::refresh() {
    const analysis::AnalysisView& v = analysis_.view();
    const QString why = lockReason ? lockReason() : QString();
    QString text;
    if (!why.isEmpty()) {
        text = why;
    } else if (v.status == analysis::AnalysisView::Status::Off) {
        text = QStringLiteral("打开“分析”，由引擎分析当前局面");
    } else if (v.status == analysis::AnalysisView::Status::Thinking && v.depth > 0) {
        text = QStringLiteral("%1  深度 %2  速度 %3  %4")
                   .arg(v.lines[0] ? v.lines[0]->score : QString())
                   .arg(v.depth)
                   .arg(v.speed, v.engine);
    } else {
        text = v.statusText;
    }
    summary_->setText(text);
    lines_->clear();
    shownLines_.clear();
    for (const auto& line : v.lines) {
        if (!line) continue;
        lines_->addItem(QStringLiteral("%1  %2").arg(line->score, line->moves));
        shownLines_.push_back(line->pv);
    }
}

}  // namespace xq
