#include "replay/command_button.h"

#include <QPainter>

namespace xq {

void CommandButton::setPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void CommandButton::paintEvent(QPaintEvent* event) {
    if (picture_.isNull()) {
        QPushButton::paintEvent(event);
        return;
    }
    // The picture fills the button, so no frame of the style shows round it.
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), picture_);
}

}  // namespace xq
