#pragma once

#include "ui/record_file_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

#include "board/board_view.h"
#include "game/replay_model.h"
#include "look/skin_cache.h"
#include "records/game_record.h"
#include "records/pgn_writer.h"
#include "replay/analysis_pane.h"
#include "replay/command_button.h"

namespace xq {

struct GameState;
struct Session;
struct UserSettings;

// The replay window: a stored game's board at any of its positions, its move list, five
// navigation buttons (first, back, auto-play, forward, last) and five commands (restore, save,
// open, export, close). The user may also try moves of his own on the board. The board always
// shows the position after the move selected in the list, however that selection was made.
// Records are .drak or PGN files, told by the extension; a position can be set up from FEN,
// the shown one copied as FEN, and the board turned round.
class ReplayWindow : public QWidget {
    Q_OBJECT

public:
    ReplayWindow(const Session& session, GameState& game, UserSettings& settings,
                 QWidget* parent = nullptr);

    // A game from the opening position; the tags set before stay.
    void open(const QiPuHistory& history, const QString& path);
    // A game as a record holds it, with its own tags.
    void openRecord(const GameRecord& record, const QString& path);
    ReplayModel& model() { return model_; }
    BoardView& board() { return *board_; }
    QListView& list() { return *list_; }
    QPushButton* command(int index) const;
    QLineEdit& fenBox() { return *fenBox_; }
    QComboBox& notationBox() { return *notation_; }
    QPushButton* pasteButton() const { return paste_; }
    QPushButton* copyButton() const { return copy_; }
    QPushButton* flipButton() const { return flip_; }
    AnalysisPane& analysis() { return *analysis_; }

    // Sets up the position a FEN names, as a game without moves; a FEN that names no possible
    // position is told and changes nothing.
    void setUpFen(const QString& fen);
    // The shown position's FEN onto the clipboard.
    void copyFen();
    void flip();
    // The notation a PGN save writes its moves in.
    MoveNotation notation() const;

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
    std::function<QString()> readClipboard;
    std::function<void(const QString& text)> writeClipboard;
    // What a PGN save tells about the game besides its moves (Red, Black, Date …).
    RecordTags recordTags;
    // The name a save or an export offers for a game that has no file of its own yet.
    QString suggestedBase;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void sync();
    void followList();
    // The move-list keys; true when the key was one of them.
    bool listKey(int key);
    void hoverNav(int hit);
    void runCommand(int index);
    void openFile(const QString& path);
    void saveFile(const QString& path);
    void savePgn(const QString& path);
    bool confirmOverwrite(const QString& path);
    void addPositionRow(int top);
    int navTop() const;

    RecordFolder folder_;  // where its file dialogs start
    const Session& session_;
    ReplayModel model_;
    BoardView* board_;
    QListView* list_;
    std::array<CommandButton*, 5> commands_{};
    QLineEdit* fenBox_ = nullptr;
    QComboBox* notation_ = nullptr;
    QPushButton* paste_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* flip_ = nullptr;
    AnalysisPane* analysis_ = nullptr;
    // The result a PGN file gave, kept while its moves are the ones shown.
    QString result_;
    QiPuHistory resultMoves_;
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
