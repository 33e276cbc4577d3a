#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

namespace xq::server {

// The unsent output of one connection. Frames are kept as shared byte arrays, so one frame sent
// to many connections exists once; they go to the kernel together, as many as one system call
// takes, and the backlog is capped.
class OutputQueue {
public:
    static constexpr qint64 kMaxBacklog = 4 * 1024 * 1024;
    static constexpr int kMaxParts = 64;

    // False when the backlog would pass the cap: the frame is not taken and the connection must
    // go.
    bool push(const QByteArray& frame);
    // Fills `parts` with the unsent bytes in order (up to kMaxParts pieces); gives how many.
    int gather(QByteArrayView* parts) const;
    // The first `bytes` of what gather() gave are gone to the kernel.
    void consume(qint64 bytes);

    bool empty() const { return head_ == frames_.size(); }
    qint64 queuedBytes() const { return queued_; }

private:
    std::vector<QByteArray> frames_;
    std::size_t head_ = 0;      // the first frame not wholly sent
    qsizetype headOffset_ = 0;  // bytes of it already sent
    qint64 queued_ = 0;
};

}  // namespace xq::server
