// Faces: the players' 32×32 portraits (UserRes/LargeUser/N.ico, N = face number + 1) and a few
// small chat emoticons (UserRes/face). Portraits are varied from the number alone, so every
// build draws the same person for the same number.
#include <QPainterPath>
#include <array>

#include "paint_kit.h"
#include "skin_art.h"

namespace skingen {

namespace {

const std::array<QColor, 8> kBackdrops{
    QColor(110, 170, 230), QColor(140, 200, 150), QColor(240, 180, 110), QColor(200, 150, 220),
    QColor(240, 140, 140), QColor(120, 200, 200), QColor(230, 210, 120), QColor(160, 170, 190)};
const std::array<QColor, 4> kSkins{QColor(255, 222, 196), QColor(240, 200, 160),
                                   QColor(214, 164, 120), QColor(170, 120, 84)};
const std::array<QColor, 5> kHairs{QColor(40, 30, 24), QColor(100, 60, 30), QColor(200, 150, 70),
                                   QColor(150, 150, 156), QColor(160, 50, 30)};
const std::array<QColor, 6> kShirts{QColor(40, 80, 160),  QColor(190, 40, 40),
                                    QColor(40, 130, 80),  QColor(90, 90, 100),
                                    QColor(230, 150, 30), QColor(120, 60, 150)};

enum Hair { kShort, kLong, kBun, kSpiky, kCap, kBald, kHairStyles };

void portrait(QPainter& p, int number) {
    const auto pick = [number](int salt, int size) {
        return static_cast<int>((static_cast<unsigned>(number) * 2654435761U >> (salt * 3)) % size);
    };
    const QColor back = kBackdrops[(number - 1) % kBackdrops.size()];
    const QColor skin = kSkins[pick(1, kSkins.size())];
    const QColor hair = kHairs[pick(2, kHairs.size())];
    const QColor shirt = kShirts[pick(3, kShirts.size())];
    const auto style = static_cast<Hair>((number * 5 + 1) % kHairStyles);
    const bool glasses = number % 4 == 3;

    QLinearGradient bg(0, 0, 0, 32);
    bg.setColorAt(0, shade(back, 1.25));
    bg.setColorAt(1, shade(back, 0.85));
    p.setPen(QPen(shade(back, 0.6), 0.8));
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);
    p.setClipPath([] {
        QPainterPath clip;
        clip.addRoundedRect(QRectF(0.9, 0.9, 30.2, 30.2), 5.6, 5.6);
        return clip;
    }());

    p.setPen(Qt::NoPen);
    if (style == kLong) {
        p.setBrush(hair);
        p.drawRoundedRect(QRectF(7, 7, 18, 20), 7, 7);
    }
    // Shoulders and neck.
    QPainterPath body;
    body.moveTo(3, 33);
    body.cubicTo(4, 24, 10, 23, 16, 23);
    body.cubicTo(22, 23, 28, 24, 29, 33);
    body.closeSubpath();
    p.setBrush(shirt);
    p.drawPath(body);
    p.setBrush(shade(skin, 0.92));
    p.drawRect(QRectF(13.5, 19, 5, 5));
    // Head and ears.
    p.setBrush(skin);
    p.drawEllipse(QPointF(8.6, 15), 1.6, 2.2);
    p.drawEllipse(QPointF(23.4, 15), 1.6, 2.2);
    p.drawEllipse(QPointF(16, 14.5), 7.5, 8.4);

    p.setBrush(hair);
    QPainterPath top;
    switch (style) {
        case kShort:
        case kLong:
            top.moveTo(8.2, 14);
            top.cubicTo(7.5, 4, 24.5, 4, 23.8, 14);
            top.cubicTo(21, 9, 14, 10, 8.2, 14);
            p.drawPath(top);
            break;
        case kBun:
            p.drawEllipse(QPointF(16, 4.8), 3.4, 3.0);
            top.moveTo(8.4, 13);
            top.cubicTo(8.5, 5, 23.5, 5, 23.6, 13);
            top.cubicTo(20, 10, 12, 10, 8.4, 13);
            p.drawPath(top);
            break;
        case kSpiky:
            p.drawPolygon(QPolygonF({{8, 13},
                                     {7.5, 7},
                                     {10.5, 8},
                                     {11.5, 3.5},
                                     {14.5, 7},
                                     {16.5, 2.5},
                                     {18.5, 6.5},
                                     {21.5, 3.5},
                                     {22, 8},
                                     {24.5, 7.5},
                                     {24, 13},
                                     {19, 9.5},
                                     {13, 9.5}}));
            break;
        case kCap: {
            const QColor cap = shade(shirt, 1.15);
            p.setBrush(cap);
            top.moveTo(8, 11.5);
            top.cubicTo(8, 3, 24, 3, 24, 11.5);
            top.closeSubpath();
            p.drawPath(top);
            p.setBrush(shade(cap, 0.8));
            p.drawRoundedRect(QRectF(7, 10.5, 19, 2.4), 1.2, 1.2);
            break;
        }
        case kBald:
        case kHairStyles:
            p.drawEllipse(QPointF(9.2, 12), 1.6, 3.0);
            p.drawEllipse(QPointF(22.8, 12), 1.6, 3.0);
            break;
    }

    // Eyes, cheeks and a smile.
    p.setBrush(QColor(40, 30, 30));
    p.drawEllipse(QPointF(13, 15), 0.95, 1.15);
    p.drawEllipse(QPointF(19, 15), 0.95, 1.15);
    p.setBrush(QColor(255, 120, 120, 70));
    p.drawEllipse(QPointF(11, 18), 1.6, 1.0);
    p.drawEllipse(QPointF(21, 18), 1.6, 1.0);
    p.setPen(QPen(QColor(120, 50, 40), 0.9, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(13.2, 16.2, 5.6, 3.8), 200 * 16, 140 * 16);
    if (glasses) {
        p.setPen(QPen(QColor(40, 40, 50), 0.7));
        p.drawEllipse(QPointF(13, 15), 2.3, 2.0);
        p.drawEllipse(QPointF(19, 15), 2.3, 2.0);
        p.drawLine(QPointF(15.3, 15), QPointF(16.7, 15));
    }
}

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

Pictures userFaces() {
    Pictures out;
    auto add = [&out](int number) {
        out.push_back({QStringLiteral("UserRes/LargeUser/%1.ico").arg(number),
                       supersampled(32, 32, [number](QPainter& p) { portrait(p, number); })});
    };
    for (int number = 1; number <= 24; ++number)
        add(number);
    add(1000);
    return out;
}

Pictures chatFaces() {
    Pictures out;
    for (int mood = 0; mood < kMoods; ++mood)
        out.push_back(
            {QStringLiteral("UserRes/face/%1.png").arg(mood + 1),
             supersampled(24, 24, [mood](QPainter& p) { emoticon(p, static_cast<Mood>(mood)); })});
    return out;
}

}  // namespace skingen
