#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <deque>

namespace xq {

// Messages travel over a byte stream as frames: a 4-byte big-endian length N, then N bytes.
inline constexpr std::uint32_t kMaxFrame = 1024 * 1024;

// The hello that opens every connection: "XQTABLE/1`" and the user name, in code page 936.
inline constexpr char kHelloPrefix[] = "XQTABLE/1`";

QByteArray encodeFrame(QByteArrayView payload);

// Splits an incoming byte stream into whole frames. A length of 0 or above the limit is a
// protocol error: the reader stops and reports it; the connection must be closed.
class FrameReader {
public:
    // Appends received bytes; false once the stream is broken (and from then on).
    bool feed(QByteArrayView bytes);
    bool hasFrame() const { return !frames_.empty(); }
    QByteArray takeFrame();
    bool broken() const { return broken_; }
    // Bytes held for a frame that has not arrived whole yet.
    qsizetype pendingBytes() const { return buffer_.size(); }

private:
    QByteArray buffer_;
    std::deque<QByteArray> frames_;
    bool broken_ = false;
};

}  // namespace xq
