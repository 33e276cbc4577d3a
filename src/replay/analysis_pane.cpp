#include "replay/analysis_pane.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <algorithm>

#include <QVBoxLayout>
#include "prefs/engine_choice.h"
#include "rules/fen.h"

namespace xq {

AnalysisPane::AnalysisPane(QString enginePath, QWidget* parent)
    : QWidget(parent),
      analysis_(enginePath, this),
      game_(enginePath, this),
      toggle_(new QCheckBox(QStringLiteral("分析"), this)),
      summary_(new QLabel(this)),
      progress_(new QProgressBar(this)),
      time_(new QComboBox(this)),
      whole_(new QPushButton(QStringLiteral("全局分析"), this)),
      choose_(new QPushButton(QStringLiteral("引擎…"), this)),
      lines_(new QListWidget(this)),
      graph_(new ScoreGraph(this)) {
    progress_->setFixedWidth(140);
    progress_->setFormat(QStringLiteral("%v/%m"));
    progress_->hide();
    const struct {
        const char16_t* caption;
        int ms;
    } times[] = {
        {u"每步 0.2 秒", 200}, {u"每步 0.5 秒", 500}, {u"每步 1 秒", 1000}, {u"每步 3 秒", 3000}};
    for (const auto& t : times)
        time_->addItem(QString::fromUtf16(t.caption), t.ms);
    time_->setCurrentIndex(1);
    time_->setToolTip(QStringLiteral("全局分析时，引擎在每个局面上思考的时间"));
    whole_->setToolTip(QStringLiteral("用引擎逐步分析整局棋，画出形势图并标出失误"));
    graph_->setFixedWidth(240);
    choose_->setToolTip(QStringLiteral("选择分析用的 UCI 引擎程序（默认 Fairy-Stockfish）"));
    askProgram = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("选择分析引擎"),
                                            QStringLiteral("/usr/games"));
    };
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
    top->addWidget(progress_);
    top->addWidget(time_);
    top->addWidget(whole_);
    top->addWidget(choose_);
    auto* below = new QHBoxLayout;
    below->setContentsMargins(0, 0, 0, 0);
    below->addWidget(lines_, 1);
    below->addWidget(graph_);
    auto* all = new QVBoxLayout(this);
    all->setContentsMargins(0, 0, 0, 0);
    all->setSpacing(2);
    all->addLayout(top);
    all->addLayout(below, 1);
    setFixedHeight(kHeight);

    connect(whole_, &QPushButton::clicked, this, &AnalysisPane::toggleWholeGame);
    connect(choose_, &QPushButton::clicked, this, &AnalysisPane::chooseEngine);
    connect(graph_, &ScoreGraph::positionChosen, this, &AnalysisPane::stepChosen);
    connect(&game_, &analysis::GameAnalysis::progress, this, [this](int done, int total) {
        progress_->setMaximum(total);
        progress_->setValue(done);
        std::vector<int> partial = game_.redScores();
        graph_->setScores(std::move(partial));
    });
    connect(&game_, &analysis::GameAnalysis::finished, this, [this] {
        progress_->hide();
        whole_->setText(QStringLiteral("全局分析"));
        graph_->setScores(game_.redScores());
        const auto& judged = game_.judgements();
        const auto count = [&](analysis::Judgement j) {
            return std::count(judged.begin(), judged.end(), j);
        };
        wholeGameNote_ = QStringLiteral("全局分析完成：失误 %1 步，严重失误 %2 步")
                             .arg(count(analysis::Judgement::Mistake))
                             .arg(count(analysis::Judgement::Blunder));
        emit gameJudged(judged);
        refresh();
    });
    connect(&game_, &analysis::GameAnalysis::abandoned, this, [this](const QString& why) {
        progress_->hide();
        whole_->setText(QStringLiteral("全局分析"));
        wholeGameNote_ = why;
        refresh();
    });

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

void AnalysisPane::setGame(const Position& start, const std::vector<Move>& moves) {
    if (graph_->scores().empty() && !game_.running()) return;
    if (moves == graphedMoves_ && toFen(start) == graphedStart_) return;
    game_.stop();
    graph_->setScores({});
    wholeGameNote_.clear();
    refresh();
}

void AnalysisPane::chooseEngine() {
    const QString program = askProgram ? askProgram() : QString();
    if (program.isEmpty()) return;
    const QFileInfo file(program);
    if (!file.isFile() || !file.isExecutable()) {
        wholeGameNote_ = QStringLiteral("%1 不是可以运行的程序").arg(program);
        refresh();
        return;
    }
    setAnalysisEngine(file.absoluteFilePath());
    useEngine(file.absoluteFilePath());
    wholeGameNote_ = QStringLiteral("分析引擎：%1").arg(file.absoluteFilePath());
    refresh();
}

void AnalysisPane::useEngine(const QString& program) {
    analysis_.setEnginePath(program);
    game_.setEnginePath(program);
}

void AnalysisPane::toggleWholeGame() {
    if (game_.running()) {
        game_.stop();
        return;
    }
    checkLock();
    if (!whole_->isEnabled() || !wholeGame) return;
    Position start = Position::Initial();
    std::vector<Move> moves;
    wholeGame(start, moves);
    graphedStart_ = toFen(start);
    graphedMoves_ = moves;
    wholeGameNote_.clear();
    graph_->setScores({});
    if (!game_.start(start, moves, time_->currentData().toInt())) {
        wholeGameNote_ =
            QStringLiteral("没有可用的分析引擎（请安装 fairy-stockfish，或在设置中选择引擎）");
        refresh();
        return;
    }
    progress_->setRange(0, static_cast<int>(moves.size()) + 1);
    progress_->setValue(0);
    progress_->show();
    whole_->setText(QStringLiteral("停止"));
    refresh();
}

void AnalysisPane::checkLock() {
    const QString why = lockReason ? lockReason() : QString();
    toggle_->setEnabled(why.isEmpty());
    toggle_->setToolTip(why.isEmpty() ? QStringLiteral("用引擎分析棋盘上的局面") : why);
    whole_->setEnabled(why.isEmpty());
    if (!why.isEmpty() && toggle_->isChecked()) {
        const QSignalBlocker quiet(toggle_);
        toggle_->setChecked(false);
        analysis_.setOn(false);
    }
    if (!why.isEmpty() && game_.running()) game_.stop();
    refresh();
}

void AnalysisPane::refresh() {
    const analysis::AnalysisView& v = analysis_.view();
    const QString why = lockReason ? lockReason() : QString();
    QString text;
    if (!why.isEmpty()) {
        text = why;
    } else if (v.status == analysis::AnalysisView::Status::Off) {
        text = game_.running()             ? QStringLiteral("全局分析中")
               : !wholeGameNote_.isEmpty() ? wholeGameNote_
                                           : QStringLiteral("打开“分析”，由引擎分析当前局面");
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
