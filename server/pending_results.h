#pragma once

#include <QtGlobal>
#include <deque>
#include <functional>

#include "server/store/finished_game.h"
#include "server/store/stored_player.h"

namespace xq::server {

// Finished games the store has not committed yet, oldest first. They go to the store one at a
// time and in order; one that fails waits longer before each new try, up to half a minute. Free
// of time: the caller says what time it is.
class PendingResults {
public:
    static constexpr qint64 kFirstRetryMs = 1000;
    static constexpr qint64 kLongestRetryMs = 30'000;
    // A result waiting longer than this means the store cannot take results now.
    static constexpr qint64 kAwayAfterMs = 3000;

    using Stored = std::function<void(const StoredPlayer& seat0, const StoredPlayer& seat1)>;
    struct Entry {
        FinishedGame game;
        qint64 sinceMs = 0;
        Stored stored;  // told once the store has it
    };

    void add(FinishedGame game, qint64 nowMs, Stored stored = {});
    // The oldest, to be sent now: when none is under way and its next try is due. It is then
    // under way until committed(), failed() or refused().
    const Entry* due(qint64 nowMs);
    // The one under way is in the store: it leaves the queue (given back to the caller).
    Entry committed(qint64 nowMs);
    // It could not be stored now: it stays first and is tried again later.
    void failed(qint64 nowMs);
    // It can never be stored: it leaves the queue.
    Entry refused();
    // Something else went through (or did not): the store is back, or it is away.
    void storeAnswered(bool ok, qint64 nowMs);
    // The next try is due now, whatever the back-off says (an exit cannot wait for it).
    void tryNow(qint64 nowMs) { nextTryMs_ = nowMs; }

    bool empty() const { return queue_.empty(); }
    int size() const { return static_cast<int>(queue_.size()); }
    bool underWay() const { return underWay_; }
    const std::deque<Entry>& entries() const { return queue_; }
    // When the next try is due (meaningful while something waits and nothing is under way).
    qint64 nextTryMs() const { return nextTryMs_; }
    // The store cannot take results now: the last try failed, or the oldest has waited too long.
    bool away(qint64 nowMs) const;
    // Everything out of the queue, under way or not (what an exit writes elsewhere).
    std::deque<Entry> takeAll();

private:
    std::deque<Entry> queue_;
    bool underWay_ = false;
    bool lastFailed_ = false;
    qint64 retryMs_ = 0;
    qint64 nextTryMs_ = 0;
};

}  // namespace xq::server
