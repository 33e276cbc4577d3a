#include "paint_kit.h"

#include <QLinearGradient>
#include <algorithm>

#include "cjk_font.h"

namespace skingen {

QImage canvas(int width, int height, const QColor& fill) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

QColor blend(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t),
                            static_cast<float>(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor shade(const QColor& c, double factor) {
    if (factor < 1.0) return blend(Qt::black, c, factor);
    return blend(c, Qt::white, factor - 1.0);
}

ArtPainter::ArtPainter(QImage* image) : QPainter(image) {
    setRenderHint(QPainter::Antialiasing);
    setRenderHint(QPainter::TextAntialiasing);
    setRenderHint(QPainter::SmoothPixmapTransform);
}

void drawText(QPainter& p, const CjkFont& font, const QRectF& box, const QString& text, int pixels,
              const QColor& colour, bool bold, int align) {
    p.save();
    p.setFont(font.font(pixels, bold));
    p.setPen(colour);
    p.drawText(box, align, font.checked(text));
    p.restore();
}

void litBox(QPainter& p, const QRectF& box, double radius, const QColor& top, const QColor& bottom,
            const QColor& border) {
    p.save();
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0.0, top);
    fill.setColorAt(1.0, bottom);
    p.setPen(QPen(border, 1.0));
    p.setBrush(fill);
    const QRectF outer = box.adjusted(0.5, 0.5, -0.5, -0.5);
    p.drawRoundedRect(outer, radius, radius);
    p.setPen(QPen(QColor(255, 255, 255, 110), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(outer.adjusted(1, 1, -1, -1), std::max(0.0, radius - 1),
                      std::max(0.0, radius - 1));
    p.restore();
}

}  // namespace skingen
