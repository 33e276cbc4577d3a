#include "server/pending_results.h"

#include <algorithm>

namespace xq::server {

void PendingResults::add(FinishedGame game, qint64 nowMs, Stored stored) {
    queue_.push_back(Entry{std::move(game), nowMs, std::move(stored)});
}

const PendingResults::Entry* PendingResults::due(qint64 nowMs) {
    if (queue_.empty() || underWay_ || nowMs < nextTryMs_) return nullptr;
    underWay_ = true;
    return &queue_.front();
}

PendingResults::Entry PendingResults::committed(qint64 nowMs) {
    Entry done = std::move(queue_.front());
    queue_.pop_front();
    underWay_ = false;
    lastFailed_ = false;
    retryMs_ = 0;
    nextTryMs_ = 0;
    // The next one waited for this one, not for the store: its wait starts now.
    if (!queue_.empty()) queue_.front().sinceMs = nowMs;
    return done;
}

void PendingResults::failed(qint64 nowMs) {
    underWay_ = false;
    lastFailed_ = true;
    retryMs_ = retryMs_ == 0 ? kFirstRetryMs : std::min(retryMs_ * 2, kLongestRetryMs);
    nextTryMs_ = nowMs + retryMs_;
}

PendingResults::Entry PendingResults::refused() {
    Entry gone = std::move(queue_.front());
    queue_.pop_front();
    underWay_ = false;
    return gone;
}

void PendingResults::storeAnswered(bool ok, qint64 nowMs) {
    if (!ok) {
        lastFailed_ = true;
        return;
    }
    // The store is back: what waits is tried now, without waiting out its back-off.
    lastFailed_ = false;
    if (!underWay_ && !queue_.empty()) {
        nextTryMs_ = nowMs;
        retryMs_ = 0;
    }
}

bool PendingResults::away(qint64 nowMs) const {
    if (lastFailed_) return true;
    return !queue_.empty() && nowMs - queue_.front().sinceMs > kAwayAfterMs;
}

std::deque<PendingResults::Entry> PendingResults::takeAll() {
    std::deque<Entry> all;
    all.swap(queue_);
    underWay_ = false;
    return all;
}

}  // namespace xq::server
