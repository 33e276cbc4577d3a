#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>

namespace xq {

// Persistent picture surfaces drawn in the widget's own (logical) pixels but held at the
// screen's resolution: at a device pixel ratio of 2 every line and letter is drawn with twice the
// pixels instead of being enlarged afterwards.

inline QImage surfaceImage(QSize logical, qreal dpr) {
    QImage image((QSizeF(logical) * dpr).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    return image;
}

// The logical size a surface was made for.
inline QSize logicalSize(const QImage& surface) {
    return surface.deviceIndependentSize().toSize();
}

// The surface's pixels under a rectangle of logical pixels.
inline QRect deviceRect(const QImage& surface, const QRect& logical) {
    const qreal dpr = surface.devicePixelRatio();
    return QRectF(QPointF(logical.topLeft()) * dpr, QSizeF(logical.size()) * dpr).toAlignedRect();
}

// Copies a logical area of a surface onto a painter at the same logical place.
inline void drawSurfaceArea(QPainter& p, const QImage& surface, const QRect& logical) {
    p.drawImage(QRectF(logical), surface, QRectF(deviceRect(surface, logical)));
}

// A rectangle outline on exactly the logical pixels from (left, top) to (right, bottom), both
// included, at any device pixel ratio. A pen of width 1 would put the right and bottom edges one
// pixel further out, and at a ratio of 2 straddle two logical pixels.
inline void pixelOutline(QPainter& p, int left, int top, int right, int bottom,
                         const QColor& colour) {
    p.fillRect(QRect(QPoint(left, top), QPoint(right, top)), colour);
    p.fillRect(QRect(QPoint(left, bottom), QPoint(right, bottom)), colour);
    p.fillRect(QRect(QPoint(left, top), QPoint(left, bottom)), colour);
    p.fillRect(QRect(QPoint(right, top), QPoint(right, bottom)), colour);
}

}  // namespace xq
