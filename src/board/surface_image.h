#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>

namespace xq {

// Persistent picture surfaces drawn in the widget's own (logical) pixels but held at the
// screen's resolution: at a device pixel ratio of 2 every line and letter is drawn with twice the
// pixels instead of being enlarged afterwards.

inline QImage SurfaceImage(QSize logical, qreal dpr) {
    QImage image((QSizeF(logical) * dpr).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    return image;
}

// The logical size a surface was made for.
inline QSize LogicalSize(const QImage& surface) {
    return surface.deviceIndependentSize().toSize();
}

// The surface's pixels under a rectangle of logical pixels.
inline QRect DeviceRect(const QImage& surface, const QRect& logical) {
    const qreal dpr = surface.devicePixelRatio();
    return QRectF(QPointF(logical.topLeft()) * dpr, QSizeF(logical.size()) * dpr).toAlignedRect();
}

// Copies a logical area of a surface onto a painter at the same logical place.
inline void DrawSurfaceArea(QPainter& p, const QImage& surface, const QRect& logical) {
    p.drawImage(QRectF(logical), surface, QRectF(DeviceRect(surface, logical)));
}

}  // namespace xq
