#pragma once

#include <QComboBox>
#include <QImage>
#include <QWidget>
#include <functional>

#include "board/board_view.h"
#include "look/skin_cache.h"

namespace xq {

class Table;

// The game pane: its skinned background, the two player panels with faces, names, marks, flags
// and clocks, the score line, the two style boxes and the board.
class GamePane : public QWidget {
    Q_OBJECT

public:
    static inline const QColor kPanelBack{222, 150, 0};

    explicit GamePane(Table& table, QWidget* parent = nullptr);

    BoardView& board() { return *board_; }
    QComboBox& boardStyleBox() { return *boardStyle_; }
    QComboBox& pieceStyleBox() { return *pieceStyle_; }
    // Tells the user that a style picked could not be kept in the settings file (it is drawn all
    // the same); tests replace the box.
    std::function<void(const QString& text)> tellSaveFailure;

    // The whole pane: background, then both panels (or only the background without a view seat).
    void paintAll();
    void paintPlayerFace(int seat);
    void paintNetBreak(int seat);
    void paintHandMark(int seat);
    void paintRunFlag(int seat, bool shown);
    void paintClockA(int seat);
    void paintClockB(int seat);
    void paintScoreText();

    const QImage& surface() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void layOut();
    void paintBackground(QPainter& p);
    int slotOf(int seat) const;
    void fill(QPainter& p, QRect r);
    void drawDigits(QPainter& p, const QString& text, int x, int y);
    void paintClock(int seat, bool bank);
    bool validSeat(int seat) const { return seat == 0 || seat == 1; }

    Table& table_;
    SkinCache skins_;
    SkinCache faces_;
    QImage image_;
    QFont font_;
    BoardView* board_;
    QComboBox* boardStyle_;
    QComboBox* pieceStyle_;
    bool painting_ = false;
};

}  // namespace xq
