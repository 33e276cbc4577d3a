#include "hallui/table_cell.h"

#include <QFontMetrics>
#include <QPainterPath>

#include "hall/level_titles.h"
#include "hallui/hall_look.h"
#include "look/board_geometry.h"

namespace xq::hall::table_cell {
namespace {

constexpr int kSeatWidth = 70;
constexpr int kFace = 36;
const QRect kTitle(10, 4, kSize.width() - 20, 20);
const QRect kBoard(86, 30, 60, 66);
const QRect kFooter(10, kSize.height() - 26, kSize.width() - 20, 20);

void drawFittedText(QPainter& p, const QRect& r, const QString& text, Qt::Alignment align) {
    p.drawText(r, align, p.fontMetrics().elidedText(text, Qt::ElideRight, r.width()));
}

// An empty chair: its outline, waiting for someone.
void paintEmptySeat(QPainter& p, const QRect& seat) {
    const QRect chair(seat.center().x() - kFace / 2, seat.top() + 6, kFace, kFace);
    p.setPen(QPen(kTableEdge, 1.5, Qt::DashLine));
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawRoundedRect(chair, 6, 6);
    p.setPen(kTableEdge);
    drawFittedText(p, QRect(seat.left(), chair.bottom() + 6, seat.width(), 16),
                   QStringLiteral("空座"), Qt::AlignHCenter | Qt::AlignVCenter);
}

void paintPlayer(QPainter& p, const QRect& seat, const QString& name, int score,
                 const QImage* face) {
    const QRect picture(seat.center().x() - kFace / 2, seat.top() + 6, kFace, kFace);
    p.setPen(QPen(kTableEdge, 1));
    p.setBrush(QColor(255, 240, 200));
    p.drawRoundedRect(picture.adjusted(-1, -1, 1, 1), 4, 4);
    if (face != nullptr && !face->isNull()) p.drawImage(picture.adjusted(2, 2, -2, -2), *face);
    p.setPen(Qt::black);
    drawFittedText(p, QRect(seat.left(), picture.bottom() + 6, seat.width(), 16), name,
                   Qt::AlignHCenter | Qt::AlignVCenter);
    p.setPen(QColor(90, 40, 0));
    drawFittedText(p, QRect(seat.left(), picture.bottom() + 22, seat.width(), 16),
                   levelTitle(score), Qt::AlignHCenter | Qt::AlignVCenter);
}

}  // namespace

QRect seatRect(int seat) {
    const int x = seat == 0 ? 10 : kSize.width() - 10 - kSeatWidth;
    return {x, 26, kSeatWidth, 94};
}

QRect boardRect() {
    return kBoard;
}

int seatAt(QPoint inCard) {
    for (int seat = 0; seat < 2; ++seat) {
        if (seatRect(seat).contains(inCard)) return seat;
    }
    return kNoSeat;
}

QPixmap boardThumbnail(const QImage* surface, qreal ratio) {
    QPixmap out(kBoard.size() * ratio);
    out.setDevicePixelRatio(ratio);
    out.fill(plainBoardColour());
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area(QPointF(0, 0), QSizeF(kBoard.size()));
    // A corner of the surface: its grain without the river's words, which would only be specks.
    if (surface != nullptr && !surface->isNull())
        p.drawImage(area, *surface, QRectF(0, 0, surface->width() / 3.0, surface->height() / 3.0));
    // Nine files and ten ranks, with the river between the fifth and sixth rank.
    const qreal left = 6, top = 5, dx = (area.width() - 2 * left) / 8,
                dy = (area.height() - 2 * top) / 9;
    QColor ink = darkLineColour(0);
    ink.setAlpha(170);
    p.setPen(QPen(ink, 0.6));
    for (int rank = 0; rank < 10; ++rank)
        p.drawLine(QPointF(left, top + rank * dy), QPointF(left + 8 * dx, top + rank * dy));
    for (int file = 0; file < 9; ++file) {
        const qreal x = left + file * dx;
        if (file == 0 || file == 8) {
            p.drawLine(QPointF(x, top), QPointF(x, top + 9 * dy));
        } else {
            p.drawLine(QPointF(x, top), QPointF(x, top + 4 * dy));
            p.drawLine(QPointF(x, top + 5 * dy), QPointF(x, top + 9 * dy));
        }
    }
    // The palaces' diagonals.
    for (const qreal y0 : {top, top + 7 * dy}) {
        p.drawLine(QPointF(left + 3 * dx, y0), QPointF(left + 5 * dx, y0 + 2 * dy));
        p.drawLine(QPointF(left + 5 * dx, y0), QPointF(left + 3 * dx, y0 + 2 * dy));
    }
    return out;
}

void paint(QPainter& p, QPoint origin, const Look& look, const QFont& font) {
    p.save();
    p.translate(origin);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(font);
    const TableRow& row = look.row;

    const QRectF card = QRectF(QPointF(0, 0), QSizeF(kSize)).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(QPen(look.hover && look.hoverSeat == kNoSeat ? Qt::white : kTableEdge,
                  look.hover && look.hoverSeat == kNoSeat ? 2.5 : 1.5));
    p.setBrush(kTableBack);
    p.drawRoundedRect(card, 8, 8);

    QFont bold = font;
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(Qt::black);
    p.drawText(kTitle, Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("第 %1 桌").arg(row.number));
    p.setFont(font);
    if (row.playing) {
        p.setPen(kPlayingMark);
        p.drawText(kTitle, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("对局中"));
    } else {
        p.setPen(QColor(90, 60, 20));
        p.drawText(kTitle, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("未开局"));
    }

    p.drawPixmap(kBoard.topLeft(), look.board);
    p.setPen(QPen(row.playing ? kPlayingMark : kTableEdge, row.playing ? 2 : 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(kBoard).adjusted(-0.5, -0.5, 0.5, 0.5));

    for (int seat = 0; seat < 2; ++seat) {
        const auto s = static_cast<std::size_t>(seat);
        const QRect r = seatRect(seat);
        if (look.hover && look.hoverSeat == seat) {
            p.setPen(QPen(Qt::white, 2));
            p.setBrush(QColor(255, 255, 255, 50));
            p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        }
        if (row.names[s].isEmpty()) {
            paintEmptySeat(p, r);
        } else {
            paintPlayer(p, r, row.names[s], row.scores[s], look.faces[s]);
        }
    }

    p.setPen(QColor(60, 30, 0));
    p.drawText(kFooter, Qt::AlignHCenter | Qt::AlignVCenter,
               row.spectators > 0 ? QStringLiteral("旁观 %1 人").arg(row.spectators)
                                  : QStringLiteral("无人旁观"));
    p.restore();
}

}  // namespace xq::hall::table_cell
