#pragma once

#include <QColor>
#include <QPoint>
#include <cstdint>

namespace xq {

// Rounds to the nearest whole number, halves to the even neighbour.
int roundHalfEven(double value);

// Where things lie on a board surface of width w and height h, in pixels.
struct BoardGeometry {
    BoardGeometry(int w, int h);

    int width;
    int height;
    int grid;       // distance between two neighbouring lines
    int pieceSize;  // side of a drawn piece: grid - 4
    int x0;         // the light grid's origin: display file 0, display row 0
    int y0;

    // The point of display row r, file c on the light grid.
    QPoint point(int row, int col) const { return {x0 + col * grid, y0 + row * grid}; }
    // Top-left pixel of the piece cell of a display point.
    QPoint cell(int row, int col) const;
    // The display point whose cell holds the pixel, or (-1, -1).
    void pointAt(int x, int y, int& row, int& col) const;
};

// Line colours by board style: dark (shadows, border, palace, marks, numbers) and light (grid).
QColor darkLineColour(int boardStyle);
QColor lightLineColour(int boardStyle);

// The plain board colour used when the background picture is missing.
inline QColor plainBoardColour() {
    return {222, 184, 135};
}

// Frames of the move animation between two piece cells, and the steps of each frame.
struct MoveFrames {
    MoveFrames(QPoint from, QPoint to, int pieceSize);
    int count;  // number of frames
    // Position after frame i (1-based), following the speeding-up rule and held on the target.
    QPoint at(int frame) const;

private:
    QPoint from_, to_;
    int unit_;
};

}  // namespace xq
