#pragma once

#include <memory>
#include <vector>

#include "net/codec.h"
#include "ui/app_startup.h"
#include "ui/main_window.h"

namespace xq {

// A table window without a connection: what it would send is kept.
struct WindowFixture {
    explicit WindowFixture(const QString& programFolder = QStringLiteral("/nonexistent/game")) {
        state.session.strMyUserName = "红方";
        state.session.strGameName = "中国象棋";
        InitSession(state.session, programFolder);
        ResetGame(state.game, state.session);
        window = std::make_unique<MainWindow>(state.session, state.game, state.settings);
        window->onUnloaded = [this] { ++unloads; };
        window->table().send = [this](const Cmd& c) { sent.push_back(c); };
    }
    ClientState state;
    std::unique_ptr<MainWindow> window;
    std::vector<Cmd> sent;
    int unloads = 0;
};

}  // namespace xq
