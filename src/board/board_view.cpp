#include "board/board_view.h"

#include "board/surface_image.h"

#include <QMouseEvent>
#include <QPainter>

#include "look/ui_font.h"
#include "look/wait_ticks.h"

namespace xq {
namespace {

const QColor kRunMarkerColour(255, 0, 0);
const QColor kSelectMarkerColour(0, 128, 0);

// A style as the boxes keep it: 0..3, anything else the default.
int styleOf(const std::uint8_t* style) {
    return style != nullptr && *style <= 3 ? *style : 1;
}

}  // namespace

BoardView::BoardView(QWidget* parent)
    : QWidget(parent), font_(paneFont()), notes_(new BoardNotes(*this)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardView::setScene(const BoardScene& scene) {
    scene_ = scene;
    if (scene_.skinFolder != nullptr) skins_.setBase(*scene_.skinFolder);
}

std::uint8_t BoardView::at(int row, int col) const {
    return scene_.position != nullptr ? (*scene_.position)[row][col] : 0;
}

void BoardView::repaintBoard() {
    if (blnPainting_) return;
    blnPainting_ = true;
    if (scene_.skinFolder != nullptr) skins_.setBase(*scene_.skinFolder);
    skins_.beginPass();
    const QSize size = this->size();
    const qreal dpr = devicePixelRatioF();
    if (logicalSize(picQiPanBk_) != size || picQiPanBk_.devicePixelRatio() != dpr)
        picQiPanBk_ = surfaceImage(size, dpr);
    if (!size.isEmpty()) {
        geometry_ = painter_.paintBoard(picQiPanBk_, boardStyle(),
                                        scene_.redView != nullptr ? *scene_.redView : 0, font_);
        picQiPan_ = picQiPanBk_.copy();  // the same background and lines, then the pieces
        paintAllQiZi();
    } else {
        geometry_ = BoardGeometry(size.width(), size.height());
        picQiPan_ = QImage();
    }
    update();
    blnPainting_ = false;
}

QRect BoardView::cellRect(int row, int col) const {
    const QPoint at = geometry_.cell(row, col);
    return {at.x(), at.y(), geometry_.pieceSize, geometry_.pieceSize};
}

int BoardView::boardStyle() const {
    return styleOf(scene_.boardStyle);
}

int BoardView::pieceStyle() const {
    return styleOf(scene_.pieceStyle);
}

void BoardView::paintAllQiZi() {
    for (int row = 0; row < 10; ++row) {
        for (int col = 0; col < 9; ++col) {
            const std::uint8_t code = at(row, col);
            if (code != 0) painter_.paintPiece(picQiPan_, code, pieceStyle(), cellRect(row, col));
        }
    }
}

void BoardView::clearQiZi(int row, int col) {
    if (picQiPan_.isNull() || picQiPanBk_.size() != picQiPan_.size()) return;
    const QRect cell = cellRect(row, col);
    QPainter p(&picQiPan_);
    drawSurfaceArea(p, picQiPanBk_, cell);
    update(cell);
}

void BoardView::paintQiZi(int row, int col, std::uint8_t code) {
    if (code == 0 || picQiPan_.isNull()) return;
    skins_.beginPass();
    const QRect cell = cellRect(row, col);
    painter_.paintPiece(picQiPan_, code, pieceStyle(), cell);
    update(cell);
}

void BoardView::animateMove(int fromRow, int fromCol, int toRow, int toCol, std::uint8_t piece) {
    const QRect from = cellRect(fromRow, fromCol);
    const QRect to = cellRect(toRow, toCol);
    if (picQiPan_.isNull()) {
        moving_ = QImage();
    } else {
        moving_ = picQiPan_.copy(deviceRect(picQiPan_, from));
        moving_.setDevicePixelRatio(picQiPan_.devicePixelRatio());
    }
    movingAt_ = from.topLeft();
    clearQiZi(fromRow, fromCol);
    movingVisible_ = true;
    update(from);
    const MoveFrames frames(from.topLeft(), to.topLeft(), geometry_.pieceSize);
    lastFrames_ = 0;
    for (int i = 1; i <= frames.count; ++i) {
        if (!WaitTicks(kFrameMs, stopWaiting)) break;
        const QRect before(movingAt_, from.size());
        movingAt_ = frames.at(i);
        ++lastFrames_;
        update(before.united(QRect(movingAt_, from.size())));
    }
    clearQiZi(toRow, toCol);
    paintQiZi(toRow, toCol, piece);
    hideMovingPiece();
}

void BoardView::placeRunMarkers(int fromRow, int fromCol, int toRow, int toCol, bool toVisible) {
    markers_[0] = {fromRow, fromCol, true};
    markers_[1] = {toRow, toCol, toVisible};
    update();
}

void BoardView::placeSelectMarker(int row, int col, bool visible) {
    markers_[2] = {row, col, visible};
    update();
}

void BoardView::hideSelectMarker() {
    markers_[2].visible = false;
    update();
}

void BoardView::hideMarkers() {
    for (Marker& m : markers_)
        m.visible = false;
    update();
}

void BoardView::hideMovingPiece() {
    if (!movingVisible_) return;
    movingVisible_ = false;
    moving_ = QImage();
    update();
}

QRect BoardView::markerRect(int index) const {
    if (index < 0 || index > 2 || !markers_[index].visible) return {};
    return cellRect(markers_[index].row, markers_[index].col);
}

void BoardView::pointChanged(int row, int col, std::uint8_t code) {
    clearQiZi(row, col);
    paintQiZi(row, col, code);
}

void BoardView::showMoveHints(const std::vector<std::pair<int, int>>& cells) {
    notes_->setHints(cells);
}

void BoardView::showMoveReason(const QString& text) {
    notes_->showReason(text);
}

void BoardView::markCheck(int row, int col) {
    notes_->markCheck(row, col);
}

void BoardView::clearCheckMark() {
    notes_->clearCheck();
}

void BoardView::clearHover() {
    mouseRow_ = -1;
    mouseCol_ = -1;
    unsetCursor();
}

void BoardView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (picQiPan_.isNull()) {
        p.fillRect(event->rect(), plainBoardColour());
        return;
    }
    drawSurfaceArea(p, picQiPan_, event->rect());
    if (movingVisible_ && !moving_.isNull()) p.drawImage(movingAt_, moving_);
    for (int i = 0; i < 3; ++i) {
        if (!markers_[i].visible) continue;
        // Mitred, so the outline keeps its corner pixels on the cell's outer two pixels.
        p.setPen(QPen(i == 2 ? kSelectMarkerColour : kRunMarkerColour, 2, Qt::SolidLine,
                      Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRect(markerRect(i).adjusted(1, 1, -1, -1));
    }
    std::vector<bool> occupied(90, false);
    for (int row = 0; row < 10; ++row) {
        for (int col = 0; col < 9; ++col)
            occupied[static_cast<std::size_t>(row * 9 + col)] = at(row, col) != 0;
    }
    p.setFont(font_);
    notes_->paint(p, geometry_, occupied);
}

void BoardView::resizeEvent(QResizeEvent*) {
    repaintBoard();
}

void BoardView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    geometry_.pointAt(pos.x(), pos.y(), mouseRow_, mouseCol_);
    if (mouseRow_ >= 0 && mouseCol_ >= 0) {
        setCursor(boardCursor());
    } else {
        unsetCursor();
    }
}

void BoardView::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    geometry_.pointAt(pos.x(), pos.y(), mouseRow_, mouseCol_);
    emit clicked(event->button() == Qt::LeftButton, mouseRow_, mouseCol_);
}

void BoardView::leaveEvent(QEvent*) {
    clearHover();
}

}  // namespace xq
