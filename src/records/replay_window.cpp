#include "records/replay_window.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>

#include "game/game_state.h"
#include "records/record_failure_text.h"
#include "records/record_file.h"
#include "startup/session.h"
#include "ui/record_file_dialog.h"
#include "ui/ui_font.h"

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

}  // namespace

ReplayWindow::ReplayWindow(const Session& session, GameState& game, UserSettings& settings,
                           QWidget* parent)
    : QWidget(parent, Qt::Window),
      folder_(session.strAppPath),
      session_(session),
      model_(game.bteRedView),
      board_(new BoardView(session, game, settings, this)),
      list_(new QListView(this)) {
    setWindowTitle(QStringLiteral("复盘"));
    setFont(PaneFont());
    setMouseTracking(true);
    setAttribute(Qt::WA_DeleteOnClose);
    board_->setShowBoard(&model_.showBoard());
    board_->setFixedBoardStyle(1);
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
    setFixedSize(kWidth, top + 5 * kCommandHeight + 8);

    connect(&model_.list(), &QiPuLineList::selectionChanged, list_, [this](int row) {
        const QScopedValueRollback guard(listNav_, false);
        if (row >= 0) list_->setCurrentIndex(model_.list().index(row));
    });
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
        return QMessageBox::question(this, QStringLiteral("系统提示"),
                                     path + QStringLiteral(" 已存在，是否覆盖？(Y/N)"),
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    askFileName = [this](const QString& title, bool forSave, const QString& filter) {
        QString suggestion;
        if (forSave) {
            // The record's own name when it came from a file, else the name the table gave it.
            const QString base = !model_.file().isEmpty()
                                     ? QFileInfo(model_.file()).completeBaseName()
                                 : !suggestedBase.isEmpty()
                                     ? suggestedBase
                                     : SuggestedRecordBase({}, {}, QDateTime::currentDateTime());
            suggestion =
                base + (filter.contains(QStringLiteral("*.txt")) ? QStringLiteral(".txt")
                                                                 : QStringLiteral(".drak"));
        }
        return AskFileName(this, {title, filter, forSave, suggestion}, folder_);
    };
    tellFailure = [this](const QString& text) {
        QMessageBox::warning(this, QStringLiteral("系统提示"), text);
    };
}

QPushButton* ReplayWindow::command(int index) const {
    return (index >= 0 && index < 5) ? commands_[static_cast<std::size_t>(index)] : nullptr;
}

void ReplayWindow::open(const QiPuHistory& history, const QString& path) {
    {
        const QScopedValueRollback guard(listNav_, false);
        model_.open(history, path);
    }
    sync();
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

void ReplayWindow::sync() {
    board_->repaintBoard();
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
            while (model_.step() > 1)
                model_.prev();
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
    const QString recordFilter = QStringLiteral("中国象棋文件(*.drak)");
    switch (index) {
        case 0:
            if (!model_.file().isEmpty()) openFile(model_.file());
            return;
        case 1: {
            const QString path =
                askFileName(QStringLiteral("保存 中国象棋 文件"), true, recordFilter);
            if (path.isEmpty() || !confirmOverwrite(path)) return;
            QString error;
            if (!SaveQiPuFile(path, model_.history(), &error) && tellFailure) {
                tellFailure(SaveFailureText(path, error));
            }
            return;
        }
        case 2: {
            const QString path =
                askFileName(QStringLiteral("打开 要复盘的中国象棋 文件"), false, recordFilter);
            if (!path.isEmpty()) openFile(path);
            return;
        }
        case 3: {
            const QString path = askFileName(QStringLiteral("导出 当前复盘的中国象棋 棋谱"), true,
                                             QStringLiteral("中国象棋棋谱文件(*.txt)"));
            if (path.isEmpty() || !confirmOverwrite(path)) return;
            QString error;
            if (!SaveTextRecord(path, model_.list().lines(), &error) && tellFailure) {
                tellFailure(ExportFailureText(path, error));
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

void ReplayWindow::openFile(const QString& path) {
    QiPuHistory history;
    if (LoadQiPuFile(path, history)) {
        open(history, path);
    } else if (tellFailure) {
        tellFailure(LoadFailureText(path));
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
