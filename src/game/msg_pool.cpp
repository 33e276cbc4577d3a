#include "game/msg_pool.h"

namespace xq {

void MsgPool::InitMsgObjects(const QString& parentPath) {
    slots_.clear();
    iconPath_ = parentPath + QStringLiteral("res\\");
}

std::int16_t MsgPool::ShowMsg(std::int32_t tag, std::uint8_t type, const QString& note,
                              const QString& caption, std::int32_t maxDelay,
                              const QString& yesCaption, const QString& noCaption,
                              bool yesDefault) {
    std::size_t slot = 0;
    while (slot < slots_.size() && slots_[slot].boxId != 0)
        ++slot;
    if (slot == slots_.size()) slots_.push_back(Slot{});

    const int id = ++nextId_;
    slots_[slot].boxId = id;
    slots_[slot].tag = tag;
    if (type != 0) boxes_[id] = Box{};

    MsgBoxInfo info{tag,        type,      note,       caption,  maxDelay,
                    yesCaption, noCaption, yesDefault, iconPath_};
    host_.openBox(id, info);
    if (type == 0) {
        return slots_[slot].intResult;  // meaningless for a notice; callers ignore it
    }
    // The box is gone. Its own answer counts, whatever happened to its slot meanwhile.
    const auto it = boxes_.find(id);
    if (it == boxes_.end()) return kNo;
    const std::int16_t result = it->second.result;
    boxes_.erase(it);
    return result;
}

void MsgPool::CloseMsgObjects(std::int32_t tag) {
    for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
        Slot& s = slots_[slot];
        if (s.boxId == 0 || s.tag != tag) continue;
        const int id = s.boxId;
        s.boxId = 0;
        if (auto it = boxes_.find(id); it != boxes_.end()) it->second.open = false;
        host_.closeBox(id);
    }
}

void MsgPool::answer(int boxId, int button) {
    auto it = boxes_.find(boxId);
    if (it == boxes_.end() || !it->second.open) return;
    it->second.result = button == 0 ? kYes : kNo;
    const int slot = slotOf(boxId);
    if (slot >= 0) slots_[static_cast<std::size_t>(slot)].intResult = it->second.result;
}

void MsgPool::boxClosed(int boxId) {
    const int slot = slotOf(boxId);
    if (slot >= 0) slots_[static_cast<std::size_t>(slot)].boxId = 0;
    if (auto it = boxes_.find(boxId); it != boxes_.end()) it->second.open = false;
}

int MsgPool::openBoxes() const {
    int n = 0;
    for (const Slot& s : slots_)
        n += s.boxId != 0;
    return n;
}

int MsgPool::slotOf(int boxId) const {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i].boxId == boxId) return static_cast<int>(i);
    }
    return -1;
}

MsgCountdown::MsgCountdown(const MsgBoxInfo& info)
    : info_(info),
      button_(info.type == 1 || info.yesDefault ? 0 : 1),
      remaining_(info.maxDelay),
      running_(info.type != 0) {}

MsgCountdown::Tick MsgCountdown::tick() {
    if (!running_) return {button_, {}, false};
    const QString base = button_ == 0 ? YesCaption(info_) : NoCaption(info_);
    Tick t{button_, base + u' ' + QString::number(remaining_), false};
    --remaining_;
    if (remaining_ < 0) {
        running_ = false;
        t.fire = true;
    }
    return t;
}

}  // namespace xq
