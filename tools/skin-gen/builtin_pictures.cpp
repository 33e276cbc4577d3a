// Pictures compiled into the client: the game pane tile, the caption logo, the disconnected and
// hand-raised marks of the player panels and the board cursor.
#include <QPainterPath>

#include "paint_kit.h"
#include "skin_art.h"

namespace skingen {

namespace {

// A quiet diamond lattice on the pane blue; it repeats seamlessly every 32 pixels.
QImage gameBack() {
    QImage image = canvas(32, 32, client::kGamePane);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int a = (x + y) % 32, b = (x - y + 32) % 32;
            QColor c = client::kGamePane;
            if (a == 0 || b == 0)
                c = QColor(16, 84, 178);
            else if (a == 1 || b == 1)
                c = QColor(6, 64, 150);
            if ((x == 16 && y == 0) || (x == 0 && y == 16)) c = QColor(40, 110, 200);
            image.setPixelColor(x, y, c);
        }
    }
    return image;
}

// The caption's logo, and the same piece at any size for the desktop's icon.
QImage logo(const CjkFont& font, int size = 16) {
    return supersampled(size, size, [&font, size](QPainter& p) {
        p.scale(size / 16.0, size / 16.0);
        QRadialGradient wood(QPointF(6, 5), 10);
        wood.setColorAt(0, QColor(252, 230, 186));
        wood.setColorAt(1, QColor(220, 166, 96));
        p.setPen(QPen(QColor(120, 70, 20), 0.8));
        p.setBrush(wood);
        p.drawEllipse(QPointF(8, 8), 7.4, 7.4);
        p.setPen(QPen(QColor(196, 22, 18), 0.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(8, 8), 5.9, 5.9);
        drawText(p, font, QRectF(0, 0.3, 16, 16), QStringLiteral("棋"), 9, QColor(196, 22, 18),
                 true);
    });
}

// A plug pulled out of its socket, with a spark between them.
QImage netBreak() {
    return supersampled(32, 32, [](QPainter& p) {
        const QColor body(96, 104, 120), edge(40, 44, 56);
        p.setPen(QPen(edge, 0.9));
        // Cable and plug on the left.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(edge, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(1.5, 22), QPointF(5, 19));
        p.setPen(QPen(edge, 0.9));
        p.setBrush(body);
        p.drawRoundedRect(QRectF(4, 12, 7, 10), 2, 2);
        p.setBrush(QColor(220, 200, 120));
        p.drawRect(QRectF(11, 14, 3.5, 1.8));
        p.drawRect(QRectF(11, 18.2, 3.5, 1.8));
        // Socket on the right.
        p.setBrush(body);
        p.drawRoundedRect(QRectF(20, 11, 8, 12), 2, 2);
        p.setPen(QPen(edge, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(28, 17), QPointF(30.5, 13));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 30, 36));
        p.drawRect(QRectF(20.8, 14, 1.6, 1.8));
        p.drawRect(QRectF(20.8, 18.2, 1.6, 1.8));
        // Spark.
        p.setPen(QPen(QColor(150, 10, 0), 0.8));
        p.setBrush(QColor(240, 40, 30));
        p.drawPolygon(QPolygonF(
            {{17.8, 5}, {15, 15}, {18, 15}, {15.8, 27}, {20.2, 13}, {17.2, 13}, {19.8, 5}}));
    });
}

// An open hand raised, palm forward.
QImage hand() {
    return supersampled(32, 32, [](QPainter& p) {
        const QColor skin(255, 214, 170), edge(150, 90, 40);
        p.setPen(QPen(edge, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(skin);
        // Fingers first, the palm over their roots.
        const double xs[] = {9.6, 13.6, 17.6, 21.6};
        const double tops[] = {7.5, 3.5, 3.0, 6.0};
        for (int i = 0; i < 4; ++i)
            p.drawRoundedRect(QRectF(xs[i] - 1.9, tops[i], 3.8, 16 - tops[i] + 4), 1.9, 1.9);
        QPainterPath thumb;
        thumb.moveTo(22, 19);
        thumb.cubicTo(24, 16, 26.5, 12.5, 28, 13.5);
        thumb.cubicTo(29.5, 14.5, 27, 19, 24.5, 23);
        p.drawPath(thumb);
        QPainterPath palm;
        palm.moveTo(7.7, 15);
        palm.lineTo(24, 15);
        palm.cubicTo(25, 22, 23, 28, 18, 29.5);
        palm.lineTo(13, 29.5);
        palm.cubicTo(9, 28, 7.5, 22, 7.7, 15);
        p.setPen(Qt::NoPen);
        p.drawPath(palm);
        p.setPen(QPen(edge, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawPath(palm.subtracted([] {
            QPainterPath top;
            top.addRect(QRectF(0, 0, 32, 15.6));
            return top;
        }()));
        p.setPen(QPen(shade(skin, 0.82), 0.7));
        p.drawArc(QRectF(11, 17, 10, 6), 200 * 16, 140 * 16);
    });
}

// Corner brackets round the point under the mouse; white edged in dark so they show on every
// board style. The hot spot is the middle.
QImage cursor() {
    return supersampled(32, 32, [](QPainter& p) {
        QPainterPath marks;
        const double a = 3.5, b = 28.5, l = 7.0;
        for (const QPointF c : {QPointF(a, a), QPointF(b, a), QPointF(a, b), QPointF(b, b)}) {
            const double sx = c.x() < 16 ? 1 : -1, sy = c.y() < 16 ? 1 : -1;
            marks.moveTo(c.x() + sx * l, c.y());
            marks.lineTo(c);
            marks.lineTo(c.x(), c.y() + sy * l);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(30, 20, 10, 220), 4.2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawPath(marks);
        p.setPen(QPen(QColor(255, 250, 235), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawPath(marks);
        p.setPen(QPen(QColor(30, 20, 10, 220), 1.0));
        p.setBrush(QColor(230, 40, 30));
        p.drawEllipse(QPointF(16, 16), 2.2, 2.2);
    });
}

}  // namespace

Pictures builtinPictures(const CjkFont& font) {
    return {
        {QStringLiteral("gameback.png"), gameBack()},
        {QStringLiteral("logo.png"), logo(font)},
        {QStringLiteral("netbreak.png"), netBreak()},
        {QStringLiteral("hand.png"), hand()},
        {QStringLiteral("cursor.png"), cursor()},
        // Not compiled in: the icon the desktop shows for the programs (installed).
        {QStringLiteral("xqtable.png"), logo(font, 256)},
    };
}

}  // namespace skingen
