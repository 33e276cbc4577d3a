#pragma once

#include <QImage>
#include <QListView>
#include <QWidget>

#include "look/skin_cache.h"

namespace xq {

class Table;

// The control panel: caption band, border, the seven command buttons in their states, and the
// move list beside them. An enabled button is hot while the pointer is over it or pressed on
// it, and acts when the left button is released over it.
class ControlPanel : public QWidget {
    Q_OBJECT

public:
    static inline const QStringList kCaptions = {QStringLiteral("开 始"), QStringLiteral("求 和"),
                                                 QStringLiteral("认 输"), QStringLiteral("悔 棋"),
                                                 QStringLiteral("保 存"), QStringLiteral("读 入"),
                                                 QStringLiteral("复 盘")};

    explicit ControlPanel(Table& table, QWidget* parent = nullptr);

    QListView& moveList() { return *list_; }
    void paintPanel();
    void paintOptButton(int index);
    const QImage& surface() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void hover(int hit);
    QRect buttonRect(int index) const;

    Table& table_;
    SkinCache skins_;
    QImage image_;
    QListView* list_;
    bool painting_ = false;
};

}  // namespace xq
