// The replay window: navigation button sheet, command button pictures (these carry their
// captions, since the client then shows no text) and the two background pictures.
#include <QPainterPath>

#include "noise.h"
#include "paint_kit.h"
#include "skin_art.h"

namespace skingen {

namespace {

constexpr int kNavCell = 22, kNavActive = 18, kNavH = 19;
const QColor kStrip(226, 206, 170);  // the face of the strip behind the navigation buttons

enum Nav { kFirst, kBack, kPlay, kForward, kLast };

void triangle(QPainter& p, double x, double cy, bool right, double w = 5.0, double h = 9.0) {
    if (right)
        p.drawPolygon(QPolygonF({{x, cy - h / 2}, {x + w, cy}, {x, cy + h / 2}}));
    else
        p.drawPolygon(QPolygonF({{x + w, cy - h / 2}, {x, cy}, {x + w, cy + h / 2}}));
}

void navGlyph(QPainter& p, Nav nav, const QColor& ink) {
    const double cy = kNavH / 2.0;
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    switch (nav) {
        case kFirst:
            p.drawRect(QRectF(3.5, cy - 4.5, 1.6, 9));
            triangle(p, 5.2, cy, false);
            triangle(p, 9.8, cy, false);
            break;
        case kBack:
            triangle(p, 3.5, cy, false);
            triangle(p, 8.5, cy, false);
            break;
        case kPlay:
            triangle(p, 6.0, cy, true, 7.0, 10.0);
            break;
        case kForward:
            triangle(p, 4.0, cy, true);
            triangle(p, 9.0, cy, true);
            break;
        case kLast:
            triangle(p, 3.0, cy, true);
            triangle(p, 7.6, cy, true);
            p.drawRect(QRectF(12.9, cy - 4.5, 1.6, 9));
            break;
    }
}

QImage navButtons() {
    QImage image = canvas(10 * kNavCell, kNavH, kStrip);
    ArtPainter p(&image);
    for (int hot = 0; hot < 2; ++hot) {
        for (int i = 0; i < 5; ++i) {
            p.save();
            p.translate(hot * 5 * kNavCell + i * kNavCell, 0);
            const QRectF face(0, 0, kNavActive, kNavH);
            if (hot)
                litBox(p, face, 4, QColor(255, 250, 226), QColor(250, 200, 96),
                       QColor(170, 100, 10));
            else
                litBox(p, face, 4, QColor(255, 252, 244), QColor(232, 216, 186),
                       QColor(150, 116, 70));
            navGlyph(
                p, static_cast<Nav>(i),
                i == kPlay ? QColor(30, 128, 50) : (hot ? QColor(120, 50, 0) : QColor(84, 56, 30)));
            p.restore();
        }
    }
    return image;
}

QImage navStrip() {
    QImage image = canvas(126, 31, kStrip);
    ArtPainter p(&image);
    p.setPen(QPen(QColor(150, 116, 70), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 125, 30));
    p.setPen(QPen(QColor(250, 238, 214), 1.0));
    p.drawRect(QRectF(1.5, 1.5, 123, 28));
    return image;
}

QImage commandButton(const CjkFont& font, const QString& caption) {
    QImage image = canvas(120, 22, kStrip);
    ArtPainter p(&image);
    litBox(p, QRectF(0, 0, 120, 22), 3, QColor(255, 250, 238), QColor(228, 204, 160),
           QColor(140, 100, 50));
    drawText(p, font, QRectF(0, 1, 120, 22), caption, 13, QColor(255, 255, 255, 170));
    drawText(p, font, QRectF(0, 0, 120, 22), caption, 13, QColor(70, 36, 8));
    return image;
}

// Behind the replay board (drawn at (90, 17) of this picture, 379×418): a dark wooden table, a
// carved frame round the board and the window's title written down the left side.
QImage replayBack(const CjkFont& font) {
    constexpr int w = 575, h = 462;
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    const Noise n(71);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double grain = n.fbm(x * 0.01, y * 0.25, 3);
            const double streak =
                0.5 + 0.5 * std::sin(2 * M_PI * (y * 0.02 + 2.0 * n.fbm(x * 0.003, y * 0.01, 3)));
            line[x] =
                blend(QColor(120, 70, 36), QColor(78, 42, 20), 0.6 * grain + 0.4 * streak).rgb();
        }
    }
    ArtPainter p(&image);
    const QRectF board(90, 17, 379, 418);
    // Soft shadow, then the frame.
    for (int i = 6; i > 0; --i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 22));
        p.drawRoundedRect(board.adjusted(-8 - i + 3, -8 - i + 5, 8 + i + 3, 8 + i + 5), 6, 6);
    }
    litBox(p, board.adjusted(-8, -8, 8, 8), 5, QColor(236, 190, 120), QColor(170, 110, 50),
           QColor(60, 30, 8));
    p.setPen(QPen(QColor(90, 50, 16), 1.0));
    p.setBrush(QColor(60, 32, 10));
    p.drawRect(board.adjusted(-2.5, -2.5, 2.5, 2.5));

    // The title, one character a line, and a red seal below it.
    const QColor gold(250, 222, 150);
    const QString title = QStringLiteral("复盘");
    for (int i = 0; i < title.size(); ++i) {
        drawText(p, font, QRectF(14, 60 + i * 52 + 2, 56, 52), title.mid(i, 1), 40,
                 QColor(30, 12, 0, 160), true);
        drawText(p, font, QRectF(12, 60 + i * 52, 56, 52), title.mid(i, 1), 40, gold, true);
    }
    const QRectF seal(24, 186, 32, 32);
    p.setPen(QPen(QColor(255, 230, 210), 1.5));
    p.setBrush(QColor(196, 28, 24));
    p.drawRoundedRect(seal, 3, 3);
    drawText(p, font, seal, QStringLiteral("棋"), 22, QColor(255, 236, 220), true);
    return image;
}

}  // namespace

Pictures replayArt(const CjkFont& font) {
    Pictures out{
        {QStringLiteral("game/Res/FuPan_But.bmp"), navButtons()},
        {QStringLiteral("game/Res/FuPan_ButBk.bmp"), navStrip()},
        {QStringLiteral("game/Res/fupanbk.bmp"), replayBack(font)},
    };
    const QString captions[] = {QStringLiteral("还 原"), QStringLiteral("保 存"),
                                QStringLiteral("读 入"), QStringLiteral("导出棋谱"),
                                QStringLiteral("关 闭")};
    for (int i = 0; i < 5; ++i)
        out.push_back(
            {QStringLiteral("game/Res/FuPan_Cmd%1.bmp").arg(i), commandButton(font, captions[i])});
    return out;
}

}  // namespace skingen
