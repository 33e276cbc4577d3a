#pragma once

#include <QByteArray>
#include <deque>
#include <functional>

namespace xq::server {

// The unsent output of one connection. Frames are kept as shared byte arrays, so one frame sent
// to many connections exists once; they are handed to the socket only while its own buffer is
// short, and the backlog of both together is capped.
class OutputQueue {
public:
    static constexpr qint64 kMaxBacklog = 4 * 1024 * 1024;
    static constexpr qint64 kSocketChunk = 64 * 1024;

    // Writes as much as the socket should take now; `write` gets one frame at a time.
    using Writer = std::function<void(const QByteArray&)>;

    // False when the backlog (queued plus what the socket still holds) would pass the cap: the
    // frame is not taken and the connection must go.
    bool push(const QByteArray& frame, qint64 inSocket);
    void pump(qint64 inSocket, const Writer& write);

    bool empty() const { return frames_.empty(); }
    qint64 queuedBytes() const { return queued_; }

private:
    std::deque<QByteArray> frames_;
    qint64 queued_ = 0;
};

}  // namespace xq::server
