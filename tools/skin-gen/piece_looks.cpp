// The four piece styles. All are round, with the character of the piece in the middle; red and
// black must be told apart at a glance, also at the smallest board size.
#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

#include "noise.h"
#include "paint_kit.h"
#include "piece_look.h"

namespace skingen {

namespace {

constexpr double kMid = kPieceCell / 2.0;

QColor ink(Side side) {
    return side == Side::Red ? QColor(196, 22, 18) : QColor(30, 30, 34);
}

QPainterPath disc(double cx, double cy, double r) {
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), r, r);
    return path;
}

void ring(QPainter& p, double cx, double cy, double r, const QColor& colour, double width) {
    p.setPen(QPen(colour, width));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(cx, cy), r, r);
}

// The character, optionally engraved: a dark edge up-left and a light edge down-right make it
// look cut into the surface.
void character(QPainter& p, const CjkFont& font, const QString& name, QPointF centre, int pixels,
               const QColor& colour, bool engraved) {
    const QRectF box(centre.x() - kMid, centre.y() - kMid + 0.5, kPieceCell, kPieceCell);
    if (engraved) {
        drawText(p, font, box.translated(-0.8, -0.8), name, pixels, QColor(60, 30, 0, 120), true);
        drawText(p, font, box.translated(0.9, 0.9), name, pixels, QColor(255, 245, 225, 170), true);
    }
    drawText(p, font, box, name, pixels, colour, true);
}

// 0 plain: a flat ivory disc, one ring, the character in the side's colour.
class PlainLook : public PieceLook {
public:
    QPainterPath outline() const override { return disc(kMid, kMid, 26.6); }
    QColor rim(Side side) const override { return shade(ink(side), 0.8); }
    void paint(QPainter& p, const CjkFont& font, const QString& name, Side side,
               int) const override {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(250, 240, 214));
        p.drawEllipse(QPointF(kMid, kMid), 25.2, 25.2);
        ring(p, kMid, kMid, 21.5, ink(side), 1.4);
        character(p, font, name, {kMid, kMid}, 28, ink(side), false);
    }
};

// 1 classic: a turned wooden piece with a bevelled edge and an engraved ring and character.
class ClassicLook : public PieceLook {
public:
    QPainterPath outline() const override { return disc(kMid, kMid, 27.0); }
    QColor rim(Side) const override { return QColor(120, 74, 30); }
    void paint(QPainter& p, const CjkFont& font, const QString& name, Side side,
               int) const override {
        QRadialGradient edge(QPointF(kMid, kMid), 27.0);
        edge.setColorAt(0.86, QColor(214, 160, 92));
        edge.setColorAt(1.0, QColor(150, 98, 44));
        p.setPen(Qt::NoPen);
        p.setBrush(edge);
        p.drawEllipse(QPointF(kMid, kMid), 27.0, 27.0);
        QRadialGradient face(QPointF(kMid - 7, kMid - 8), 30.0);
        face.setColorAt(0.0, QColor(250, 222, 172));
        face.setColorAt(1.0, QColor(222, 172, 106));
        p.setBrush(face);
        p.drawEllipse(QPointF(kMid, kMid), 23.6, 23.6);
        // Light catches the upper-left lip of the bevel.
        p.setPen(QPen(QColor(255, 236, 200, 150), 1.2));
        p.drawArc(QRectF(kMid - 25.5, kMid - 25.5, 51, 51), 60 * 16, 120 * 16);
        ring(p, kMid, kMid, 21.0, shade(ink(side), 1.1), 1.5);
        character(p, font, name, {kMid, kMid}, 27, ink(side), true);
    }
};

// 2 realistic: a thick wooden disc seen slightly from above, with real grain on its face.
class RealisticLook : public PieceLook {
public:
    static constexpr double kTop = kMid - 1.5;
    static constexpr double kDepth = 3.0;
    static constexpr double kRadius = 26.0;

    QPainterPath outline() const override {
        QPainterPath side;
        side.addRect(QRectF(kMid - kRadius, kTop, 2 * kRadius, kDepth));
        return disc(kMid, kTop, kRadius).united(disc(kMid, kTop + kDepth, kRadius)).united(side);
    }
    QColor rim(Side) const override { return QColor(96, 56, 22); }
    void paint(QPainter& p, const CjkFont& font, const QString& name, Side side,
               int kind) const override {
        p.setPen(Qt::NoPen);
        QLinearGradient body(0, kTop, 0, kTop + kRadius + kDepth);
        body.setColorAt(0.0, QColor(150, 96, 48));
        body.setColorAt(1.0, QColor(104, 62, 26));
        p.setBrush(body);
        p.drawPath(outline());

        p.save();
        p.setClipPath(disc(kMid, kTop, kRadius - 0.4));
        p.drawImage(0, 0, grain(kind + (side == Side::Red ? 10 : 0)));
        QRadialGradient light(QPointF(kMid - 9, kTop - 10), 40.0);
        light.setColorAt(0.0, QColor(255, 250, 235, 70));
        light.setColorAt(0.6, QColor(255, 250, 235, 0));
        light.setColorAt(1.0, QColor(80, 40, 10, 90));
        p.setBrush(light);
        p.drawRect(QRectF(0, 0, kPieceCell, kPieceCell));
        p.restore();

        p.setPen(QPen(QColor(255, 238, 205, 160), 1.0));
        p.drawArc(QRectF(kMid - kRadius + 1, kTop - kRadius + 1, 2 * kRadius - 2, 2 * kRadius - 2),
                  40 * 16, 150 * 16);
        p.setPen(QPen(QColor(90, 50, 15, 140), 1.0));
        p.drawArc(QRectF(kMid - kRadius + 1, kTop - kRadius + 1, 2 * kRadius - 2, 2 * kRadius - 2),
                  220 * 16, 150 * 16);
        ring(p, kMid, kTop, 21.0, QColor(110, 64, 24, 150), 1.8);
        ring(p, kMid, kTop, 21.0, shade(ink(side), 1.05), 1.0);
        character(p, font, name, {kMid, kTop}, 28,
                  side == Side::Red ? QColor(178, 20, 14) : QColor(34, 26, 22), true);
    }

private:
    static QImage grain(int seed) {
        const Noise n(static_cast<std::uint32_t>(100 + seed));
        QImage image(kPieceCell, kPieceCell, QImage::Format_ARGB32_Premultiplied);
        const QColor light(238, 202, 146), dark(206, 158, 96);
        const double angle = 0.6 * seed;
        const double ca = std::cos(angle), sa = std::sin(angle);
        for (int y = 0; y < kPieceCell; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < kPieceCell; ++x) {
                const double u = x * ca + y * sa, v = -x * sa + y * ca;
                const double warp = 2.0 * n.fbm(u * 0.03, v * 0.05, 3);
                const double streak =
                    std::pow(0.5 + 0.5 * std::sin(2 * M_PI * (v * 0.09 + warp)), 2.0);
                const double fibre = n.fbm(u * 0.05, v * 0.8, 2);
                line[x] = blend(light, dark, 0.6 * streak + 0.3 * fibre).rgb();
            }
        }
        return image;
    }
};

// 3 fashionable: a glossy enamel button in the side's colour with a white character.
class FashionableLook : public PieceLook {
public:
    QPainterPath outline() const override { return disc(kMid, kMid, 27.0); }
    QColor rim(Side side) const override {
        return side == Side::Red ? QColor(110, 8, 14) : QColor(18, 20, 26);
    }
    void paint(QPainter& p, const CjkFont& font, const QString& name, Side side,
               int) const override {
        const bool red = side == Side::Red;
        QRadialGradient body(QPointF(kMid - 8, kMid - 10), 38.0);
        body.setColorAt(0.0, red ? QColor(255, 110, 92) : QColor(122, 130, 148));
        body.setColorAt(0.55, red ? QColor(214, 30, 36) : QColor(52, 56, 68));
        body.setColorAt(1.0, red ? QColor(140, 10, 20) : QColor(24, 26, 34));
        p.setPen(Qt::NoPen);
        p.setBrush(body);
        p.drawEllipse(QPointF(kMid, kMid), 26.6, 26.6);
        ring(p, kMid, kMid, 22.0, QColor(255, 255, 255, 170), 1.3);
        drawText(p, font, QRectF(1.2, 1.7, kPieceCell, kPieceCell), name, 27, QColor(0, 0, 0, 110),
                 true);
        character(p, font, name, {kMid, kMid}, 27, QColor(255, 250, 240), false);
        // A soft gloss over the upper half, squeezed into an ellipse.
        p.save();
        p.translate(kMid, kMid - 13);
        p.scale(1.0, 0.6);
        QRadialGradient gloss(QPointF(0, 0), 21.0);
        gloss.setColorAt(0.0, QColor(255, 255, 255, 110));
        gloss.setColorAt(0.6, QColor(255, 255, 255, 55));
        gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.setBrush(gloss);
        p.drawEllipse(QPointF(0, 0), 21.0, 21.0);
        p.restore();
    }
};

}  // namespace

const PieceLook& pieceLook(int style) {
    static const PlainLook plain;
    static const ClassicLook classic;
    static const RealisticLook realistic;
    static const FashionableLook fashionable;
    static const PieceLook* looks[] = {&plain, &classic, &realistic, &fashionable};
    return *looks[style];
}

QString pieceName(int kind, Side side) {
    static const QString black = QStringLiteral("车马炮将士象卒");
    static const QString red = QStringLiteral("车马炮帅仕相兵");
    return QString((side == Side::Red ? red : black).at(kind - 1));
}

}  // namespace skingen
