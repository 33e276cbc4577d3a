#include "ui/msg_box_host.h"

#include <QWindow>

#include "startup/skin_path.h"

namespace xq {
namespace {

// A transient window stays above the window it belongs to. Only the window is tied to it, not
// the object: the box must outlive a dialog that closes while the box waits for its answer.
void belongTo(MsgBox* box, QWidget* window) {
    box->winId();  // the box's own window must exist before it can belong to another
    if (box->windowHandle() != nullptr && window->windowHandle() != nullptr)
        box->windowHandle()->setTransientParent(window->windowHandle());
}

}  // namespace

void MsgBoxHostWidgets::stayAbove(QWidget* window) {
    front_ = window;
    if (window == nullptr || !window->isVisible()) return;
    const QList<MsgBox*> open = openBoxes();
    for (MsgBox* box : open) {
        belongTo(box, window);
        box->raise();
    }
    if (!open.isEmpty()) open.last()->activateWindow();
}

void MsgBoxHostWidgets::openBox(int boxId, const MsgBoxInfo& info) {
    const QString icon = skinPath(iconBase_, QStringLiteral("res\\Msg%1.ico").arg(info.type));
    auto* box = new MsgBox(info, icon, owner_);
    if (front_ != nullptr && front_->isVisible()) belongTo(box, front_);
    boxes_.insert(boxId, box);
    QObject::connect(box, &MsgBox::answered, box, [this, boxId](int button) {
        if (pool_ != nullptr) pool_->answer(boxId, button);
    });
    if (info.type == 0) {
        QObject::connect(box, &QDialog::finished, box, [this, boxId, box] {
            boxes_.remove(boxId);
            if (pool_ != nullptr) pool_->boxClosed(boxId);
            box->deleteLater();
        });
        box->show();
        return;
    }
    box->exec();
    boxes_.remove(boxId);
    if (pool_ != nullptr) pool_->boxClosed(boxId);
    box->deleteLater();
}

void MsgBoxHostWidgets::closeBox(int boxId) {
    const auto it = boxes_.find(boxId);
    if (it == boxes_.end()) return;
    QPointer<MsgBox> box = it.value();
    if (box.isNull()) return;
    // Ends the box's own loop (a modal box) or closes it (a notice); deletion follows later.
    box->done(QDialog::Rejected);
}

QList<MsgBox*> MsgBoxHostWidgets::openBoxes() const {
    QList<MsgBox*> list;
    for (const auto& box : boxes_) {
        if (!box.isNull()) list.append(box.data());
    }
    return list;
}

}  // namespace xq
