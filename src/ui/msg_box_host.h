#pragma once

#include <QMap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "game/msg_pool.h"
#include "ui/msg_box.h"

namespace xq {

// Puts the pool's boxes on the screen: a notice is shown and left open; a box with buttons runs
// its own event loop until it is answered, counts down, or is closed by the pool. A box is only
// deleted once its loop has ended.
class MsgBoxHostWidgets : public MsgBoxHost {
public:
    // owner: the window boxes with buttons belong to; iconBase: the folder the box icons'
    // literals ("res\Msg1.ico") are relative to.
    MsgBoxHostWidgets(QWidget* owner, QString iconBase)
        : owner_(owner), iconBase_(std::move(iconBase)) {}

    void setPool(MsgPool* pool) { pool_ = pool; }
    void setIconBase(const QString& base) { iconBase_ = base; }

    // Boxes stay in front of this window (a topmost dialog such as the table settings) while it
    // is shown: a box opened meanwhile becomes its transient, and the boxes open now are raised
    // over it again.
    void stayAbove(QWidget* window);

    void openBox(int boxId, const MsgBoxInfo& info) override;
    void closeBox(int boxId) override;

    // The open boxes, for tests and for closing the window.
    QList<MsgBox*> openBoxes() const;

private:
    QWidget* owner_;
    QPointer<QWidget> front_;
    QString iconBase_;
    MsgPool* pool_ = nullptr;
    QMap<int, QPointer<MsgBox>> boxes_;
};

}  // namespace xq
