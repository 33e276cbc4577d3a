#include "server/output_queue.h"

#include <algorithm>

namespace xq::server {

bool OutputQueue::push(const QByteArray& frame) {
    if (queued_ + frame.size() > kMaxBacklog) return false;
    frames_.push_back(frame);
    queued_ += frame.size();
    return true;
}

int OutputQueue::gather(QByteArrayView* parts) const {
    int n = 0;
    for (std::size_t i = head_; i < frames_.size() && n < kMaxParts; ++i, ++n) {
        parts[n] = QByteArrayView(frames_[i]);
        if (i == head_) parts[n] = parts[n].sliced(headOffset_);
    }
    return n;
}

void OutputQueue::consume(qint64 bytes) {
    bytes = std::min(bytes, queued_);
    queued_ -= bytes;
    while (bytes > 0 && head_ < frames_.size()) {
        const qsizetype left = frames_[head_].size() - headOffset_;
        if (bytes < left) {
            headOffset_ += static_cast<qsizetype>(bytes);
            return;
        }
        bytes -= left;
        frames_[head_] = QByteArray();  // the last sharer frees it now
        ++head_;
        headOffset_ = 0;
    }
    if (empty()) {
        // Nothing held for an idle connection, not even the room a burst once needed.
        if (frames_.capacity() > 16) {
            std::vector<QByteArray>().swap(frames_);
        } else {
            frames_.clear();
        }
        head_ = 0;
    } else if (head_ >= 64 && head_ * 2 >= frames_.size()) {
        // A reader that never quite catches up must not leave a trail of sent frames.
        frames_.erase(frames_.begin(), frames_.begin() + static_cast<std::ptrdiff_t>(head_));
        head_ = 0;
    }
}

}  // namespace xq::server
