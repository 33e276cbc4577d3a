#include "ui/window_frame.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <QWindow>

#include "board/surface_image.h"
#include "look/builtin_pictures.h"
#include "look/skin_cache.h"
#include "ui/window_layout.h"

namespace xq {

WindowFrame::WindowFrame(QWidget& window, SkinCache& skins)
    : QObject(&window), window_(window), skins_(skins) {
    startSystemMove = [this] {
        return window_.windowHandle() != nullptr && window_.windowHandle()->startSystemMove();
    };
    startSystemResize = [this](Qt::Edges edges) {
        return window_.windowHandle() != nullptr &&
               window_.windowHandle()->startSystemResize(edges);
    };
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, [this] { poll(QCursor::pos()); });
    timer_.start();
}

WindowFrame::~WindowFrame() {
    stop();
}

void WindowFrame::stop() {
    timer_.stop();
    setPointer(FrameZone::None);
}

void WindowFrame::paint(QPainter& p, const QString& title, const QFont& font) {
    const int sw = window_.width(), sh = window_.height();
    const int r = sw - 2 - 121;
    if (r - 2 >= 12 && (!captionShown || captionShown())) {
        skins_.beginPass();
        if (const QImage* tile = skins_.image(QStringLiteral("Res\\CaptionBack.bmp"))) {
            for (int x = 2; x <= r; x += 9)
                p.drawImage(x, 2, *tile);
            if (const QImage* end = skins_.image(QStringLiteral("Res\\CaptionBackRight.bmp"))) {
                p.drawImage(r, 2, *end);
                for (int slot = 0; slot < 3; ++slot)
                    drawSysButton(p, slot, slot == hot_);
                p.drawImage(10, 5, builtinPicture("logo.png"));
                p.setFont(font);
                const int ascent = QFontMetrics(font).ascent();
                p.setPen(QColor(240, 240, 240));
                p.drawText(37, 8 + ascent, title);
                p.setPen(Qt::black);
                p.drawText(36, 7 + ascent, title);
            }
        }
    }
    pixelOutline(p, 0, 0, sw - 1, sh - 1, QColor(0, 255, 0));
    pixelOutline(p, 1, 1, sw - 2, sh - 2, QColor(80, 80, 80));
    pixelOutline(p, 2, 2, sw - 3, sh - 3, QColor(192, 192, 192));
}

void WindowFrame::drawSysButton(QPainter& p, int slot, bool hot) {
    const QImage* sprite = skins_.image(QStringLiteral("Res\\SysMenu.bmp"));
    if (sprite == nullptr) return;
    const int glyph = slot == 0 ? 0 : slot == 1 ? (window_.isMaximized() ? 2 : 1) : 3;
    p.drawImage(SysButtonPos(window_.width(), slot), *sprite,
                QRect(20 * glyph + (hot ? 80 : 0), 0, 20, 23));
}

void WindowFrame::setHot(int slot) {
    if (slot == hot_) return;
    hot_ = slot;
    window_.update(QRect(SysButtonPos(window_.width(), 0), QSize(60, 23)));
}

bool WindowFrame::ownsPointerAt(QPoint globalCursor) const {
    if (!window_.isVisible() || !window_.frameGeometry().contains(globalCursor)) return false;
    // Over another window of the program (a box, a dialog) the frame has no say.
    const QWidget* under = QApplication::widgetAt(globalCursor);
    return under == nullptr || under->window() == &window_;
}

void WindowFrame::setPointer(FrameZone zone) {
    const bool sizing = zoneEdges(zone) != Qt::Edges();
    if (sizing) {
        // For the whole window, over its panes too: the panes reach to within a few pixels of
        // the edges, and the pointer must say that a press there sizes the window.
        const QCursor shape(zoneCursor(zone));
        if (pointerSet_) {
            QGuiApplication::changeOverrideCursor(shape);
        } else {
            QGuiApplication::setOverrideCursor(shape);
            pointerSet_ = true;
        }
    } else if (pointerSet_) {
        QGuiApplication::restoreOverrideCursor();
        pointerSet_ = false;
    }
}

void WindowFrame::poll(QPoint globalCursor) {
    const bool normal = !window_.isMaximized() && !window_.isMinimized() && !window_.isFullScreen();
    // The window holds its own minimum: without a window manager nobody else does.
    if (normal && window_.isVisible() &&
        (window_.width() < kMinWindowWidth || window_.height() < kMinWindowHeight)) {
        window_.resize(std::max(window_.width(), kMinWindowWidth),
                       std::max(window_.height(), kMinWindowHeight));
    }
    if (handDrag_) return;  // the zone of a drag in progress stays
    const QPoint inside = window_.mapFromGlobal(globalCursor);
    const bool owns = ownsPointerAt(globalCursor);
    // A hot button the pointer has left, by whatever way, goes back to normal.
    setHot(owns ? HitSysButton(window_.width(), inside) : -1);
    zone_ = owns && normal ? classifyFrameZone(window_.frameGeometry(), globalCursor,
                                               HitSysButton(window_.width(), inside) >= 0)
                           : FrameZone::None;
    setPointer(zone_);
}

void WindowFrame::mouseMove(QMouseEvent* event) {
    if (handDrag_) {
        const QPoint delta = event->globalPosition().toPoint() - dragStart_;
        window_.setGeometry(draggedGeometry(dragGeometry_, dragZone_, delta,
                                            QSize(kMinWindowWidth, kMinWindowHeight)));
        return;
    }
    poll(event->globalPosition().toPoint());
}

void WindowFrame::mousePress(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    poll(event->globalPosition().toPoint());
    if (zone_ == FrameZone::None || window_.isMaximized()) return;
    const bool bySystem =
        zone_ == FrameZone::Move ? startSystemMove() : startSystemResize(zoneEdges(zone_));
    if (bySystem) return;
    // No move/size loop on this platform: the window follows the pointer itself until release.
    handDrag_ = true;
    dragZone_ = zone_;
    dragStart_ = event->globalPosition().toPoint();
    dragGeometry_ = window_.geometry();
}

void WindowFrame::mouseRelease(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (handDrag_) {
        handDrag_ = false;
        return;
    }
    if (zone_ != FrameZone::None) return;
    const int slot = HitSysButton(window_.width(), event->position().toPoint());
    if (slot >= 0 && sysButtonClicked) sysButtonClicked(slot);
}

}  // namespace xq
