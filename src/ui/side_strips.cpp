#include "ui/side_strips.h"

#include <QMouseEvent>
#include <QPainter>

namespace xq {

namespace {
const QColor kWindowBack(250, 250, 250);
}  // namespace

VSplitterBar::VSplitterBar(const QString& appPath, QWidget* parent)
    : QWidget(parent), appPath_(appPath) {
    setCursor(Qt::SizeHorCursor);
}

void VSplitterBar::setCollapsed(bool collapsed) {
    collapsed_ = collapsed;
    update();
}

void VSplitterBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kWindowBack);
    skins_.setBase(appPath_);
    skins_.beginPass();
    int h = height();
    if (const QImage* back = skins_.image(QStringLiteral("res\\VSpliterBk.bmp"))) {
        for (int y = 0; y <= h; y += 3)
            p.drawImage(0, y, *back);
    } else {
        h = 0;  // without the background the middle band sits at the top
    }
    const int y0 = (h - 60) / 2;
    if (const QImage* mid = skins_.image(QStringLiteral("res\\VSpliterMidBk.bmp"))) {
        for (int y = y0; y <= y0 + 60; y += 3)
            p.drawImage(0, y, *mid);
    }
    const QImage* arrow = skins_.image(collapsed_ ? QStringLiteral("res\\VSpliterMid_Left.bmp")
                                                  : QStringLiteral("res\\VSpliterMid_Right.bmp"));
    if (arrow != nullptr) p.drawImage(0, height() / 2 - 4, *arrow);
}

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
