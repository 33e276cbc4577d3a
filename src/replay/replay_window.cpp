#include "replay/replay_window.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QShortcut>
#include <algorithm>

#include "game/game_state.h"
#include "look/ui_font.h"
#include "prefs/engine_choice.h"
#include "prefs/user_settings.h"
#include "records/atomic_write.h"
#include "records/record_failure_text.h"
#include "records/record_file.h"
#include "records/record_format.h"
#include "records/record_load.h"
#include "rules/fen.h"
#include "startup/session.h"
#include "ui/plain_message.h"
#include "ui/record_file_dialog.h"

namespace xq {
namespace {

constexpr int kListLeft = 584;
constexpr int kListTop = 5;
constexpr int kListHeight = 300;
constexpr int kWidth = 790;
constexpr int kCommandGap = 48;  // from the list's bottom to the first command button
constexpr int kCommandHeight = 22;
constexpr int kNavLeft = 592;
constexpr int kNavPitch = 22;
constexpr int kNavGap = 14;  // from the list's bottom to the navigation buttons
constexpr int kBoardLeft = 93;
constexpr int kBoardWidth = 379;
constexpr int kRowGap = 8;  // from the last command button to the position row

constexpr std::uint8_t kReplayBoardStyle = 1;

const QString kDrakFilter = QStringLiteral("中国象棋文件(*.drak)");
const QString kPgnFilter = QStringLiteral("PGN 棋谱文件(*.pgn)");

}  // namespace

ReplayWindow::ReplayWindow(const Session& session, GameState& game, UserSettings& settings,
                           QWidget* parent)
    : QWidget(parent, Qt::Window),
      folder_(session.strAppPath),
      session_(session),
      model_(game.bteRedView),
      board_(new BoardView(this)),
      list_(new QListView(this)) {
    setWindowTitle(QStringLiteral("复盘"));
    setFont(paneFont());
    setMouseTracking(true);
    setAttribute(Qt::WA_DeleteOnClose);
    // The replay board keeps the classic board whatever the table shows; its pieces follow the
    // settings, and it may be turned round on its own.
    board_->setScene({&model_.showBoard(), &model_.shownRedView(), &kReplayBoardStyle,
                      &settings.bteQiZiStyle, &session.strAppPath});
    board_->setGeometry(93, 20, 379, 418);
    list_->setModel(&model_.list());
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setGeometry(kListLeft, kListTop, kWidth - kListLeft, kListHeight);
    skins_.setBase(session.strAppPath);

    const char16_t* captions[5] = {u"还 原", u"保 存", u"读 入", u"导出棋谱", u"关 闭"};
    const int top = kListTop + kListHeight + kCommandGap;
    for (int i = 0; i < 5; ++i) {
        auto* b = new CommandButton(this);
        b->setGeometry(kListLeft, top + i * kCommandHeight, list_->width(), kCommandHeight);
        const QString caption = QString::fromUtf16(captions[i]);
        b->setAccessibleName(caption);
        skins_.beginPass();
        const QImage* picture = skins_.image(QStringLiteral("Res\\FuPan_Cmd%1.bmp").arg(i));
        if (picture != nullptr) {
            b->setPicture(*picture);
        } else {
            b->setText(caption);
        }
        commands_[static_cast<std::size_t>(i)] = b;
        connect(b, &QPushButton::clicked, this, [this, i] { runCommand(i); });
    }
    const int rowTop = top + 5 * kCommandHeight + kRowGap;
    addPositionRow(rowTop);
    const int analysisTop = rowTop + kCommandHeight + kRowGap;
    analysis_ = new AnalysisPane(analysisEngine(), this);
    analysis_->setGeometry(8, analysisTop, kWidth - 16, AnalysisPane::kHeight);
    // A player gets no engine while his own game runs; spectators and finished games are free.
    analysis_->lockReason = [&session, &game] {
        return !session.blnLookOn && !game.blnNoGame
                   ? QStringLiteral("对局进行中，棋手不能使用引擎分析")
                   : QString();
    };
    connect(analysis_, &AnalysisPane::lineChosen, this, [this](const std::vector<Move>& moves) {
        {
            const QScopedValueRollback guard(listNav_, false);
            model_.play(moves);
        }
        sync();
    });
    analysis_->wholeGame = [this](Position& start, std::vector<Move>& moves) {
        start = model_.start();
        moves = model_.allMoves();
    };
    connect(analysis_, &AnalysisPane::gameJudged, this,
            [this](const std::vector<analysis::Judgement>& judged) {
                std::vector<QString> marks;
                for (const analysis::Judgement j : judged) {
                    marks.push_back(j == analysis::Judgement::Blunder   ? QStringLiteral("??")
                                    : j == analysis::Judgement::Mistake ? QStringLiteral("?")
                                                                        : QString());
                }
                model_.setMarks(marks);
            });
    connect(analysis_, &AnalysisPane::stepChosen, this, [this](int step) {
        {
            const QScopedValueRollback guard(listNav_, false);
            model_.goTo(step - 1);
        }
        sync();
    });
    setFixedSize(kWidth, analysisTop + AnalysisPane::kHeight + 8);

    connect(&model_.list(), &QiPuLineList::selectionChanged, list_, [this](int row) {
        const QScopedValueRollback guard(listNav_, false);
        if (row >= 0) {
            list_->setCurrentIndex(model_.list().index(row));
        } else {
            // The start position: no line stands for it.
            list_->selectionModel()->clear();
        }
    });
    // The keys step through the positions, the start before the first move included, which
    // the list alone could not reach.
    list_->installEventFilter(this);
    // Mouse, arrow keys, Home, End, Page Up and Down all end up here.
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ReplayWindow::followList);
    connect(board_, &BoardView::clicked, this, [this](bool left, int row, int col) {
        if (!left || row < 0 || col < 0) return;
        {
            const QScopedValueRollback guard(listNav_, false);
            model_.click(row, col);
        }
        sync();
    });
    play_.setInterval(1000);
    connect(&play_, &QTimer::timeout, this, &ReplayWindow::autoPlayTick);
    runBlink_.setInterval(300);
    selectBlink_.setInterval(300);
    connect(&runBlink_, &QTimer::timeout, this, [this] {
        const auto& m = model_.markers();
        board_->placeRunMarkers(m.fromRow, m.fromCol, m.toRow, m.toCol, runPhase_);
        runPhase_ = !runPhase_;
    });
    connect(&selectBlink_, &QTimer::timeout, this, [this] {
        const auto& m = model_.markers();
        board_->placeSelectMarker(m.selRow, m.selCol, selectPhase_);
        selectPhase_ = !selectPhase_;
    });

    askOverwrite = [this](const QString& path) {
        return askPlain(this, QStringLiteral("系统提示"),
                        path + QStringLiteral(" 已存在，是否覆盖？(Y/N)"));
    };
    askFileName = [this](const QString& title, bool forSave, const QString& filter) {
        QString suggestion;
        if (forSave) {
            // The record's own name when it came from a file, else the name the table gave it.
            const QString base = !model_.file().isEmpty()
                                     ? QFileInfo(model_.file()).completeBaseName()
                                 : !suggestedBase.isEmpty()
                                     ? suggestedBase
                                     : suggestedRecordBase({}, {}, QDateTime::currentDateTime());
            // The extension of the filter offered first.
            static const QRegularExpression pattern(QStringLiteral(R"(\*(\.\w+))"));
            const auto first = pattern.match(filter);
            suggestion = base + (first.hasMatch() ? first.captured(1) : QStringLiteral(".drak"));
        }
        return AskFileName(this, {title, filter, forSave, suggestion}, folder_);
    };
    tellFailure = [this](const QString& text) {
        warnPlain(this, QStringLiteral("系统提示"), text);
    };
    readClipboard = [] { return QGuiApplication::clipboard()->text(); };
    writeClipboard = [](const QString& text) { QGuiApplication::clipboard()->setText(text); };
}

// Below the commands, across the window: the FEN box under the board, the notation of PGN
// saves beside it, and paste, copy and flip under the command buttons.
void ReplayWindow::addPositionRow(int top) {
    auto* label = new QLabel(QStringLiteral("局面："), this);
    label->setGeometry(8, top, kBoardLeft - 8 - 4, kCommandHeight);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fenBox_ = new QLineEdit(this);
    fenBox_->setGeometry(kBoardLeft, top, kBoardWidth, kCommandHeight);
    fenBox_->setPlaceholderText(QStringLiteral("粘贴或输入 FEN 局面，按回车摆出"));
    fenBox_->setAccessibleName(QStringLiteral("FEN 局面"));
    connect(fenBox_, &QLineEdit::returnPressed, this, [this] { setUpFen(fenBox_->text()); });

    notation_ = new QComboBox(this);
    const int notationLeft = kBoardLeft + kBoardWidth + 8;
    notation_->setGeometry(notationLeft, top, kListLeft - 8 - notationLeft, kCommandHeight);
    notation_->addItems(
        {QStringLiteral("ICCS 记法"), QStringLiteral("中文记法"), QStringLiteral("WXF 记法")});
    notation_->setToolTip(QStringLiteral("保存 PGN 棋谱时着法的写法"));
    notation_->setAccessibleName(QStringLiteral("PGN 记法"));

    const int width = kWidth - kListLeft;
    const struct {
        QPushButton** button;
        const char16_t* caption;
        const char16_t* tip;
    } buttons[] = {
        {&paste_, u"粘贴局面", u"从剪贴板读入 FEN 局面并摆出（Ctrl+V）"},
        {&copy_, u"复制局面", u"把当前局面的 FEN 复制到剪贴板"},
        {&flip_, u"翻 转", u"翻转棋盘，换一方在下（F）"},
    };
    int left = kListLeft;
    for (int i = 0; i < 3; ++i) {
        const int right = kListLeft + width * (i + 1) / 3;
        auto* b = new QPushButton(QString::fromUtf16(buttons[i].caption), this);
        b->setGeometry(left, top, right - left, kCommandHeight);
        b->setToolTip(QString::fromUtf16(buttons[i].tip));
        *buttons[i].button = b;
        left = right;
    }
    connect(paste_, &QPushButton::clicked, this, [this] {
        if (readClipboard) setUpFen(readClipboard());
    });
    connect(copy_, &QPushButton::clicked, this, &ReplayWindow::copyFen);
    connect(flip_, &QPushButton::clicked, this, &ReplayWindow::flip);
    // A box being typed in keeps its own keys: F and Ctrl+V are its text there.
    connect(new QShortcut(QKeySequence(Qt::Key_F), this), &QShortcut::activated, this,
            &ReplayWindow::flip);
    connect(new QShortcut(QKeySequence::Paste, this), &QShortcut::activated, paste_,
            &QPushButton::click);
}

QPushButton* ReplayWindow::command(int index) const {
    return (index >= 0 && index < 5) ? commands_[static_cast<std::size_t>(index)] : nullptr;
}

void ReplayWindow::open(const QiPuHistory& history, const QString& path) {
    GameRecord record;
    record.moves = history;
    record.tags = recordTags;
    openRecord(record, path);
}

void ReplayWindow::openRecord(const GameRecord& record, const QString& path) {
    play_.stop();
    recordTags = record.tags;
    result_ = record.result;
    resultMoves_ = record.moves;
    {
        const QScopedValueRollback guard(listNav_, false);
        model_.open(record.moves, path, record.start);
    }
    sync();
}

void ReplayWindow::setUpFen(const QString& fen) {
    FenFault why;
    const auto position = parseFen(fen.trimmed().toStdString(), &why);
    if (!position) {
        if (tellFailure) tellFailure(fenFailureText(fen.trimmed(), why));
        return;
    }
    GameRecord record;
    record.start = *position;
    openRecord(record, {});
    fenBox_->clear();
}

void ReplayWindow::copyFen() {
    if (writeClipboard) writeClipboard(QString::fromStdString(model_.fen()));
}

void ReplayWindow::flip() {
    model_.flip();
    sync();
}

MoveNotation ReplayWindow::notation() const {
    switch (notation_->currentIndex()) {
        case 1:
            return MoveNotation::Chinese;
        case 2:
            return MoveNotation::Wxf;
        default:
            return MoveNotation::Iccs;
    }
}

void ReplayWindow::followList() {
    if (!listNav_) return;
    const QModelIndexList selected = list_->selectionModel()->selectedIndexes();
    const QScopedValueRollback guard(listNav_, false);
    if (selected.isEmpty()) {
        // Nothing may be unselected: the line of the position shown comes back.
        const int row = model_.list().selectedRow();
        if (row >= 0) list_->setCurrentIndex(model_.list().index(row));
        return;
    }
    play_.stop();
    model_.goTo(selected.first().row());
    sync();
}

bool ReplayWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress &&
        listKey(static_cast<QKeyEvent*>(event)->key()))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool ReplayWindow::listKey(int key) {
    const long step = model_.step(), last = model_.moves();
    const int rowHeight = model_.list().count() > 0 ? list_->sizeHintForRow(0) : 0;
    const long page = rowHeight > 0 ? std::max(1, list_->viewport()->height() / rowHeight) : 1;
    long target = step;
    switch (key) {
        case Qt::Key_Home:
            target = 0;
            break;
        case Qt::Key_End:
            target = last;
            break;
        case Qt::Key_Up:
            target = step - 1;
            break;
        case Qt::Key_Down:
            target = step + 1;
            break;
        case Qt::Key_PageUp:
            target = step - page;
            break;
        case Qt::Key_PageDown:
            target = step + page;
            break;
        default:
            return false;
    }
    target = std::clamp(target, 0L, last);
    play_.stop();
    {
        const QScopedValueRollback guard(listNav_, false);
        model_.goTo(static_cast<int>(target) - 1);
    }
    sync();
    return true;
}

void ReplayWindow::sync() {
    board_->repaintBoard();
    analysis_->show(model_.start(), model_.movesToShown());
    analysis_->setGame(model_.start(), model_.allMoves());
    analysis_->setStep(static_cast<int>(model_.step()));
    const auto& m = model_.markers();
    board_->hideMarkers();
    runBlink_.stop();
    selectBlink_.stop();
    if (m.run) {
        board_->placeRunMarkers(m.fromRow, m.fromCol, m.toRow, m.toCol, true);
        // A selection holds the last-move markers still; otherwise the target blinks.
        if (!m.selected) runBlink_.start();
    }
    if (m.selected) {
        board_->placeSelectMarker(m.selRow, m.selCol, true);
        selectBlink_.start();
    }
}

int ReplayWindow::navTop() const {
    return kListTop + kListHeight + kNavGap;
}

int ReplayWindow::hitNavButton(QPoint pos) const {
    const int y0 = navTop();
    for (int i = 0; i < 5; ++i) {
        const int x = kNavLeft + kNavPitch * i;
        if (pos.x() > x && pos.x() < x + 18 && pos.y() > y0 && pos.y() < y0 + 19) return i;
    }
    return -1;
}

void ReplayWindow::pressNav(int index) {
    const bool wasPlaying = play_.isActive();
    play_.stop();
    const QScopedValueRollback guard(listNav_, false);
    switch (index) {
        case 0:
            model_.goTo(-1);
            break;
        case 1:
            model_.prev();
            break;
        case 2:
            if (!wasPlaying) play_.start();
            break;
        case 3:
            model_.next();
            break;
        case 4:
            while (model_.step() < model_.moves())
                model_.next();
            break;
        default:
            break;
    }
    sync();
}

void ReplayWindow::autoPlayTick() {
    if (model_.step() >= model_.moves()) {
        play_.stop();
        return;
    }
    const QScopedValueRollback guard(listNav_, false);
    model_.next();
    sync();
}

bool ReplayWindow::confirmOverwrite(const QString& path) {
    return !QFileInfo::exists(path) || !askOverwrite || askOverwrite(path);
}

void ReplayWindow::runCommand(int index) {
    switch (index) {
        case 0:
            if (!model_.file().isEmpty()) openFile(model_.file());
            return;
        case 1: {
            // A game that a .drak file cannot hold offers PGN first.
            const bool drakFits = isOpeningPosition(model_.start());
            const QString filter = drakFits ? kDrakFilter + QStringLiteral(";;") + kPgnFilter
                                            : kPgnFilter + QStringLiteral(";;") + kDrakFilter;
            const QString path = askFileName(QStringLiteral("保存 中国象棋 文件"), true, filter);
            if (!path.isEmpty()) saveFile(path);
            return;
        }
        case 2: {
            const QString filter = QStringLiteral("中国象棋棋谱(*.drak *.pgn);;") + kDrakFilter +
                                   QStringLiteral(";;") + kPgnFilter;
            const QString path =
                askFileName(QStringLiteral("打开 要复盘的中国象棋 文件"), false, filter);
            if (!path.isEmpty()) openFile(path);
            return;
        }
        case 3: {
            const QString path = askFileName(QStringLiteral("导出 当前复盘的中国象棋 棋谱"), true,
                                             QStringLiteral("中国象棋棋谱文件(*.txt)"));
            if (path.isEmpty() || !confirmOverwrite(path)) return;
            QString error;
            if (!saveTextRecord(path, model_.list().lines(), &error) && tellFailure) {
                tellFailure(exportFailureText(path, error));
            }
            return;
        }
        case 4:
            close();
            return;
        default:
            return;
    }
}

void ReplayWindow::saveFile(const QString& path) {
    if (recordFormatOf(path) == RecordFormat::Pgn) {
        savePgn(path);
        return;
    }
    // Checked before the overwrite question: nothing is to be overwritten with a game that
    // cannot be kept there.
    if (!isOpeningPosition(model_.start())) {
        if (tellFailure) tellFailure(drakStartFailureText(path));
        return;
    }
    if (!confirmOverwrite(path)) return;
    QString error;
    if (!SaveQiPuFile(path, model_.history(), &error) && tellFailure) {
        tellFailure(saveFailureText(path, error));
    }
}

void ReplayWindow::savePgn(const QString& path) {
    GameRecord record;
    record.start = model_.start();
    record.moves = model_.history();
    record.tags = recordTags;
    // A result belongs to the moves it was given with, not to a variation tried since.
    if (record.moves == resultMoves_) record.result = result_;
    QByteArray text;
    long bad = 0;
    if (!writePgn(record, notation(), &text, &bad)) {
        if (tellFailure) {
            const int row = static_cast<int>(bad) - 1;
            const QString line =
                row >= 0 && row < model_.list().count() ? model_.list().lines()[row] : QString();
            tellFailure(pgnMoveFailureText(path, bad, line));
        }
        return;
    }
    if (!confirmOverwrite(path)) return;
    QString error;
    if (!writeFileAtomically(path, text, &error) && tellFailure) {
        tellFailure(saveFailureText(path, error));
    }
}

void ReplayWindow::openFile(const QString& path) {
    GameRecord record;
    PgnError error;
    if (loadGameRecord(path, record, &error)) {
        openRecord(record, path);
    } else if (tellFailure) {
        tellFailure(pgnLoadFailureText(path, error));
    }
}

void ReplayWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    skins_.beginPass();
    if (const QImage* back = skins_.image(QStringLiteral("res\\fupanbk.bmp")))
        p.drawImage(3, 3, *back);
    const int y0 = navTop();
    if (const QImage* strip = skins_.image(QStringLiteral("res\\FuPan_ButBk.bmp"))) {
        p.drawImage(kListLeft, y0 - 4, *strip);
    }
    const QImage* sprite = skins_.image(QStringLiteral("Res\\FuPan_But.bmp"));
    if (sprite == nullptr) return;
    for (int i = 0; i < 5; ++i) {
        p.drawImage(QPoint(kNavLeft + kNavPitch * i, y0), *sprite,
                    QRect(22 * i + 110 * navState_[static_cast<std::size_t>(i)], 0, 22, 19));
    }
}

void ReplayWindow::hoverNav(int hit) {
    bool changed = false;
    for (int i = 0; i < 5; ++i) {
        const int want = (i == hit) ? 1 : 0;
        changed = changed || navState_[static_cast<std::size_t>(i)] != want;
        navState_[static_cast<std::size_t>(i)] = want;
    }
    if (changed) update(QRect(kNavLeft, navTop(), 5 * kNavPitch, 19));
}

void ReplayWindow::mouseMoveEvent(QMouseEvent* event) {
    hoverNav(hitNavButton(event->position().toPoint()));
}

void ReplayWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int hit = hitNavButton(event->position().toPoint());
    if (hit < 0) return;
    // Every release over a button counts, the second of two clicks on one spot too; the button
    // stays lit while the mouse is on it.
    hoverNav(hit);
    pressNav(hit);
}

}  // namespace xq
