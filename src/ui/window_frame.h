#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <functional>

#include "ui/frame_zones.h"

class QMouseEvent;
class QPainter;
class QWidget;

namespace xq {

class SkinCache;

// The frame of the table window, which has none from the system: the caption bar with its
// system buttons and the three-line border, the zones from which the window is moved and sized,
// and the minimum size. A timer looks where the pointer is ten times a second: it sets the
// sizing pointer over the edges and corners (over every pane of the window), clears a hot
// button the pointer has left, and keeps the window at least 640 x 480. A press in a zone hands
// the drag to the system's own move and size loop, or moves and sizes the window itself where
// the system has none.
class WindowFrame : public QObject {
    Q_OBJECT

public:
    WindowFrame(QWidget& window, SkinCache& skins);
    ~WindowFrame() override;

    // The caption is drawn only while this says so (the vertical splitter is inside the window).
    std::function<bool()> captionShown;
    // A click on a system button: 0 minimise, 1 maximise or restore, 2 close.
    std::function<void(int slot)> sysButtonClicked;
    // The system's move and size loops; false where the platform has none. Tests replace them.
    std::function<bool()> startSystemMove;
    std::function<bool(Qt::Edges)> startSystemResize;

    void paint(QPainter& p, const QString& title, const QFont& font);
    void mouseMove(QMouseEvent* event);
    void mousePress(QMouseEvent* event);
    void mouseRelease(QMouseEvent* event);

    // One look at the pointer (the timer's tick), with the pointer at this screen position.
    void poll(QPoint globalCursor);
    void stop();

    FrameZone zone() const { return zone_; }
    int hotSysButton() const { return hot_; }
    bool draggingByHand() const { return handDrag_; }

private:
    void setHot(int slot);
    void drawSysButton(QPainter& p, int slot, bool hot);
    void setPointer(FrameZone zone);
    bool ownsPointerAt(QPoint globalCursor) const;

    QWidget& window_;
    SkinCache& skins_;
    QTimer timer_;
    FrameZone zone_ = FrameZone::None;
    int hot_ = -1;
    bool pointerSet_ = false;
    bool handDrag_ = false;
    FrameZone dragZone_ = FrameZone::None;
    QPoint dragStart_;
    QRect dragGeometry_;
};

}  // namespace xq
