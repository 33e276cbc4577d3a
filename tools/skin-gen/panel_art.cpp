// The player panels: the plate behind both, the colour flags and the clock digits. The client
// erases single elements by filling them with client::kPanel, so wherever an element sits the
// plate must be exactly that colour.
#include <QPainterPath>

#include "paint_kit.h"
#include "skin_art.h"

namespace skingen {

namespace {

// The plate is drawn at (12, top) and the first panel's face at (25, top + 15); the second panel
// is 190 pixels lower. Offsets below are relative to the plate.
constexpr int kPlateW = 130, kPlateH = 354;
constexpr int kSlotX = 13, kSlotY[2] = {15, 205};
constexpr int kClockX = kSlotX + 13;
constexpr int kClockA[2] = {78, 71};  // below the slot origin
constexpr int kClockGap = 45;
constexpr int kGroupStep = 35;
constexpr int kDigitW = 9, kDigitH = 16;

const QColor kInk(70, 34, 0);
const QColor kDark(150, 92, 0);
const QColor kLight(255, 214, 120);

// A recessed frame just outside the area the client erases around a clock, with colons
// between the three groups.
void clockFrame(QPainter& p, int x, int y) {
    const QRectF frame(x - 3.5, y - 3.5, 2 * kGroupStep + 22 + 6, kDigitH + 6);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kDark, 1.0));
    p.drawLine(frame.topLeft(), frame.topRight());
    p.drawLine(frame.topLeft(), frame.bottomLeft());
    p.setPen(QPen(kLight, 1.0));
    p.drawLine(frame.bottomLeft(), frame.bottomRight());
    p.drawLine(frame.topRight(), frame.bottomRight());
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (int g = 1; g < 3; ++g) {
        const double cx = x + g * kGroupStep - 7.5;
        p.drawRect(QRectF(cx, y + 4, 2, 2));
        p.drawRect(QRectF(cx, y + 10, 2, 2));
    }
}

void slotCard(QPainter& p, double top, double bottom) {
    const QRectF card(5.5, top + 0.5, kPlateW - 11, bottom - top);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kDark, 1.0));
    p.drawRoundedRect(card, 6, 6);
    p.setPen(QPen(kLight, 1.0));
    p.drawRoundedRect(card.translated(1, 1), 6, 6);
}

void label(QPainter& p, const CjkFont& font, int x, int y, const QString& text) {
    drawText(p, font, QRectF(x - 1, y - 16, 60, 14), text, 11, kInk, false,
             Qt::AlignLeft | Qt::AlignVCenter);
}

QImage userInfo(const CjkFont& font) {
    QImage image = canvas(kPlateW, kPlateH, client::kGamePane);
    ArtPainter p(&image);
    p.setPen(QPen(QColor(96, 56, 0), 1.0));
    p.setBrush(client::kPanel);
    p.drawRoundedRect(QRectF(0.5, 0.5, kPlateW - 1, kPlateH - 1), 9, 9);
    p.setPen(QPen(QColor(255, 200, 90), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1.5, 1.5, kPlateW - 3, kPlateH - 3), 8, 8);
    slotCard(p, 8, 162);
    slotCard(p, 198, 345);
    for (int slot = 0; slot < 2; ++slot) {
        const int a = kSlotY[slot] + kClockA[slot];
        clockFrame(p, kClockX, a);
        clockFrame(p, kClockX, a + kClockGap);
        label(p, font, kClockX, a - 4, QStringLiteral("局时"));
        label(p, font, kClockX, a + kClockGap - 4, QStringLiteral("步时"));
    }
    return image;
}

// A flag on a pole, waving; red or black cloth with a light emblem.
QImage flag(bool red) {
    QImage image = canvas(32, 32, client::kPanel);
    ArtPainter p(&image);
    QPainterPath cloth;
    cloth.moveTo(8, 4);
    cloth.cubicTo(14, 1, 20, 8, 28, 4);
    cloth.lineTo(28, 18);
    cloth.cubicTo(20, 22, 14, 15, 8, 18);
    cloth.closeSubpath();
    QLinearGradient shade(8, 0, 28, 0);
    const QColor base = red ? QColor(222, 30, 28) : QColor(44, 46, 56);
    shade.setColorAt(0.0, base);
    shade.setColorAt(0.45, red ? QColor(255, 92, 72) : QColor(96, 100, 116));
    shade.setColorAt(1.0, red ? QColor(168, 10, 14) : QColor(20, 22, 28));
    p.setPen(QPen(red ? QColor(120, 0, 0) : QColor(10, 10, 14), 1.0));
    p.setBrush(shade);
    p.drawPath(cloth);
    p.setPen(Qt::NoPen);
    p.setBrush(red ? QColor(255, 226, 120) : QColor(226, 230, 240));
    p.drawEllipse(QPointF(18, 11), 3.3, 3.3);
    // Pole with a gold knob.
    p.setBrush(QColor(90, 50, 10));
    p.drawRoundedRect(QRectF(5.5, 3, 2.5, 27), 1, 1);
    p.setBrush(QColor(250, 210, 90));
    p.drawEllipse(QPointF(6.8, 3), 2.4, 2.4);
    return image;
}

// Seven-segment digits with faint unlit segments, on the panel colour.
QImage digits() {
    QImage image = canvas(10 * kDigitW, kDigitH, client::kPanel);
    ArtPainter p(&image);
    // Segments a..g as (x, y, horizontal) in a 9×16 cell.
    struct Seg {
        double x, y;
        bool horizontal;
    };
    const Seg segs[7] = {{4.5, 1.5, true},  {7.3, 4.6, false},  {7.3, 11.3, false},
                         {4.5, 14.4, true}, {1.7, 11.3, false}, {1.7, 4.6, false},
                         {4.5, 8.0, true}};
    const int lit[10] = {0b0111111, 0b0000110, 0b1011011, 0b1001111, 0b1100110,
                         0b1101101, 0b1111101, 0b0000111, 0b1111111, 0b1101111};
    auto segment = [](const Seg& s) {
        const double half = s.horizontal ? 2.3 : 2.6, w = 1.05;
        QPolygonF poly = s.horizontal ? QPolygonF({{s.x - half - w, s.y},
                                                   {s.x - half, s.y - w},
                                                   {s.x + half, s.y - w},
                                                   {s.x + half + w, s.y},
                                                   {s.x + half, s.y + w},
                                                   {s.x - half, s.y + w}})
                                      : QPolygonF({{s.x, s.y - half - w},
                                                   {s.x + w, s.y - half},
                                                   {s.x + w, s.y + half},
                                                   {s.x, s.y + half + w},
                                                   {s.x - w, s.y + half},
                                                   {s.x - w, s.y - half}});
        return poly;
    };
    p.setPen(Qt::NoPen);
    for (int d = 0; d < 10; ++d) {
        for (int s = 0; s < 7; ++s) {
            const bool on = (lit[d] >> s) & 1;
            p.setBrush(on ? QColor(64, 20, 0) : QColor(206, 136, 0));
            p.drawPolygon(segment(segs[s]).translated(d * kDigitW, 0));
        }
    }
    return image;
}

}  // namespace

Pictures panelArt(const CjkFont& font) {
    return {
        {QStringLiteral("game/Res/UserInfo.bmp"), userInfo(font)},
        {QStringLiteral("game/Res/UserRunFlag_Red.bmp"), flag(true)},
        {QStringLiteral("game/Res/UserRunFlag_Blk.bmp"), flag(false)},
        {QStringLiteral("game/Res/number.bmp"), digits()},
    };
}

}  // namespace skingen
