#include "ui/splitter_bars.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/window_colours.h"
#include "ui/window_layout.h"

namespace xq {

VSplitterBar::VSplitterBar(const QString& appPath, QWidget* parent)
    : QWidget(parent), appPath_(appPath) {
    setMouseTracking(true);
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
    const int y0 = (h - kMiddleZone) / 2;
    if (const QImage* mid = skins_.image(QStringLiteral("res\\VSpliterMidBk.bmp"))) {
        for (int y = y0; y <= y0 + kMiddleZone; y += 3)
            p.drawImage(0, y, *mid);
    }
    const QImage* arrow = skins_.image(collapsed_ ? QStringLiteral("res\\VSpliterMid_Left.bmp")
                                                  : QStringLiteral("res\\VSpliterMid_Right.bmp"));
    if (arrow != nullptr) p.drawImage(0, height() / 2 - 4, *arrow);
}

void VSplitterBar::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (pressCollapses(at.y(), height())) {  // any button
        armed_ = false;
        emit collapseClicked();
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    armed_ = true;
    grabX_ = at.x();
    proposed_ = x();  // a release without a move leaves the splitter where it is
    emit dragArmed();
}

void VSplitterBar::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const Band band = middleZone(height());
    setCursor(band.first <= at.y() && at.y() <= band.last ? Qt::ArrowCursor : Qt::SizeHorCursor);
    if (!armed_ || !(event->buttons() & Qt::LeftButton)) return;
    proposed_ = x() + at.x() - grabX_;
    emit dragMoved(proposed_);
}

void VSplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !armed_) return;
    armed_ = false;
    emit dropped(proposed_);
}

HSplitterBar::HSplitterBar(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::SizeVerCursor);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kWindowBack);
    setPalette(pal);
}

void HSplitterBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    armed_ = true;
    grabY_ = event->position().toPoint().y();
    proposed_ = y();
}

void HSplitterBar::mouseMoveEvent(QMouseEvent* event) {
    if (!armed_ || !(event->buttons() & Qt::LeftButton)) return;
    proposed_ = y() + event->position().toPoint().y() - grabY_;
    emit dragMoved(proposed_);
}

void HSplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !armed_) return;
    armed_ = false;
    emit dropped(proposed_);
}

SplitterGhost::SplitterGhost(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void SplitterGhost::showAt(const QRect& area) {
    setGeometry(area);
    raise();
    show();
    update();
}

void SplitterGhost::paintEvent(QPaintEvent*) {
    // The striped outline of the original, drawn by exclusive or in white with its stripes two
    // pixels apart, inverts every pixel of its band exactly once: the band is shown inverted.
    // It shows on any background and takes nothing away from it.
    QPainter p(this);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.fillRect(rect(), Qt::white);
}

}  // namespace xq
