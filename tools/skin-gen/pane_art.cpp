// The vertical splitter and the game pane's frame: edges, corner ornament and the plate behind
// the style selectors. The pane itself is blue (client::kGamePane).
#include <QPainterPath>

#include "paint_kit.h"
#include "skin_art.h"

namespace skingen {

namespace {

constexpr int kSplitterW = 12;
constexpr int kEdge = 7;
constexpr int kEdgeStep = 16;

// The splitter's colour across its width: a rounded steel bar, lit from the left.
QColor splitterColumn(int x, bool grip) {
    if (x == 0) return QColor(252, 253, 255);
    if (x == kSplitterW - 1) return QColor(112, 132, 168);
    const double t = (x - 1) / static_cast<double>(kSplitterW - 3);
    return grip ? blend(QColor(196, 212, 238), QColor(150, 174, 214), t)
                : blend(QColor(222, 231, 246), QColor(182, 198, 226), t);
}

QImage splitterTile(bool grip) {
    QImage image = canvas(kSplitterW, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < kSplitterW; ++x)
            image.setPixelColor(x, y, splitterColumn(x, grip));
    if (grip) {
        // Two columns of raised dots every third row make the middle band look grippable.
        for (int x : {4, 7}) {
            image.setPixelColor(x, 1, QColor(255, 255, 255));
            image.setPixelColor(x + 1, 2, QColor(96, 118, 160));
        }
    }
    return image;
}

QImage splitterArrow(bool right) {
    QImage image = canvas(kSplitterW, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < kSplitterW; ++x)
            image.setPixelColor(x, y, splitterColumn(x, true));
    ArtPainter p(&image);
    QPolygonF arrow = right ? QPolygonF({{3.5, 0.5}, {8.5, 4.5}, {3.5, 8.5}})
                            : QPolygonF({{8.5, 0.5}, {3.5, 4.5}, {8.5, 8.5}});
    p.setPen(QPen(QColor(24, 44, 92), 1.0));
    p.setBrush(QColor(40, 70, 130));
    p.drawPolygon(arrow);
    return image;
}

// The edge profile from the pane's outer rim (i = 0) inwards: a navy rim, a gold bead and a
// shadow that fades into the pane.
QColor edgeProfile(int i) {
    static const QColor profile[kEdge] = {
        QColor(3, 26, 70),   QColor(32, 78, 160), QColor(246, 214, 122), QColor(196, 148, 52),
        QColor(110, 80, 30), QColor(6, 46, 118),  QColor(7, 60, 145),
    };
    return profile[i];
}

QImage rightEdge() {
    QImage image = canvas(kEdge, kEdgeStep);
    for (int y = 0; y < kEdgeStep; ++y)
        for (int x = 0; x < kEdge; ++x)
            image.setPixelColor(x, y, edgeProfile(kEdge - 1 - x));
    return image;
}

QImage topEdge() {
    QImage image = canvas(kEdgeStep, kEdge);
    for (int y = 0; y < kEdge; ++y)
        for (int x = 0; x < kEdgeStep; ++x)
            image.setPixelColor(x, y, edgeProfile(y));
    return image;
}

// Top-right corner: the two edges meet under a gold cloud scroll.
QImage corner() {
    constexpr int w = 53, h = 50;
    QImage image = canvas(w, h, client::kGamePane);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int fromTop = y, fromRight = w - 1 - x;
            const int d = std::min(fromTop, fromRight);
            if (d < kEdge) image.setPixelColor(x, y, edgeProfile(d));
        }
    ArtPainter p(&image);
    const QColor gold(246, 210, 110), deep(150, 100, 30);
    QPainterPath scroll;
    // A quarter-circle bracket hugging the corner, ending in two curls.
    scroll.moveTo(w - 8, 40);
    scroll.cubicTo(w - 8, 24, w - 24, 8, w - 40, 8);
    QPen pen(deep, 4.0, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.drawPath(scroll.translated(0.8, 0.8));
    pen.setColor(gold);
    pen.setWidthF(2.6);
    p.setPen(pen);
    p.drawPath(scroll);
    for (const QPointF c : {QPointF(w - 12.5, 42.5), QPointF(w - 42.5, 12.5)}) {
        p.setPen(QPen(deep, 1.2));
        p.setBrush(gold);
        p.drawEllipse(c, 4.2, 4.2);
        p.setBrush(QColor(255, 244, 200));
        p.setPen(Qt::NoPen);
        p.drawEllipse(c - QPointF(1, 1), 1.4, 1.4);
    }
    // A small gem where the bracket is widest.
    p.setPen(QPen(deep, 1.0));
    p.setBrush(QColor(230, 60, 50));
    p.drawEllipse(QPointF(w - 19.5, 19.5), 3.6, 3.6);
    return image;
}

// The plate behind the two style selectors (they sit at x 56, y 35 and 57 of it).
QImage styleBack(const CjkFont& font) {
    constexpr int w = 132, h = 86;
    QImage image = canvas(w, h, client::kGamePane);
    ArtPainter p(&image);
    litBox(p, QRectF(0, 0, w, h), 8, QColor(248, 196, 86), QColor(214, 140, 6), QColor(110, 66, 0));
    const QColor ink(54, 30, 0);
    drawText(p, font, QRectF(0, 5, w, 20), QStringLiteral("风格选择"), 13, ink, true);
    p.setPen(QPen(QColor(150, 92, 0), 1.0));
    p.drawLine(QPointF(12, 27.5), QPointF(w - 12, 27.5));
    p.setPen(QPen(QColor(255, 226, 150), 1.0));
    p.drawLine(QPointF(12, 28.5), QPointF(w - 12, 28.5));
    drawText(p, font, QRectF(10, 35, 44, 20), QStringLiteral("棋盘"), 12, ink, false,
             Qt::AlignVCenter | Qt::AlignLeft);
    drawText(p, font, QRectF(10, 57, 44, 20), QStringLiteral("棋子"), 12, ink, false,
             Qt::AlignVCenter | Qt::AlignLeft);
    return image;
}

}  // namespace

Pictures paneArt(const CjkFont& font) {
    return {
        {QStringLiteral("game/Res/VSpliterBk.bmp"), splitterTile(false)},
        {QStringLiteral("game/Res/VSpliterMidBk.bmp"), splitterTile(true)},
        {QStringLiteral("game/Res/VSpliterMid_Right.bmp"), splitterArrow(true)},
        {QStringLiteral("game/Res/VSpliterMid_Left.bmp"), splitterArrow(false)},
        {QStringLiteral("game/Res/GameBackVsBian.bmp"), rightEdge()},
        {QStringLiteral("game/Res/GameBackHsBian.bmp"), topEdge()},
        {QStringLiteral("game/Res/GameBackJiao.bmp"), corner()},
        {QStringLiteral("game/Res/StyleBack.bmp"), styleBack(font)},
    };
}

}  // namespace skingen
