// The players' 32×32 portraits (UserRes/LargeUser/N.ico, N = face number + 1). Each is varied
// from its number alone, so every build draws the same person for the same number.
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

}  // namespace skingen
