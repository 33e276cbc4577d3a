#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <utility>
#include <vector>

#include "records/game_record.h"
#include "rules/history.h"

namespace xq {

class GameSetModel;

// The timers the table logic switches; the window owns them and calls the table back on ticks.
enum class TableTimer {
    QiZiRun,       // 300 ms: last-move marker blink
    MeSelectQiZi,  // 300 ms: selection marker blink
    UserRunFlag,   // 300 ms: turn flag blink
    UserRunTime,   // 1000 ms: clock tick
};

// What the table draws on the board: the pieces of single points, a move's slide, the markers and
// the notes over the pieces (all in display points). The board view itself answers these.
class BoardScreen {
public:
    virtual ~BoardScreen() = default;

    // One point shows another piece (0: none).
    virtual void pointChanged(int row, int col, std::uint8_t code) = 0;
    // Slides the piece from one cell to the other and draws it there; returns when it has
    // arrived, letting other events run meanwhile.
    virtual void animateMove(int fromRow, int fromCol, int toRow, int toCol,
                             std::uint8_t piece) = 0;
    virtual void placeRunMarkers(int fromRow, int fromCol, int toRow, int toCol,
                                 bool toVisible) = 0;
    virtual void placeSelectMarker(int row, int col, bool visible) = 0;
    virtual void hideSelectMarker() = 0;
    virtual void hideMarkers() = 0;
    virtual void hideMovingPiece() = 0;
    // The points the picked-up piece may go to; none clears them.
    virtual void showMoveHints(const std::vector<std::pair<int, int>>& cells) = 0;
    // Why the move just tried is not allowed, shown for a moment.
    virtual void showMoveReason(const QString& text) = 0;
    // The king in check, marked for a moment.
    virtual void markCheck(int row, int col) = 0;
    // A check is over once the next move is played or the checking move taken back: its mark
    // must not stay on a point the king has left.
    virtual void clearCheckMark() = 0;
};

// The parts of the window that show the table's state; the table says which of them changed.
enum class Shown {
    Frame,       // caption bar and border
    GameBack,    // game pane: background, both player panels, score line
    Board,       // the whole board, from the display board
    Controls,    // control panel with its buttons
    OptButton,   // one control button (index: the button)
    PlayerFace,  // face and name (index: the seat)
    NetBreak,    // the seat's broken-connection mark
    HandMark,    // the seat's raised hand
    RunFlag,     // the seat's turn flag, shown
    RunFlagOff,  // the seat's turn flag, hidden
    ClockA,      // the seat's time bank used
    ClockB,      // the seat's time used in the current move
};

// Everything the table logic asks of the window. Game state lives in the table; these calls
// only draw it, animate it, or ask the user.
class Screen {
public:
    virtual ~Screen() = default;

    // A part of the window must show the table's state again.
    virtual void changed(Shown part, int index = -1) = 0;
    virtual BoardScreen& board() = 0;
    virtual void setTimerEnabled(TableTimer timer, bool enabled) = 0;

    // The window as a whole.
    virtual bool isMainWindowVisible() const = 0;
    virtual void setMainWindowHidden(bool hidden) = 0;
    virtual void unloadMainWindow() = 0;
    virtual void playSoundFile(const QString& path) = 0;

    // Dialogs and other windows.
    virtual void openGameSetDialog(GameSetModel& model) = 0;  // not modal
    virtual void closeGameSetDialog() = 0;
    // A modal file dialog; empty when cancelled.
    virtual QString getQiPuFileName(const QString& title, bool forSave) = 0;
    // Ends an open file dialog as if it were cancelled (its choice no longer matters).
    virtual void cancelFileDialog() = 0;
    // The replay window on a game the table holds (the one that just ended), with its tags and
    // result.
    virtual void openReplay(const GameRecord& record) = 0;
    // Asks for a record file of any kind the replay window reads and opens it there, or tells
    // the user why it cannot be read.
    virtual void openReplayFromFile() = 0;
    virtual void showUserMenu(const QStringList& captions, const QString& name) = 0;
};

}  // namespace xq
