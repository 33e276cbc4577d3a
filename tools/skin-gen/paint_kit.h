#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>

namespace skingen {

class CjkFont;

// Colours the client paints around our pictures; the art has to meet them seamlessly.
namespace client {
inline const QColor kWindow{250, 250, 250};
inline const QColor kGamePane{8, 73, 165};
inline const QColor kPanel{222, 150, 0};
inline const QColor kOptPanel{223, 139, 211};
}  // namespace client

QImage canvas(int width, int height, const QColor& fill = Qt::transparent);
QColor blend(const QColor& a, const QColor& b, double t);
QColor shade(const QColor& c, double factor);  // < 1 darker, > 1 lighter

// A painter with antialiasing on, as every picture here wants.
class ArtPainter : public QPainter {
public:
    explicit ArtPainter(QImage* image);
};

// Centred (or aligned) text in the CJK font, after checking the font has every glyph.
void drawText(QPainter& p, const CjkFont& font, const QRectF& box, const QString& text, int pixels,
              const QColor& colour, bool bold = false, int align = Qt::AlignCenter);

// A rounded box lit from the top: vertical gradient, 1-pixel border, inner top highlight.
void litBox(QPainter& p, const QRectF& box, double radius, const QColor& top, const QColor& bottom,
            const QColor& border);

// Small icons look much cleaner drawn four times larger and scaled down: the painter given to
// draw works in the final size's coordinates.
template <typename Draw>
QImage supersampled(int width, int height, Draw draw, const QColor& fill = Qt::transparent) {
    constexpr int kFactor = 4;
    QImage big = canvas(width * kFactor, height * kFactor, fill);
    {
        ArtPainter p(&big);
        p.scale(kFactor, kFactor);
        draw(p);
    }
    return big.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace skingen
