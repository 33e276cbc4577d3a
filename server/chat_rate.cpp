#include "server/chat_rate.h"

#include <algorithm>

namespace xq::server {

ChatAllowance::Verdict ChatAllowance::take(const ChatRate& rate, qint64 nowMs) {
    const qint64 slack = static_cast<qint64>(std::max(rate.burst, 1) - 1) * rate.intervalMs;
    dueMs_ = std::max(dueMs_, nowMs);
    if (dueMs_ - nowMs > slack) {
        const bool tell = !told_;
        told_ = true;
        return tell ? Verdict::DropAndTell : Verdict::Drop;
    }
    dueMs_ += rate.intervalMs;
    told_ = false;
    return Verdict::Pass;
}

}  // namespace xq::server
