#pragma once

#include <QPixmap>
#include <QWidget>

#include "hall/hall_model.h"
#include "look/skin_cache.h"

namespace xq::hall {

// Every table of the room, in rows as many as the width holds. A double click on a free seat
// asks to sit there; on the table itself, or on a taken seat, it asks to watch.
class TableGrid : public QWidget {
    Q_OBJECT

public:
    // hallDir: the folder of the run-time tree, where the faces and the board's picture are.
    TableGrid(HallModel& model, const QString& hallDir, QWidget* parent = nullptr);

    // Where a table's card and its seats are drawn; empty for a table the room does not have.
    QRect tableRect(int number) const;
    QRect seatRect(int number, int seat) const;
    // What the pointer's tooltip tells at a point: the seat's player, a free seat, or the table.
    QString toolTipAt(QPoint at) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void sitRequested(int table, int seat);
    void watchRequested(int table);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Hit {
        int index = -1;  // in the model's tables; -1: no table
        int seat = -1;
    };
    Hit hitAt(QPoint at) const;
    int columnsFor(int width) const;
    QPoint cardOrigin(int index) const;
    const QImage* faceOf(const QString& name);
    QString tipAt(const Hit& hit) const;
    void setHover(const Hit& hit);
    void relayout();

    HallModel& model_;
    SkinCache skins_;
    QPixmap board_;
    Hit hover_;
};

}  // namespace xq::hall
