#pragma once

#include <QStringList>
#include <functional>
#include <memory>

#include "game/game_state.h"
#include "prefs/user_settings.h"
#include "startup/command_line.h"
#include "startup/session.h"

namespace xq {

class MainWindow;

// Everything the table client keeps for its run.
struct ClientState {
    Session session;
    GameState game;
    UserSettings settings;
};

// The start-up of the table client: checks the words after the program name, shows one of the
// two error boxes and gives nothing when they fail, else stores them, resets the state, loads the
// main window, places it on the screen, shows it and starts connecting.
// showError replaces the error box (tests); by default a critical message box is shown.
std::unique_ptr<MainWindow> startTable(
    ClientState& state, const QStringList& words, const QString& programFolder,
    const std::function<void(const QString& title, const QString& text)>& showError = {});

}  // namespace xq
