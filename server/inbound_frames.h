#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>

namespace xq::server {

// Cuts the bytes a connection sends into frames (a 4-byte big-endian length, then that many
// bytes). The caller gives the longest frame the sender may send at that point, so that a
// connection holds at most one partial frame of a size the protocol allows.
class InboundFrames {
public:
    enum class Next { Frame, More, Broken };

    void append(QByteArrayView bytes) { buffer_.append(bytes); }
    // Frame: `frame` is the next whole frame. More: it has not arrived whole yet. Broken: its
    // length is 0 or above `limit`, and the connection must go.
    Next next(std::uint32_t limit, QByteArray& frame);
    // Bytes held for frames not taken yet.
    qsizetype pendingBytes() const { return buffer_.size() - pos_; }

private:
    QByteArray buffer_;
    qsizetype pos_ = 0;  // the start of the first frame not taken yet
};

}  // namespace xq::server
