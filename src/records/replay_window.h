#pragma once

#include "ui/record_file_dialog.h"

#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

#include "board/board_view.h"
#include "board/skin_cache.h"
#include "records/command_button.h"
#include "records/replay_model.h"

namespace xq {

struct GameState;
struct Session;
struct UserSettings;

// The replay window: a stored game's board at any of its positions, its move list, five
// navigation buttons (first, back, auto-play, forward, last) and five commands (restore, save,
// open, export, close). The user may also try moves of his own on the board. The board always
// shows the position after the move selected in the list, however that selection was made.
class ReplayWindow : public QWidget {
    Q_OBJECT

public:
    ReplayWindow(const Session& session, GameState& game, UserSettings& settings,
                 QWidget* parent = nullptr);

    void open(const QiPuHistory& history, const QString& path);
    ReplayModel& model() { return model_; }
    BoardView& board() { return *board_; }
    QListView& list() { return *list_; }
    QPushButton* command(int index) const;

    // Navigation buttons 0..4 as the mouse uses them; public for tests. Any of them stops a
    // running auto-play; auto-play itself toggles it.
    int hitNavButton(QPoint pos) const;
    void pressNav(int index);
    void autoPlayTick();
    bool autoPlaying() const { return play_.isActive(); }

    // File questions; tests replace them. askFileName returns the chosen path or nothing.
    std::function<QString(const QString& title, bool forSave, const QString& filter)> askFileName;
    std::function<bool(const QString& path)> askOverwrite;
    std::function<void(const QString& text)> tellFailure;
    // The name a save or an export offers for a game that has no file of its own yet.
    QString suggestedBase;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void sync();
    void followList();
    void hoverNav(int hit);
    void runCommand(int index);
    void openFile(const QString& path);
    bool confirmOverwrite(const QString& path);
    int navTop() const;

    RecordFolder folder_;  // where its file dialogs start
    const Session& session_;
    ReplayModel model_;
    BoardView* board_;
    QListView* list_;
    std::array<CommandButton*, 5> commands_{};
    std::array<int, 5> navState_{};
    SkinCache skins_;
    QTimer play_;
    QTimer runBlink_;
    QTimer selectBlink_;
    bool runPhase_ = false;
    bool selectPhase_ = false;
    // Cleared while the window changes the game itself, so that the list lines it selects on
    // the way do not navigate again.
    bool listNav_ = true;
};

}  // namespace xq
