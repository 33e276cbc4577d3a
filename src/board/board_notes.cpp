#include "board/board_notes.h"

#include <QPainter>
#include <QWidget>

#include "look/board_geometry.h"

namespace xq {
namespace {
const QColor kHintColour(0, 160, 60);
const QColor kCheckColour(230, 0, 0);
}  // namespace

BoardNotes::BoardNotes(QWidget& view) : QObject(&view), view_(view) {
    reasonTimer_.setSingleShot(true);
    checkTimer_.setSingleShot(true);
    connect(&reasonTimer_, &QTimer::timeout, this, [this] {
        reason_.clear();
        view_.update();
    });
    connect(&checkTimer_, &QTimer::timeout, this, [this] {
        checkShown_ = false;
        view_.update();
    });
}

void BoardNotes::setHints(std::vector<std::pair<int, int>> cells) {
    if (cells == hints_) return;
    hints_ = std::move(cells);
    view_.update();
}

void BoardNotes::showReason(const QString& text) {
    reason_ = text;
    reasonTimer_.start(kReasonMs);
    view_.update();
}

void BoardNotes::markCheck(int row, int col) {
    checkShown_ = true;
    checkCell_ = {row, col};
    checkTimer_.start(kCheckMs);
    view_.update();
}

void BoardNotes::clearCheck() {
    checkTimer_.stop();
    if (!checkShown_) return;
    checkShown_ = false;
    view_.update();
}

void BoardNotes::clear() {
    hints_.clear();
    reason_.clear();
    checkShown_ = false;
    reasonTimer_.stop();
    checkTimer_.stop();
    view_.update();
}

void BoardNotes::paint(QPainter& p, const BoardGeometry& g,
                       const std::vector<bool>& occupied) const {
    const int size = g.pieceSize;
    if (size <= 0) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    for (const auto& [row, col] : hints_) {
        if (row < 0 || row > 9 || col < 0 || col > 8) continue;
        const QRectF cell(g.cell(row, col), QSizeF(size, size));
        const bool piece = occupied[static_cast<std::size_t>(row * 9 + col)];
        if (piece) {  // a capture: a ring, so the piece stays in view
            p.setPen(QPen(kHintColour, std::max(2, size / 16)));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(cell.adjusted(1, 1, -1, -1));
        } else {
            const qreal r = std::max(3.0, size / 7.0);
            p.setPen(QPen(Qt::white, 1));
            p.setBrush(kHintColour);
            p.drawEllipse(cell.center(), r, r);
        }
    }
    if (checkShown_) {
        const QRectF cell(g.cell(checkCell_.first, checkCell_.second), QSizeF(size, size));
        p.setPen(QPen(kCheckColour, std::max(3, size / 10)));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(cell.adjusted(-2, -2, 2, 2));
    }
    if (!reason_.isEmpty()) {
        const QFontMetrics m(p.font());
        const int w = m.horizontalAdvance(reason_) + 24, h = m.height() + 12;
        const QRect box((view_.width() - w) / 2, view_.height() - h - 8, w, h);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 170));
        p.drawRoundedRect(box, 6, 6);
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignCenter, reason_);
    }
    p.restore();
}

}  // namespace xq
