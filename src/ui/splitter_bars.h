#pragma once

#include <QWidget>

#include "look/skin_cache.h"

namespace xq {

// The vertical bar between the game pane and the right pane, drawn from its bitmaps. A press in
// its middle band collapses or restores the right pane; a left-button drag elsewhere proposes a
// new place for it (in the parent's coordinates), which the window holds to its limits.
class VSplitterBar : public QWidget {
    Q_OBJECT

public:
    explicit VSplitterBar(const QString& appPath, QWidget* parent = nullptr);
    void setCollapsed(bool collapsed);
    bool collapsed() const { return collapsed_; }

signals:
    void collapseClicked();
    void dragArmed();
    void dragMoved(int left);
    void dropped(int left);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString appPath_;
    SkinCache skins_;
    bool collapsed_ = false;
    bool armed_ = false;
    int grabX_ = 0;
    int proposed_ = 0;
};

// A horizontal bar between two panes of the right pane, dragged up or down with the left button;
// it proposes a new top (in the parent's coordinates) while it moves and when it is dropped.
class HSplitterBar : public QWidget {
    Q_OBJECT

public:
    explicit HSplitterBar(QWidget* parent = nullptr);

signals:
    void dragMoved(int top);
    void dropped(int top);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool armed_ = false;
    int grabY_ = 0;
    int proposed_ = 0;
};

// Where a dragged bar would go: a band that inverts what lies under it, over every pane of the
// window and blind to the mouse.
class SplitterGhost : public QWidget {
    Q_OBJECT

public:
    explicit SplitterGhost(QWidget* parent);
    void showAt(const QRect& area);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace xq
