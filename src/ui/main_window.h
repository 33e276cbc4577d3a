#pragma once

#include <QFileDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "game/room_connection.h"
#include "game/screen.h"
#include "game/table.h"
#include "look/skin_cache.h"
#include "ui/msg_box_host.h"
#include "ui/record_file_dialog.h"
#include "ui/sound_player.h"
#include "ui/window_layout.h"

namespace xq {

class ChatPanel;
class ControlPanel;
class GamePane;
class GameSetDialog;
class ReplayWindow;
class UserButtonStrip;
class VSplitterBar;
class HSplitterBar;
class SplitterGhost;
class WindowFrame;
class UserListView;
class UserMenu;
class UserSetDialog;
class HelpWindow;

// The table window: a frameless window with its own caption bar and border, the game pane on
// the left, and the control panel, the user list and the chat on the right. It draws what the
// table decides and hands the user's actions to the table.
class MainWindow : public QWidget, public Screen {
    Q_OBJECT

public:
    MainWindow(Session& session, GameState& game, UserSettings& settings,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Connects to the room server of the launch data.
    void ConnectRoomServer();

    Table& table() { return *table_; }
    RoomConnection& connection() { return *connection_; }
    GamePane& gamePane() { return *gamePane_; }
    ControlPanel& controlPanel() { return *controlPanel_; }
    UserListView& userList() { return *userList_; }
    ChatPanel& chat() { return *chat_; }
    GameSetDialog* gameSetDialog() const;
    ReplayWindow* replayWindow() const;
    MsgBoxHostWidgets& boxes() { return boxHost_; }
    bool unloaded() const { return unloaded_; }
    // Called once the window has been unloaded (the program then ends).
    std::function<void()> onUnloaded;

    // Screen.
    void changed(Shown part, int index = -1) override;
    BoardScreen& board() override;
    void setTimerEnabled(TableTimer timer, bool enabled) override;
    bool isMainWindowVisible() const override;
    void setMainWindowHidden(bool hidden) override;
    void unloadMainWindow() override;
    void playSoundFile(const QString& path) override;
    void openGameSetDialog(GameSetModel& model) override;
    void closeGameSetDialog() override;
    QString getQiPuFileName(const QString& title, bool forSave) override;
    void openReplay(const GameRecord& record) override;
    void openReplayFromFile() override;
    void showUserMenu(const QStringList& captions, const QString& name) override;
    void cancelFileDialog() override;

    // The connection has ended: says so, offers to save the game's record, then unloads.
    void onConnectionEnd(bool failedToConnect);
    // How the user is told that the connection ended; true when he wants the record saved.
    // Tests replace the modal box.
    std::function<bool(const QString& text, bool offerSave)> askConnectionEnd;
    // Tells the user that the record could not be saved (tests replace the box).
    std::function<void(const QString& text)> tellSaveFailure;
    // Tells the user that a record chosen for the replay window cannot be read (tests replace
    // the box).
    std::function<void(const QString& text)> tellOpenFailure;
    // The open file dialog, if any (tests answer it).
    QFileDialog* fileDialog() const { return fileDialog_.data(); }

    // The layout of the panes for the current size, and its start for a screen of this size;
    // public for tests.
    void layOutPanes();
    void startLayoutFor(QSize screen);
    // Where the vertical splitter stands in the window as it is now.
    int vSplitLeft() const { return shownSplitLeft(width(), splits_); }
    const SplitState& splits() const { return splits_; }
    VSplitterBar& vSplitter() { return *splitter_; }
    HSplitterBar& optBar() { return *optBar_; }
    HSplitterBar& chatBar() { return *chatBar_; }
    SplitterGhost& ghost() { return *ghost_; }
    WindowFrame& frame() { return *frame_; }

signals:
    // Every sound the table asks for, whether or not the machine can play it.
    void soundRequested(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void loadStep();
    void clickSysButton(int slot);
    void connectSplitters();
    void openUserSettings();
    void openHelp();

    Session& s_;
    GameState& g_;
    UserSettings& prefs_;
    MsgBoxHostWidgets boxHost_;
    std::unique_ptr<Table> table_;
    std::unique_ptr<RoomConnection> connection_;
    SoundPlayer sound_;
    SkinCache skins_;

    GamePane* gamePane_ = nullptr;
    VSplitterBar* splitter_ = nullptr;
    UserButtonStrip* userButtons_ = nullptr;
    ControlPanel* controlPanel_ = nullptr;
    HSplitterBar* optBar_ = nullptr;
    UserListView* userList_ = nullptr;
    HSplitterBar* chatBar_ = nullptr;
    SplitterGhost* ghost_ = nullptr;
    WindowFrame* frame_ = nullptr;
    ChatPanel* chat_ = nullptr;
    QPointer<GameSetDialog> gameSetDialog_;
    UserMenu* userMenu_ = nullptr;
    QPointer<ReplayWindow> replay_;
    QPointer<QFileDialog> fileDialog_;
    RecordFolder recordFolder_;
    QPointer<UserSetDialog> userSettings_;
    QPointer<HelpWindow> help_;

    QTimer tmrQiZiRun_;
    QTimer tmrMeSelectQiZi_;
    QTimer tmrUserRunFlag_;
    QTimer tmrUserRunTime_;

    SplitState splits_;
    bool unloaded_ = false;
};

}  // namespace xq
