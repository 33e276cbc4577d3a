#include "server/inbound_frames.h"

namespace xq::server {

InboundFrames::Next InboundFrames::next(std::uint32_t limit, QByteArray& frame) {
    const qsizetype held = buffer_.size() - pos_;
    if (held >= 4) {
        const auto* p = reinterpret_cast<const unsigned char*>(buffer_.constData() + pos_);
        const std::uint32_t n = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                                (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
        if (n == 0 || n > limit) return Next::Broken;
        if (held - 4 >= static_cast<qsizetype>(n)) {
            frame = buffer_.mid(pos_ + 4, n);
            pos_ += 4 + static_cast<qsizetype>(n);
            return Next::Frame;
        }
    }
    // Keep only the partial frame; an idle connection keeps nothing.
    if (pos_ == buffer_.size()) {
        buffer_ = QByteArray();
    } else if (pos_ > 0) {
        buffer_ = buffer_.mid(pos_);
    }
    pos_ = 0;
    return Next::More;
}

}  // namespace xq::server
