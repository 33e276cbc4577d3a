// Message box icons (hall/res/MsgN.ico, N = box type): 0 a notice, 1 information, 2 a question.
#include <QPainterPath>

#include "paint_kit.h"
#include "skin_art.h"

namespace skingen {

namespace {

// A round glossy badge with a white mark drawn from strokes (no font: the marks must look the
// same on every machine).
void badge(QPainter& p, const QColor& colour, int type) {
    QRadialGradient body(QPointF(12, 10), 22);
    body.setColorAt(0, shade(colour, 1.45));
    body.setColorAt(1, shade(colour, 0.8));
    p.setPen(QPen(shade(colour, 0.55), 1.0));
    p.setBrush(body);
    p.drawEllipse(QPointF(16, 16), 14.5, 14.5);

    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    switch (type) {
        case 0:  // notice: "!"
            p.drawRoundedRect(QRectF(14, 6.5, 4, 13), 2, 2);
            p.drawEllipse(QPointF(16, 23.5), 2.3, 2.3);
            break;
        case 1:  // information: "i"
            p.drawEllipse(QPointF(16, 8.8), 2.3, 2.3);
            p.drawRoundedRect(QRectF(14, 13, 4, 13), 1.5, 1.5);
            break;
        default: {  // question: "?"
            QPen hook(Qt::white, 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            p.setPen(hook);
            p.setBrush(Qt::NoBrush);
            QPainterPath path;
            path.moveTo(11.2, 11.5);
            path.cubicTo(11.2, 5.5, 21, 5.5, 20.8, 11.2);
            path.cubicTo(20.6, 15, 16, 15, 16, 19);
            p.drawPath(path);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(16, 24.3), 2.3, 2.3);
            break;
        }
    }
    // Gloss.
    QLinearGradient gloss(0, 2, 0, 16);
    gloss.setColorAt(0, QColor(255, 255, 255, 120));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(gloss);
    p.drawEllipse(QRectF(6, 2.5, 20, 12));
}

}  // namespace

Pictures messageIcons() {
    const QColor colours[] = {QColor(240, 150, 20), QColor(40, 110, 210), QColor(40, 160, 80)};
    Pictures out;
    for (int type = 0; type < 3; ++type)
        out.push_back(
            {QStringLiteral("res/Msg%1.ico").arg(type),
             supersampled(32, 32, [&, type](QPainter& p) { badge(p, colours[type], type); })});
    return out;
}

}  // namespace skingen
