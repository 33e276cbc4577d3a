#include "ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <cstdio>

#include "game/user_row.h"
#include "look/builtin_pictures.h"
#include "look/ui_font.h"
#include "records/record_failure_text.h"
#include "records/record_file.h"
#include "records/record_load.h"
#include "replay/replay_window.h"
#include "startup/skin_path.h"
#include "ui/chat_panel.h"
#include "ui/control_panel.h"
#include "ui/game_pane.h"
#include "ui/game_set_dialog.h"
#include "ui/help_window.h"
#include "ui/plain_message.h"
#include "ui/record_file_dialog.h"
#include "ui/side_strips.h"
#include "ui/splitter_bars.h"
#include "ui/user_list_view.h"
#include "ui/user_menu.h"
#include "ui/user_set_dialog.h"
#include "ui/window_colours.h"
#include "ui/window_frame.h"

namespace xq {
namespace {

QString Headings(std::uint8_t scoreType) {
    return QStringLiteral(
               "用户名`用户ID`%1`级别`旁观对象`总局数`胜率`逃跑率`胜`输`和`人物类型`图标号`"
               "实际椅子号`举手`掉线")
        .arg(scoreType == 0 ? QStringLiteral("经验") : QStringLiteral("积分"));
}

}  // namespace

MainWindow::MainWindow(Session& session, GameState& game, UserSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      s_(session),
      g_(game),
      prefs_(settings),
      boxHost_(this, session.strParentPath),
      recordFolder_(session.strAppPath) {
    table_ = std::make_unique<Table>(session, game, settings, *this, boxHost_,
                                     QDir(session.strAppPath).absolutePath());
    boxHost_.setPool(&table_->msgs);
    table_->msgs.InitMsgObjects(session.strParentPath);
    connection_ = std::make_unique<RoomConnection>(session, settings);
    connection_->onRoomMessage = [this](const tablemsg::ParsedEvent& e) { table_->roomEvent(e); };
    connection_->onGameMessage = [this](const tablemsg::ParsedEvent& e) { table_->gameEvent(e); };
    connection_->onEnd = [this](bool failedToConnect) { onConnectionEnd(failedToConnect); };
    table_->send = [this](const Cmd& cmd) { connection_->send(cmd); };
    table_->holdMessages = [this](bool hold) { connection_->holdMessages(hold); };
    loadStep();
}

MainWindow::~MainWindow() {
    // Boxes and dialogs must not call back into a table that is going away.
    boxHost_.setPool(nullptr);
}

void MainWindow::loadStep() {
    setWindowTitle(s_.strGameName);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumSize(640, 480);
    setFont(paneFont());
    skins_.setBase(s_.strAppPath);

    UserListModel& users = table_->users;
    users.setOwnName(s_.strMyUserName);
    users.setHeadings(Headings(s_.bteScoreType), UserListModel::kVisibleColumns);
    users.setColumnWidths(QStringLiteral("100`90`70`80`80`60`50`50`50`50`50"));
    users.setLevelTable(s_.strLevelInfo);

    ChatModel& chat = table_->chat;
    chat.facesFolder = skinPath(s_.strParentPath, QStringLiteral("UserRes\\face"));
    chat.programFolder = s_.strAppPath;
    chat.pageFile = QStringLiteral("MeChatWeb.htm");
    chat.setOwnName(s_.strMyUserName);
    chat.setDefaultAddressee(ChatModel::kEveryone);
    chat.caption = QStringLiteral("聊天室");

    table_->settingsStore.load();

    gamePane_ = new GamePane(*table_, this);
    splitter_ = new VSplitterBar(s_.strAppPath, this);
    userButtons_ = new UserButtonStrip(s_.strAppPath, this);
    controlPanel_ = new ControlPanel(*table_, this);
    optBar_ = new HSplitterBar(this);
    userList_ = new UserListView(users, this);
    chatBar_ = new HSplitterBar(this);
    chat_ = new ChatPanel(chat, this);
    userMenu_ = new UserMenu(this);
    ghost_ = new SplitterGhost(this);
    frame_ = new WindowFrame(*this, skins_);
    frame_->captionShown = [this] { return splitter_->x() + splitter_->width() < width(); };
    frame_->sysButtonClicked = [this](int slot) { clickSysButton(slot); };
    connectSplitters();
    userList_->setColours(QColor(0, 138, 140), QColor(255, 255, 255));
    userList_->setStyleValue(2);
    userList_->setTitle(QStringLiteral("用户列表"));
    userList_->applyColumnWidths();
    chat_->setOption(true);
    chat_->setCaption(QStringLiteral("聊天室"));
    chat_->setSecondOption(false);

    BoardView& board = gamePane_->board();
    board.stopWaiting = [this] { return s_.blnAppQuit; };
    connect(&board, &BoardView::clicked, this,
            [this](bool left, int row, int col) { table_->onBoardClick(left, row, col); });
    connect(userList_, &UserListView::personClicked, this,
            [this](bool menu, const QString& name, const QString& row) {
                table_->onPersonClicked(menu, name, row);
            });
    connect(userMenu_, &UserMenu::chosen, this,
            [this](int index, const QString& name) { table_->ExecUserMenu(index, name); });
    connect(chat_, &ChatPanel::send, this,
            [this](const QStringList& fields) { table_->sendChat(fields); });
    connect(&table_->users, &QAbstractItemModel::modelReset, this, [this] {
        chat_->setOwnFace(
            splitFields(table_->users.findRow(s_.strMyUserName)).value(row::kFaceNo, "0"));
    });
    connect(userButtons_, &UserButtonStrip::clicked, this, [this](int index) {
        if (index == 0) {
            openUserSettings();
        } else {
            openHelp();
        }
    });

    const struct {
        QTimer* timer;
        int interval;
        void (Table::*tick)();
    } timers[] = {{&tmrQiZiRun_, 300, &Table::onRunFlagTick},
                  {&tmrMeSelectQiZi_, 300, &Table::onSelectTick},
                  {&tmrUserRunFlag_, 300, &Table::onTurnFlagTick},
                  {&tmrUserRunTime_, 1000, &Table::onClockTick}};
    for (const auto& t : timers) {
        t.timer->setInterval(t.interval);
        connect(t.timer, &QTimer::timeout, this,
                [this, tick = t.tick] { (table_.get()->*tick)(); });
    }

    const QScreen* screen = QGuiApplication::primaryScreen();
    startLayoutFor(screen != nullptr ? screen->size() : QSize(1024, 768));
}

void MainWindow::startLayoutFor(QSize screen) {
    splits_ = startSplits(screen);
    splitter_->setCollapsed(false);
    layOutPanes();
}

void MainWindow::connectSplitters() {
    // The vertical splitter: a click in its middle collapses or restores the right pane; a drag
    // shows the ghost within the limits and drops the splitter there.
    connect(splitter_, &VSplitterBar::collapseClicked, this, [this] {
        toggleCollapse(splits_, width());
        splitter_->setCollapsed(splits_.collapsed);
        layOutPanes();
    });
    connect(splitter_, &VSplitterBar::dragArmed, this, [this] {
        ghost_->showAt(
            QRect(splitter_->x(), splitter_->y(), splitter_->width() - 4, splitter_->height()));
    });
    connect(splitter_, &VSplitterBar::dragMoved, this, [this](int left) {
        if (ghostMayMove(left, width())) ghost_->move(left, splitter_->y());
    });
    connect(splitter_, &VSplitterBar::dropped, this, [this](int left) {
        ghost_->hide();
        placeVSplit(splits_, left, width());
        layOutPanes();
    });
    // The bars: the ghost follows within the 100-pixel limits; the drop lays the panes out.
    const auto bar = [this](HSplitterBar* b, auto limit, auto place) {
        connect(b, &HSplitterBar::dragMoved, this, [this, b, limit](int y) {
            ghost_->showAt(QRect(b->x(), limit(y), b->width(), b->height()));
        });
        connect(b, &HSplitterBar::dropped, this, [this, place](int y) {
            ghost_->hide();
            place(splits_, y, height());
            layOutPanes();
        });
    };
    bar(
        optBar_, [this](int y) { return dropOptSplit(y, shownBars(height(), splits_).chat); },
        &placeOptBar);
    bar(
        chatBar_,
        [this](int y) { return dropChatSplit(y, shownBars(height(), splits_).opt, height()); },
        &placeChatBar);
}

GameSetDialog* MainWindow::gameSetDialog() const {
    return gameSetDialog_.data();
}

void MainWindow::ConnectRoomServer() {
    connection_->ConnectRoomServer();
}

void MainWindow::layOutPanes() {
    if (isMinimized()) return;
    const MainLayout l = layOutMainWindow(size(), splits_);
    if (l.splitter.height() > 0) splitter_->setGeometry(l.splitter);
    gamePane_->setGeometry(l.gamePane);
    QWidget* right[] = {userButtons_, controlPanel_, optBar_, userList_, chatBar_, chat_};
    if (!l.rightPane) {
        for (QWidget* w : right)
            w->hide();
    } else {
        userButtons_->setGeometry(l.userButtons);
        if (l.controlPanel) controlPanel_->setGeometry(*l.controlPanel);
        optBar_->setGeometry(l.optBar);
        userList_->setGeometry(l.userList);
        chatBar_->setGeometry(l.chatBar);
        if (l.chat) chat_->setGeometry(*l.chat);
        for (QWidget* w : right)
            w->show();
    }
    update();
}

void MainWindow::resizeEvent(QResizeEvent*) {
    layOutPanes();
}

void MainWindow::paintEvent(QPaintEvent*) {
    // For start-up measurements: tell once when the window is first painted.
    static bool traced = !qEnvironmentVariableIsSet("XQTABLE_TRACE_FIRST_PAINT");
    if (!traced) {
        traced = true;
        std::fputs("first-paint\n", stderr);
        std::fflush(stderr);
    }
    QPainter p(this);
    p.fillRect(rect(), kWindowBack);
    frame_->paint(p, s_.strGameName, font());
}

void MainWindow::clickSysButton(int slot) {
    switch (slot) {
        case 0:
            showMinimized();
            break;
        case 1:
            isMaximized() ? showNormal() : showMaximized();
            break;
        case 2:
            table_->RequestCloseMain();
            break;
        default:
            break;
    }
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    frame_->mouseMove(event);
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    frame_->mousePress(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    frame_->mouseRelease(event);
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        update(QRect(SysButtonPos(width(), 0), QSize(60, 23)));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (unloaded_) {
        event->accept();
        return;
    }
    event->ignore();
    table_->RequestCloseMain();
}

void MainWindow::openHelp() {
    // One help window at a time, brought forward when asked again.
    if (!help_) {
        help_ = new HelpWindow(s_.strGameName, this);
        help_->show();
    }
    help_->raise();
    help_->activateWindow();
}

void MainWindow::openUserSettings() {
    // One window at a time: a second click brings the open one to the front.
    if (!userSettings_) {
        userSettings_ = new UserSetDialog(table_->settingsStore, this);
        userSettings_->show();
    }
    userSettings_->raise();
    userSettings_->activateWindow();
}

// Screen.

void MainWindow::changed(Shown part, int index) {
    switch (part) {
        case Shown::Frame:
            update();
            break;
        case Shown::GameBack:
            gamePane_->paintAll();
            break;
        case Shown::Board:
            gamePane_->board().repaintBoard();
            break;
        case Shown::Controls:
            controlPanel_->paintPanel();
            break;
        case Shown::OptButton:
            controlPanel_->paintOptButton(index);
            break;
        case Shown::PlayerFace:
            gamePane_->paintPlayerFace(index);
            break;
        case Shown::NetBreak:
            gamePane_->paintNetBreak(index);
            break;
        case Shown::HandMark:
            gamePane_->paintHandMark(index);
            break;
        case Shown::RunFlag:
        case Shown::RunFlagOff:
            gamePane_->paintRunFlag(index, part == Shown::RunFlag);
            break;
        case Shown::ClockA:
            gamePane_->paintClockA(index);
            break;
        case Shown::ClockB:
            gamePane_->paintClockB(index);
            break;
    }
}

BoardScreen& MainWindow::board() {
    return gamePane_->board();
}

void MainWindow::setTimerEnabled(TableTimer timer, bool enabled) {
    QTimer* t = nullptr;
    switch (timer) {
        case TableTimer::QiZiRun:
            t = &tmrQiZiRun_;
            break;
        case TableTimer::MeSelectQiZi:
            t = &tmrMeSelectQiZi_;
            break;
        case TableTimer::UserRunFlag:
            t = &tmrUserRunFlag_;
            break;
        case TableTimer::UserRunTime:
            t = &tmrUserRunTime_;
            break;
    }
    // Enabling a running timer keeps its rhythm.
    if (enabled && !t->isActive()) t->start();
    if (!enabled) t->stop();
}

bool MainWindow::isMainWindowVisible() const {
    return isVisible();
}

void MainWindow::setMainWindowHidden(bool hidden) {
    setVisible(!hidden);
}

void MainWindow::unloadMainWindow() {
    if (unloaded_) return;
    unloaded_ = true;
    for (QTimer* t : {&tmrQiZiRun_, &tmrMeSelectQiZi_, &tmrUserRunFlag_, &tmrUserRunTime_})
        t->stop();
    table_->unloadStep();
    // A last message (the leave) must reach the server before the process ends.
    connection_->socket().closeAfterSending(1000);
    if (gameSetDialog_) gameSetDialog_->close();
    userMenu_->close();
    // Every window of this table goes with it (and only those: a second table window in the same
    // process, as the tests have, stays).
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == this || !w->isVisible()) continue;
        for (QWidget* up = w->parentWidget(); up != nullptr; up = up->parentWidget()) {
            if (up == this) {
                w->close();
                break;
            }
        }
    }
    close();
    if (onUnloaded) {
        onUnloaded();
    } else {
        QCoreApplication::quit();
    }
}

void MainWindow::playSoundFile(const QString& path) {
    emit soundRequested(path);
    sound_.play(path);
}

void MainWindow::openGameSetDialog(GameSetModel&) {
    if (!gameSetDialog_) gameSetDialog_ = new GameSetDialog(*table_, this);
    gameSetDialog_->refresh();
    gameSetDialog_->show();
    // A message box on the screen (the server's word on refused terms, say) stays in front.
    if (boxHost_.openBoxes().isEmpty()) gameSetDialog_->raise();
    boxHost_.stayAbove(gameSetDialog_);
}

void MainWindow::closeGameSetDialog() {
    if (!gameSetDialog_) return;
    gameSetDialog_->hide();
    gameSetDialog_->deleteLater();
    gameSetDialog_ = nullptr;
}

QString MainWindow::getQiPuFileName(const QString& title, bool forSave) {
    FileDialogRequest request{title, QStringLiteral("中国象棋文件(*.drak)"), forSave, {}};
    if (forSave) {
        const auto [red, black] = table_->recordPlayers();
        request.suggestedName =
            suggestedRecordName(red, black, QDateTime::currentDateTime(), QStringLiteral("drak"));
    }
    return AskFileName(this, request, recordFolder_, &fileDialog_);
}

void MainWindow::cancelFileDialog() {
    if (fileDialog_) fileDialog_->reject();
}

void MainWindow::onConnectionEnd(bool failedToConnect) {
    if (unloaded_) return;      // the user closed the window; the server then closes its end
    if (table_->leftTable()) {  // the user refused the terms: leaving was his own choice
        unloadMainWindow();
        return;
    }
    const bool offerSave = table_->ConnectionLost();
    const QiPuHistory record = table_->recordToSave();
    QString text;
    if (failedToConnect) {
        text = QStringLiteral("无法连接到游戏服务器。");
        const QString reason = connection_->failureReason();
        if (!reason.isEmpty()) text += QStringLiteral("\n原因：") + reason;
    } else if (!table_->loggedIn()) {
        text = QStringLiteral("游戏服务器拒绝了登录。");
        if (!table_->lastNotice().isEmpty())
            text += QStringLiteral("\n原因：") + table_->lastNotice();
    } else {
        text = QStringLiteral("与服务器的连接已断开");
        // A server that closes in order says why (it is stopping, say): that is the reason.
        if (table_->noticeWasLast()) text += QStringLiteral("\n原因：") + table_->lastNotice();
    }
    bool save = false;
    if (askConnectionEnd) {
        save = askConnectionEnd(text, offerSave);
    } else {
        QMessageBox box(QMessageBox::Warning, s_.strGameName, text, QMessageBox::NoButton, this);
        box.setTextFormat(Qt::PlainText);  // the server's reason is its own text
        QPushButton* yes = nullptr;
        if (offerSave) {
            box.setInformativeText(QStringLiteral("是否保存本局棋谱？"));
            yes = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
            box.addButton(QStringLiteral("不保存"), QMessageBox::RejectRole);
        } else {
            box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        }
        box.exec();
        save = yes != nullptr && box.clickedButton() == yes;
    }
    // Until the record is saved or the user gives up choosing a file.
    while (save) {
        const QString path = getQiPuFileName(QStringLiteral("保存 中国象棋 文件"), true);
        if (path.isEmpty()) break;
        QString error;
        if (SaveQiPuFile(path, record, &error)) break;
        const QString failure = saveFailureText(path, error);
        if (tellSaveFailure) {
            tellSaveFailure(failure);
        } else {
            warnPlain(this, s_.strGameName, failure);
        }
    }
    unloadMainWindow();
}

void MainWindow::openReplay(const GameRecord& record) {
    // Each replay command opens the window afresh; the game just played is named after its
    // players.
    if (replay_) replay_->close();
    replay_ = new ReplayWindow(s_, g_, prefs_, this);
    replay_->suggestedBase =
        suggestedRecordBase(record.tag(QStringLiteral("Red")), record.tag(QStringLiteral("Black")),
                            QDateTime::currentDateTime());
    replay_->openRecord(record, {});
    replay_->show();
}

void MainWindow::openReplayFromFile() {
    const FileDialogRequest request{
        QStringLiteral("打开 要复盘的中国象棋 文件"),
        QStringLiteral("中国象棋棋谱(*.drak *.pgn);;中国象棋文件(*.drak);;PGN 棋谱文件(*.pgn)"),
        false,
        {}};
    const QString path = AskFileName(this, request, recordFolder_, &fileDialog_);
    if (path.isEmpty()) return;
    GameRecord record;
    PgnError error;
    // A file that cannot be read is told, not passed over in silence.
    if (!loadGameRecord(path, record, &error)) {
        const QString text = pgnLoadFailureText(path, error);
        if (tellOpenFailure) {
            tellOpenFailure(text);
        } else {
            warnPlain(this, s_.strGameName, text);
        }
        return;
    }
    if (replay_) replay_->close();
    replay_ = new ReplayWindow(s_, g_, prefs_, this);
    replay_->openRecord(record, path);
    replay_->show();
}

ReplayWindow* MainWindow::replayWindow() const {
    return replay_.data();
}

void MainWindow::showUserMenu(const QStringList& captions, const QString& name) {
    userMenu_->setItems(captions, name);
    if (!userMenu_->isEmpty()) userMenu_->popup(QCursor::pos());
}

}  // namespace xq
