// The skinned window frame: caption bar pieces, the system buttons that sit on it and the two
// user buttons of the right pane.
#include <QPainterPath>

#include "paint_kit.h"
#include "skin_art.h"

namespace skingen {

namespace {

constexpr int kCaptionHeight = 25;  // drawn at y = 2, the caption band ends at y = 27
constexpr int kSysTop = 1;          // system buttons sit at y = 3, one row into the caption
constexpr int kSysW = 20, kSysH = 23;
constexpr int kUserW = 41, kUserH = 25;

// The caption's colour on row y: a cool steel gradient light enough for black title text.
QColor captionRow(int y) {
    if (y == 0) return QColor(250, 252, 255);
    if (y == kCaptionHeight - 1) return QColor(132, 156, 192);
    const double t = static_cast<double>(y) / (kCaptionHeight - 1);
    if (t < 0.5) return blend(QColor(234, 241, 251), QColor(205, 220, 240), t / 0.5);
    return blend(QColor(194, 211, 236), QColor(172, 193, 224), (t - 0.5) / 0.5);
}

void fillCaption(QImage& image, int firstRow) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, y, captionRow(firstRow + y));
}

enum Glyph { kMinimise, kMaximise, kRestore, kClose };

void glyph(QPainter& p, Glyph g, const QColor& ink) {
    p.save();
    p.translate(kSysW / 2.0, kSysH / 2.0);
    QPen pen(ink, 1.6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (g) {
        case kMinimise:
            p.fillRect(QRectF(-4.5, 2.5, 9, 2), ink);
            break;
        case kMaximise:
            p.drawRect(QRectF(-4.5, -4.5, 9, 9));
            p.fillRect(QRectF(-4.5, -4.5, 9, 2), ink);
            break;
        case kRestore:
            // The window behind shows only above and right of the one in front.
            p.drawPolyline(
                QPolygonF({{-2.5, -1.5}, {-2.5, -5.5}, {5.5, -5.5}, {5.5, 1.5}, {2.5, 1.5}}));
            p.drawRect(QRectF(-5.5, -1.5, 8, 7));
            p.fillRect(QRectF(-5.5, -1.5, 8, 1.6), ink);
            break;
        case kClose:
            pen.setWidthF(2.0);
            pen.setCapStyle(Qt::RoundCap);
            p.setPen(pen);
            p.drawLine(QPointF(-4.5, -4.5), QPointF(4.5, 4.5));
            p.drawLine(QPointF(4.5, -4.5), QPointF(-4.5, 4.5));
            break;
    }
    p.restore();
}

QImage sysMenu() {
    QImage image = canvas(8 * kSysW, kSysH);
    fillCaption(image, kSysTop);
    ArtPainter p(&image);
    for (int hot = 0; hot < 2; ++hot) {
        for (int g = 0; g < 4; ++g) {
            p.save();
            p.translate(hot * 4 * kSysW + g * kSysW, 0);
            const QRectF face(1, 1, kSysW - 2, kSysH - 2);
            QColor ink(52, 64, 88);
            if (hot) {
                if (g == kClose) {
                    litBox(p, face, 3, QColor(240, 110, 96), QColor(196, 40, 32),
                           QColor(140, 30, 24));
                    ink = Qt::white;
                } else {
                    litBox(p, face, 3, QColor(252, 253, 255), QColor(208, 224, 246),
                           QColor(104, 136, 190));
                }
            }
            glyph(p, static_cast<Glyph>(g), ink);
            p.restore();
        }
    }
    return image;
}

QImage captionRight() {
    QImage image = canvas(121, kCaptionHeight);
    fillCaption(image, 0);
    ArtPainter p(&image);
    // A shallow tray behind the three system buttons (drawn at x = 50..110 of this piece).
    p.setPen(QPen(QColor(150, 172, 206), 1.0));
    p.setBrush(QColor(188, 206, 232));
    p.drawRoundedRect(QRectF(46.5, 0.5, 67, kCaptionHeight - 1.5), 4, 4);
    return image;
}

QImage frameCaptionTile() {
    QImage image = canvas(9, kCaptionHeight);
    fillCaption(image, 0);
    return image;
}

void gear(QPainter& p, QPointF c, const QColor& ink) {
    p.save();
    p.translate(c);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    for (int i = 0; i < 8; ++i) {
        p.drawRect(QRectF(-1.1, -6.0, 2.2, 3.0));
        p.rotate(45);
    }
    p.drawEllipse(QPointF(0, 0), 4.3, 4.3);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(0, 0), 1.8, 1.8);
    p.restore();
}

void helpMark(QPainter& p, QPointF c, const QColor& ink, const CjkFont& font) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(c, 5.6, 5.6);
    drawText(p, font, QRectF(c.x() - 6, c.y() - 6.5, 12, 13), QStringLiteral("?"), 10, Qt::white,
             true);
}

QImage userButtons(const CjkFont& font) {
    QImage image = canvas(4 * kUserW, kUserH, client::kWindow);
    ArtPainter p(&image);
    const QString labels[] = {QStringLiteral("设置"), QStringLiteral("帮助")};
    for (int hot = 0; hot < 2; ++hot) {
        for (int i = 0; i < 2; ++i) {
            p.save();
            p.translate(hot * 2 * kUserW + i * kUserW, 0);
            const QRectF face(0, 2, kUserW, kUserH - 4);
            if (hot)
                litBox(p, face, 5, QColor(240, 247, 255), QColor(186, 212, 246),
                       QColor(84, 128, 200));
            else
                litBox(p, face, 5, QColor(255, 255, 255), QColor(226, 232, 242),
                       QColor(168, 180, 204));
            const QColor ink = hot ? QColor(30, 70, 150) : QColor(70, 84, 110);
            if (i == 0)
                gear(p, QPointF(9.5, kUserH / 2.0), ink);
            else
                helpMark(p, QPointF(9.5, kUserH / 2.0), ink, font);
            drawText(p, font, QRectF(16, 0, kUserW - 17, kUserH), labels[i], 11,
                     hot ? QColor(20, 40, 90) : QColor(40, 44, 56), false,
                     Qt::AlignVCenter | Qt::AlignLeft);
            p.restore();
        }
    }
    return image;
}

}  // namespace

Pictures frameArt(const CjkFont& font) {
    return {
        {QStringLiteral("game/Res/CaptionBack.bmp"), frameCaptionTile()},
        {QStringLiteral("game/Res/CaptionBackRight.bmp"), captionRight()},
        {QStringLiteral("game/Res/SysMenu.bmp"), sysMenu()},
        {QStringLiteral("game/Res/UserButton.bmp"), userButtons(font)},
    };
}

}  // namespace skingen
