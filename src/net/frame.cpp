#include "net/frame.h"

namespace xq {

QByteArray encodeFrame(QByteArrayView payload) {
    const auto n = static_cast<std::uint32_t>(payload.size());
    QByteArray out;
    out.reserve(payload.size() + 4);
    out.append(static_cast<char>((n >> 24) & 0xFF));
    out.append(static_cast<char>((n >> 16) & 0xFF));
    out.append(static_cast<char>((n >> 8) & 0xFF));
    out.append(static_cast<char>(n & 0xFF));
    out.append(payload);
    return out;
}

bool FrameReader::feed(QByteArrayView bytes) {
    if (broken_) return false;
    buffer_.append(bytes);
    qsizetype pos = 0;
    while (buffer_.size() - pos >= 4) {
        const auto* p = reinterpret_cast<const unsigned char*>(buffer_.constData() + pos);
        const std::uint32_t n = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                                (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
        if (n == 0 || n > kMaxFrame) {
            broken_ = true;
            buffer_.clear();
            return false;
        }
        if (buffer_.size() - pos - 4 < static_cast<qsizetype>(n)) break;
        frames_.push_back(buffer_.mid(pos + 4, n));
        pos += 4 + n;
    }
    buffer_.remove(0, pos);
    return true;
}

QByteArray FrameReader::takeFrame() {
    if (frames_.empty()) return {};
    QByteArray frame = std::move(frames_.front());
    frames_.pop_front();
    return frame;
}

}  // namespace xq
