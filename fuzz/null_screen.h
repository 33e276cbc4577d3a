#pragma once

#include "game/msg_pool.h"
#include "game/screen.h"

namespace xq::fuzz {

// A screen that draws nothing and answers every question at once with its default button.
class NullScreen : public Screen, public BoardScreen, public MsgBoxHost {
public:
    MsgPool* pool = nullptr;

    void changed(Shown, int) override {}
    BoardScreen& board() override { return *this; }
    void pointChanged(int, int, std::uint8_t) override {}
    void animateMove(int, int, int, int, std::uint8_t) override {}
    void placeRunMarkers(int, int, int, int, bool) override {}
    void placeSelectMarker(int, int, bool) override {}
    void hideSelectMarker() override {}
    void hideMarkers() override {}
    void hideMovingPiece() override {}
    void setTimerEnabled(TableTimer, bool) override {}
    bool isMainWindowVisible() const override { return true; }
    void setMainWindowHidden(bool) override {}
    void unloadMainWindow() override {}
    void playSoundFile(const QString&) override {}
    void openGameSetDialog(GameSetModel&) override {}
    void closeGameSetDialog() override {}
    QString getQiPuFileName(const QString&, bool) override { return {}; }
    void cancelFileDialog() override {}
    void showMoveHints(const std::vector<std::pair<int, int>>&) override {}
    void showMoveReason(const QString&) override {}
    void markCheck(int, int) override {}
    void clearCheckMark() override {}
    void openReplay(const GameRecord&) override {}
    void openReplayFromFile() override {}
    void showUserMenu(const QStringList&, const QString&) override {}
    void openBox(int id, const MsgBoxInfo& info) override {
        if (info.type == 0 || pool == nullptr) return;
        pool->answer(id, info.type == 1 || info.yesDefault ? 0 : 1);
        pool->boxClosed(id);
    }
    void closeBox(int) override {}
};

}  // namespace xq::fuzz
