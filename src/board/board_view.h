#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>
#include <functional>

#include "board/board_notes.h"
#include "board/board_painter.h"
#include "look/board_geometry.h"
#include "look/skin_cache.h"
#include "rules/board.h"

namespace xq {

struct GameState;
struct Session;
struct UserSettings;

// The board of the main window: a persistent picture surface and its clean twin without pieces,
// the moving piece during an animation, and three markers (last move from and to, selection).
class BoardView : public QWidget {
    Q_OBJECT

public:
    // Duration of one animation frame, in milliseconds.
    static constexpr double kFrameMs = 1000.0 / 64.0;

    BoardView(const Session& session, GameState& game, UserSettings& settings,
              QWidget* parent = nullptr);

    // The full repaint: background, lines and all pieces of the display board. A repaint asked
    // for while one runs is ignored.
    void repaintBoard();

    void clearQiZi(int row, int col);
    void paintQiZi(int row, int col, std::uint8_t code);
    // Slides the piece from one cell to the other, one frame per kFrameMs while events run, and
    // draws it on the target. Returns early when stopWaiting() turns true.
    void animateMove(int fromRow, int fromCol, int toRow, int toCol, std::uint8_t piece);
    std::function<bool()> stopWaiting;

    void placeRunMarkers(int fromRow, int fromCol, int toRow, int toCol, bool toVisible);
    void placeSelectMarker(int row, int col, bool visible);
    void hideSelectMarker();
    void hideMarkers();
    void hideMovingPiece();
    // Hints, a refused move's reason and the king in check, over the pieces.
    BoardNotes& notes() { return *notes_; }

    // Another board to show (the replay window's), and a board style that does not follow the
    // settings (-1: follow them).
    void setShowBoard(const QiPan* board) { show_ = board; }
    void setFixedBoardStyle(int style) { fixedBoardStyle_ = style; }
    // The orientation whose file numbers are drawn, when it is not the table's (the replay
    // window may be turned round on its own); null follows the table.
    void setRedView(const std::uint8_t* redView) { redView_ = redView; }

    // The style boxes: the choice is kept in the settings file and the board redrawn.
    void chooseBoardStyle(int style);
    void choosePieceStyle(int style);

    const BoardGeometry& geometry() const { return geometry_; }
    int mouseRow() const { return mouseRow_; }
    int mouseCol() const { return mouseCol_; }
    void clearHover();
    // The board surface and its clean twin, as drawn.
    const QImage& surface() const { return picQiPan_; }
    const QImage& cleanSurface() const { return picQiPanBk_; }
    QRect markerRect(int index) const;  // 0 from, 1 to, 2 selection; empty when hidden
    int lastAnimationFrames() const { return lastFrames_; }

signals:
    void clicked(bool leftButton, int row, int col);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QRect cellRect(int row, int col) const;
    int pieceStyle() const;
    void paintAllQiZi();

    struct Marker {
        int row = 0;
        int col = 0;
        bool visible = false;
    };

    const Session& session_;
    GameState& game_;
    UserSettings& settings_;
    SkinCache skins_;
    BoardPainter painter_{skins_};
    QFont font_;
    QImage picQiPan_;
    QImage picQiPanBk_;
    BoardGeometry geometry_{0, 0};
    bool blnPainting_ = false;
    const QiPan* show_;
    int fixedBoardStyle_ = -1;
    const std::uint8_t* redView_ = nullptr;
    QImage moving_;
    QPoint movingAt_;
    bool movingVisible_ = false;
    Marker markers_[3];
    BoardNotes* notes_;
    int mouseRow_ = -1;
    int mouseCol_ = -1;
    int lastFrames_ = 0;
};

}  // namespace xq
