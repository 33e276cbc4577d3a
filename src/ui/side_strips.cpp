#include "ui/side_strips.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/window_colours.h"

namespace xq {

UserButtonStrip::UserButtonStrip(const QString& appPath, QWidget* parent)
    : QWidget(parent), appPath_(appPath) {
    setMouseTracking(true);
}

QPoint UserButtonStrip::buttonPos(int index) const {
    const int d = width() / 3;
    return index == 0 ? QPoint(d - 30, 4) : QPoint(2 * d - 10, 4);
}

int UserButtonStrip::hitButton(QPoint pos) const {
    for (int i = 0; i < 2; ++i) {
        const QPoint at = buttonPos(i);
        if (pos.x() > at.x() && pos.x() < at.x() + 41 && pos.y() > at.y() &&
            pos.y() < at.y() + 25) {
            return i;
        }
    }
    return -1;
}

void UserButtonStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kWindowBack);
    skins_.setBase(appPath_);
    skins_.beginPass();
    const QImage* sprite = skins_.image(QStringLiteral("Res\\UserButton.bmp"));
    if (sprite == nullptr) return;
    for (int i = 0; i < 2; ++i) {
        p.drawImage(buttonPos(i), *sprite, QRect(41 * i + (i == hot_ ? 82 : 0), 0, 41, 25));
    }
}

void UserButtonStrip::mouseMoveEvent(QMouseEvent* event) {
    const int hit = hitButton(event->position().toPoint());
    if (hit == hot_) return;
    hot_ = hit;
    update();
}

void UserButtonStrip::leaveEvent(QEvent*) {
    if (hot_ < 0) return;
    hot_ = -1;
    update();
}

void UserButtonStrip::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int hit = hitButton(event->position().toPoint());
    if (hit >= 0) emit clicked(hit);
}

}  // namespace xq
