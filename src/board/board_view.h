#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>
#include <functional>

#include "board/board_notes.h"
#include "board/board_painter.h"
#include "game/screen.h"
#include "look/board_geometry.h"
#include "look/skin_cache.h"
#include "rules/board.h"

namespace xq {

// What a board shows, as its owner keeps it: the view reads these when it draws and never
// changes them. A null style is style 1; a null orientation is red at the bottom.
struct BoardScene {
    const QiPan* position = nullptr;           // the pieces on the display points
    const std::uint8_t* redView = nullptr;     // 1: red at the bottom (file numbers follow it)
    const std::uint8_t* boardStyle = nullptr;  // 0..3, others read as 1
    const std::uint8_t* pieceStyle = nullptr;  // 0..3, others read as 1
    const QString* skinFolder = nullptr;       // the program folder the skins are read from
};

// A board: draws the scene it is given on a persistent picture surface and its clean twin
// without pieces, the moving piece during an animation, three markers (last move from and to,
// selection) and the notes over the pieces, and reports clicks. It keeps no game state and no
// settings of its own.
class BoardView : public QWidget, public BoardScreen {
    Q_OBJECT

public:
    // Duration of one animation frame, in milliseconds.
    static constexpr double kFrameMs = 1000.0 / 64.0;

    explicit BoardView(QWidget* parent = nullptr);

    // What to draw from now on (the next repaint shows it).
    void setScene(const BoardScene& scene);
    const BoardScene& scene() const { return scene_; }

    // The full repaint: background, lines and all pieces of the display board. A repaint asked
    // for while one runs is ignored.
    void repaintBoard();

    void clearQiZi(int row, int col);
    void paintQiZi(int row, int col, std::uint8_t code);
    // Slides the piece from one cell to the other, one frame per kFrameMs while events run, and
    // draws it on the target. Returns early when stopWaiting() turns true.
    void animateMove(int fromRow, int fromCol, int toRow, int toCol, std::uint8_t piece) override;
    std::function<bool()> stopWaiting;

    // BoardScreen.
    void pointChanged(int row, int col, std::uint8_t code) override;
    void placeRunMarkers(int fromRow, int fromCol, int toRow, int toCol, bool toVisible) override;
    void placeSelectMarker(int row, int col, bool visible) override;
    void hideSelectMarker() override;
    void hideMarkers() override;
    void hideMovingPiece() override;
    void showMoveHints(const std::vector<std::pair<int, int>>& cells) override;
    void showMoveReason(const QString& text) override;
    void markCheck(int row, int col) override;
    void clearCheckMark() override;

    // Hints, a refused move's reason and the king in check, over the pieces.
    BoardNotes& notes() { return *notes_; }

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
    int boardStyle() const;
    int pieceStyle() const;
    std::uint8_t at(int row, int col) const;
    void paintAllQiZi();

    struct Marker {
        int row = 0;
        int col = 0;
        bool visible = false;
    };

    BoardScene scene_;
    SkinCache skins_;
    BoardPainter painter_{skins_};
    QFont font_;
    QImage picQiPan_;
    QImage picQiPanBk_;
    BoardGeometry geometry_{0, 0};
    bool blnPainting_ = false;
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
