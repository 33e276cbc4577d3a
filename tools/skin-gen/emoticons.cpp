// Small chat emoticons (UserRes/face/N.png), 24×24.
#include <QPainterPath>

#include "paint_kit.h"
#include "skin_art.h"

namespace skingen {

namespace {

// Yellow round emoticons; each differs in eyes and mouth.
enum Mood {
    kSmile,
    kGrin,
    kWink,
    kSurprise,
    kSad,
    kAngry,
    kCool,
    kTongue,
    kLove,
    kSleepy,
    kCry,
    kLaugh,
    kMoods
};

void emoticon(QPainter& p, Mood mood) {
    constexpr double c = 12.0;
    QRadialGradient face(QPointF(9, 8), 16);
    face.setColorAt(0, QColor(255, 240, 120));
    face.setColorAt(1, mood == kAngry ? QColor(240, 120, 60) : QColor(245, 186, 30));
    p.setPen(QPen(QColor(170, 110, 0), 0.8));
    p.setBrush(face);
    p.drawEllipse(QPointF(c, c), 10.8, 10.8);

    const QColor ink(80, 46, 10);
    QPen line(ink, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    auto dotEyes = [&] {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(QPointF(8.5, 9.5), 1.2, 1.6);
        p.drawEllipse(QPointF(15.5, 9.5), 1.2, 1.6);
    };
    auto closedEyes = [&](double dy) {
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(6.5, 8.5 + dy, 4, 3), 0, 180 * 16);
        p.drawArc(QRectF(13.5, 8.5 + dy, 4, 3), 0, 180 * 16);
    };
    auto mouth = [&](double top, double height, int start, int span) {
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(7.5, top, 9, height), start * 16, span * 16);
    };
    switch (mood) {
        case kSmile:
            dotEyes();
            mouth(10.5, 7, 200, 140);
            break;
        case kGrin:
        case kLaugh:
            if (mood == kGrin)
                dotEyes();
            else
                closedEyes(0);
            p.setPen(QPen(ink, 0.9));
            p.setBrush(QColor(150, 40, 30));
            p.drawChord(QRectF(7, 9.5, 10, 8), 180 * 16, 180 * 16);
            break;
        case kWink:
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawEllipse(QPointF(8.5, 9.5), 1.2, 1.6);
            p.setPen(line);
            p.drawLine(QPointF(13.8, 9.8), QPointF(17.2, 9.8));
            mouth(10.5, 7, 200, 140);
            break;
        case kSurprise:
            dotEyes();
            p.setPen(QPen(ink, 0.9));
            p.setBrush(QColor(120, 40, 20));
            p.drawEllipse(QPointF(c, 16.2), 2.0, 2.6);
            break;
        case kSad:
            dotEyes();
            mouth(15, 6, 20, 140);
            break;
        case kAngry:
            dotEyes();
            p.setPen(line);
            p.drawLine(QPointF(6.5, 6.5), QPointF(10.5, 8));
            p.drawLine(QPointF(17.5, 6.5), QPointF(13.5, 8));
            mouth(15, 6, 20, 140);
            break;
        case kCool:
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(30, 30, 40));
            p.drawRoundedRect(QRectF(5.5, 7.5, 5.8, 4), 1.5, 1.5);
            p.drawRoundedRect(QRectF(12.7, 7.5, 5.8, 4), 1.5, 1.5);
            p.setPen(QPen(QColor(30, 30, 40), 0.9));
            p.drawLine(QPointF(11, 8.5), QPointF(13, 8.5));
            mouth(11, 6, 200, 140);
            break;
        case kTongue:
            dotEyes();
            mouth(10.5, 7, 200, 140);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(230, 80, 90));
            p.drawEllipse(QPointF(13.5, 17.6), 1.9, 2.2);
            break;
        case kLove: {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(226, 30, 60));
            for (const double x : {8.5, 15.5}) {
                QPainterPath heart;
                heart.moveTo(x, 12);
                heart.cubicTo(x - 4.2, 9, x - 2, 5.6, x, 8);
                heart.cubicTo(x + 2, 5.6, x + 4.2, 9, x, 12);
                p.drawPath(heart);
            }
            mouth(10.5, 7, 200, 140);
            break;
        }
        case kSleepy:
            closedEyes(1.5);
            p.setPen(QPen(ink, 0.9));
            p.drawEllipse(QPointF(c, 16.5), 1.3, 1.3);
            p.setPen(QPen(QColor(60, 90, 170), 1.0));
            p.drawPolyline(QPolygonF({{17.5, 2.5}, {21, 2.5}, {17.5, 6}, {21, 6}}));
            break;
        case kCry:
            closedEyes(1.5);
            mouth(15, 6, 20, 140);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(80, 160, 240));
            p.drawEllipse(QPointF(7.5, 14.5), 1.2, 2.2);
            p.drawEllipse(QPointF(16.5, 14.5), 1.2, 2.2);
            break;
        case kMoods:
            break;
    }
}

}  // namespace

Pictures chatFaces() {
    Pictures out;
    for (int mood = 0; mood < kMoods; ++mood)
        out.push_back(
            {QStringLiteral("UserRes/face/%1.png").arg(mood + 1),
             supersampled(24, 24, [mood](QPainter& p) { emoticon(p, static_cast<Mood>(mood)); })});
    return out;
}

}  // namespace skingen
