#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <cstdint>

#include "game/move_list.h"
#include "rules/board.h"
#include "rules/history.h"
#include "startup/session.h"

namespace xq {

// Game phases kept in bteGameState.
inline constexpr std::uint8_t kStateNoGame = 50;
inline constexpr std::uint8_t kStateLoadingBase = 10;  // 10 + s: seat s chooses a record to load
inline constexpr std::uint8_t kStateNoGameFrom = 15;   // the Load command's "no game" threshold

// Control panel buttons.
enum OptButton : int { kBtnStart, kBtnDraw, kBtnResign, kBtnUndo, kBtnSave, kBtnLoad, kBtnReplay };
inline constexpr int kOptButtons = 7;
inline constexpr std::uint8_t kButtonNormal = 0, kButtonHover = 1, kButtonDisabled = 2;

// The state of the game at the table.
struct GameState {
    QiPan bteQiPan{};      // logical board
    QiPan bteShowQiPan{};  // the board as the view shows it
    std::uint8_t bteRedView = 0;
    QiPuHistory QiPuData{QiPuItem{}};
    std::uint8_t bteGameState = kStateNoGame;
    bool blnNoGame = true;
    std::array<std::uint8_t, 3> bteTotalTime{};  // limit of the time bank
    std::array<std::uint8_t, 3> bteStepTime{};   // allowance per move before the bank is charged
    std::array<std::int32_t, 2> lngWinCount{};
    std::array<std::uint8_t, kOptButtons> bteOptButState{};
    QiPuLineList lstQiPu;
    // The moves of the last game that ended, kept for Save and Replay until the next one starts.
    QiPuHistory finishedGame{QiPuItem{}};
    // Who played that game and how it ended, as its record tells: the names of red and black
    // then (either may have left since), the day it ended, and "1-0", "0-1" or "1/2-1/2".
    struct FinishedTags {
        QString red, black, result;
        QDate date;
    } finishedTags;
};

// Empties the history to its placeholder and the move list.
void ClearQiPu(GameState& game);

// Full reset: seats, limits, tally, board, history, buttons (Load and Replay usable).
void ResetGame(GameState& game, Session& session);

// Reset for the next game: hands and clocks, board, history, buttons (only Replay usable).
void NewGame(GameState& game, Session& session);

// Replays the history onto the opening position and refills the move list; the last line is
// selected when there is more than one.
void RebuildQiPan(GameState& game);

// The move list line of history item k (1-based), as RebuildQiPan and received moves write it.
QString qiPuLine(const QiPuHistory& history, long k);

}  // namespace xq
