#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

#include "game/chat_model.h"
#include "game/game_set_model.h"
#include "game/game_state.h"
#include "game/msg_pool.h"
#include "game/screen.h"
#include "game/user_list_model.h"
#include "net/codec.h"
#include "net/table_events.h"
#include "prefs/settings_store.h"
#include "prefs/user_settings.h"
#include "records/game_record.h"
#include "startup/session.h"

namespace xq {

// The table: everything the client does in reaction to the server and the user, without a
// widget. It keeps the session and game state, decides, sends, and tells the screen what to show.
class Table {
public:
    Table(Session& session, GameState& game, UserSettings& settings, Screen& screen,
          MsgBoxHost& boxes, const QString& programFolder);

    // Where outgoing messages go (the room connection).
    std::function<void(const Cmd&)> send;
    // Holds (true) and releases (false) the delivery of received messages. A move is applied
    // and animated as one step: what arrives meanwhile is handled right after it, in order.
    std::function<void(bool)> holdMessages;

    // Messages from the server, as they arrive or as the codec read them.
    void DoRoomMsg(const Cmd& cmd);
    void DoGameMsg(const Cmd& cmd);
    void roomEvent(const tablemsg::ParsedEvent& parsed);
    void gameEvent(const tablemsg::ParsedEvent& parsed);
    void LoadGameState(const tablemsg::WaitingSnapshot& d);
    void LoadGameState(const tablemsg::RunningSnapshot& d);

    // Room side: the Start command, the game-begun acknowledgement, leaving the table.
    void SendStart();
    void SendGameBegun();
    void SendLeaveTable();

    // People and chat.
    void onUsersLoaded(const QString& names);
    void sendChat(const QStringList& tenFields);
    void onPersonClicked(bool menu, const QString& name, const QString& row);
    QStringList userMenuCaptions(const QString& row) const;
    void ExecUserMenu(int index, const QString& tag);

    // The table settings dialog.
    bool openGameSet(bool deskMaster, const QString& settings);
    GameSetModel::Tick onGameSetTick();
    GameSetModel::Press onGameSetButton(int button);
    bool gameSetOpen() const { return gameSetOpen_; }

    // Move input and the turn flow.
    void onBoardClick(bool leftButton, int row, int col);
    void ApplyGameState();

    // Clocks and blinking.
    bool RunTimeTick(int seat);
    void StartRunTime();
    void StopRunTime();
    void onClockTick();
    void onTurnFlagTick();
    void onRunFlagTick();
    void onSelectTick();

    // Control panel commands.
    void DoUserOpt(int index);
    void RefreshStartButton();

    // Board view operations shared by the handlers (display points).
    void MoveQiZi(int fromRow, int fromCol, int toRow, int toCol);
    void SetRunFlag(int fromRow, int fromCol, int toRow, int toCol);
    void ShowRunFlag(bool show);
    void StopRunFlag();
    void SetSelectFlag(int row, int col);
    void ShowSelectFlag(bool show);
    void StopSelectFlag();
    void StartTurnFlag();
    void StopTurnFlag();
    void ShowReadyPieces(int seat);
    // Marks where the piece at this display point may go, when the user wants hints.
    void ShowMoveHints(int row, int col);
    void ResetQiPanView();

    void MakeSound(std::uint8_t sound);

    // The window's close command: asks first while the user plays; true when the window goes.
    // A player who leaves tells the server first, so that a running game ends at once.
    bool RequestCloseMain();
    // The window's unload step.
    void unloadStep();
    // The connection is gone: everything that runs stops; true when there is a game record
    // worth offering to save.
    bool ConnectionLost();

    // True while a received move is being applied and animated.
    bool moving() const { return moving_; }
    // The moves a Save stores now: the running game, or the last finished one between games.
    const QiPuHistory& recordToSave() const;
    // Who played red and who black in that record (for naming its file).
    std::pair<QString, QString> recordPlayers() const;
    // The last game that ended as a record: its moves, the game's name, the day, the players
    // and the result.
    GameRecord finishedRecord() const;
    // True once the server has told this client who it is (the login was accepted).
    bool loggedIn() const { return loggedIn_; }
    // True once the user has left the table (refused the terms, closed the window): the server
    // then closes the connection, and that end is no surprise to tell.
    bool leftTable() const { return leftTable_; }
    // The last notice the server sent; the reason of a refused login.
    const QString& lastNotice() const { return lastNotice_; }
    // The server's last word before its connection ended was a notice (why it closed).
    bool noticeWasLast() const { return noticeWasLast_ && !lastNotice_.isEmpty(); }

    bool timerEnabled(TableTimer timer) const { return timers_[static_cast<int>(timer)]; }

    Session& s;
    GameState& g;
    UserSettings& prefs;
    // Every read and write of the settings file.
    SettingsStore settingsStore;
    Screen& screen;
    MsgPool msgs;
    UserListModel users;
    ChatModel chat;
    GameSetModel gameSet;

    bool blnWaitAnswer = false;
    long lngSelRow = -1, lngSelCol = -1;
    long lngRunFromRow = 0, lngRunFromCol = 0, lngRunToRow = 0, lngRunToCol = 0;
    bool blnRunFlagShow = false;
    bool blnSelectFlagShow = false;
    bool blnRunFlagPhase = false;

private:
    void Send(const Cmd& cmd);
    void setTimer(TableTimer timer, bool enabled);
    // A box of the table: tag 0, title the game name unless given.
    std::int16_t Box(std::uint8_t type, const QString& note, const QString& caption = {},
                     std::int32_t delay = 10, const QString& yes = QStringLiteral("确定"),
                     const QString& no = {}, bool yesDefault = true);
    std::int16_t Question(const QString& note);  // agree / refuse, refused when left alone
    void Notice(const QString& note);
    QString SeatName(int seat) const;
    int findSeat(const QString& name) const;
    void resetTable();
    void inOutLine(const QString& line);
    void tableSettingsStage(const QStringList& fields);
    // The settings stage ended under the dialog: it closes without sending anything.
    void dropGameSet();
    void handRaised(const tablemsg::HandsUp& hand);
    void Snapshot(const tablemsg::ParsedEvent& parsed);
    // The game-side steps get nothing for a message too short or out of range; each still takes
    // the first steps it always took.
    void GameStart(const tablemsg::GameStart* start);
    void Move(const tablemsg::MoveEcho* echo);
    void Undo(const tablemsg::Negotiation* m);
    void Draw(const tablemsg::Negotiation* m);
    void LoadRecord(const tablemsg::ParsedEvent& parsed);
    void loadRecordMoves(const std::vector<QiPuItem>& moves);
    void GameEnd(const tablemsg::GameEnd* end);
    // False when the load ended while the user was asked or chose the file.
    bool recordLoadStep(int seat);
    // Every change of the game's phase (start, move, end, load steps, reset) gets a new number;
    // whatever waited in a box or a dialog meanwhile must not act on the phase it was asked in.
    void nextPhase();
    void beginMove();
    void endMove();
    void idleButtons();
    // The opponent's request: the user answers it (refused when left alone).
    void answerRequest(std::uint8_t requestCode, const QString& question);
    // Seat `seat` refused a request: the asker is told; no box for the refuser himself.
    void Refused(int seat, const QString& note);
    void takeBackLastMove();
    void markLastMove();
    void disableAllButtons();
    void paintAllButtons();

    QString programFolder_;
    bool gameSetOpen_ = false;
    bool moving_ = false;
    bool loggedIn_ = false;
    bool leftTable_ = false;
    bool choosingLoadFile_ = false;
    unsigned phase_ = 0;
    std::vector<std::function<void()>> afterMove_;
    QString lastNotice_;
    bool noticeWasLast_ = false;
    bool timers_[4] = {false, false, false, false};
};

}  // namespace xq
