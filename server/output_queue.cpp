#include "server/output_queue.h"

namespace xq::server {

bool OutputQueue::push(const QByteArray& frame, qint64 inSocket) {
    if (queued_ + inSocket + frame.size() > kMaxBacklog) return false;
    frames_.push_back(frame);
    queued_ += frame.size();
    return true;
}

void OutputQueue::pump(qint64 inSocket, const Writer& write) {
    while (!frames_.empty() && inSocket < kSocketChunk) {
        const QByteArray frame = std::move(frames_.front());
        frames_.pop_front();
        queued_ -= frame.size();
        inSocket += frame.size();
        write(frame);
    }
}

}  // namespace xq::server
