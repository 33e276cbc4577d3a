#pragma once

#include <QWidget>

#include "look/skin_cache.h"

namespace xq {

// The strip with the settings and help buttons at the top of the right pane.
class UserButtonStrip : public QWidget {
    Q_OBJECT

public:
    explicit UserButtonStrip(const QString& appPath, QWidget* parent = nullptr);
    QPoint buttonPos(int index) const;
    int hitButton(QPoint pos) const;

signals:
    void clicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QString appPath_;
    SkinCache skins_;
    int hot_ = -1;
};

}  // namespace xq
