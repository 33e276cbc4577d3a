#include "server/chat_rate.h"

#include <algorithm>

namespace xq::server {

bool ChatAllowance::hasRoom(const ChatRate& rate, qint64 nowMs) const {
    const qint64 slack = static_cast<qint64>(std::max(rate.burst, 1) - 1) * rate.intervalMs;
    return std::max(dueMs_, nowMs) - nowMs <= slack;
}

void ChatAllowance::spend(const ChatRate& rate, qint64 nowMs) {
    dueMs_ = std::max(dueMs_, nowMs) + rate.intervalMs;
    told_ = false;
}

ChatAllowance::Verdict ChatAllowance::refuse() {
    const bool tell = !told_;
    told_ = true;
    return tell ? Verdict::DropAndTell : Verdict::Drop;
}

ChatAllowance::Verdict ChatAllowance::take(const ChatRate& rate, qint64 nowMs) {
    if (!hasRoom(rate, nowMs)) return refuse();
    spend(rate, nowMs);
    return Verdict::Pass;
}

ChatAllowance::Verdict ChatBook::take(const ChatRate& rate, qint64 nowMs, const QString& name,
                                      const QString& address) {
    prune(nowMs);
    ChatAllowance& own = byName_[name];
    ChatAllowance* shared = address.isEmpty() ? nullptr : &byAddress_[address];
    if (!own.hasRoom(rate, nowMs) || (shared && !shared->hasRoom(rate, nowMs))) return own.refuse();
    own.spend(rate, nowMs);
    if (shared) shared->spend(rate, nowMs);
    return ChatAllowance::Verdict::Pass;
}

void ChatBook::prune(qint64 nowMs) {
    if (nowMs < nextPruneMs_) return;
    constexpr qint64 kPruneEveryMs = 60'000;
    nextPruneMs_ = nowMs + kPruneEveryMs;
    for (auto* book : {&byName_, &byAddress_}) {
        for (auto it = book->begin(); it != book->end();) {
            it = it->whole(nowMs) ? book->erase(it) : std::next(it);
        }
    }
}

}  // namespace xq::server
