#pragma once

#include <cstdint>
#include <optional>

namespace xq::tablemsg {

// A table frame that is no message of its direction, or a malformed one. It keeps what could be
// read of its head, so that a reader can still act on it (a malformed chunk from the uploader
// ends his upload; the window starts a game even from a game start too short to give the
// terms), and a short reason for the log. The code of an empty frame is 0, which no message has.
struct Refusal {
    std::uint8_t code = 0;
    std::optional<std::uint8_t> sub;
    std::optional<std::uint8_t> seat;  // for the record chunks, when it was there
    const char* reason = "";
};

}  // namespace xq::tablemsg
