#include "ui/msg_box_host.h"

#include "startup/skin_path.h"

namespace xq {

void MsgBoxHostWidgets::openBox(int boxId, const MsgBoxSpec& info) {
    const QString icon = SkinPath(iconBase_, QStringLiteral("res\\Msg%1.ico").arg(info.type));
    auto* box = new MsgBox(info, icon, owner_);
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
