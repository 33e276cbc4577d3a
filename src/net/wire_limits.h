#pragma once

#include <cstdint>

namespace xq {

// The limits both ends of a connection keep; the server refuses what lies beyond them and the
// clients never send it.

// A user's name: at most this many characters.
inline constexpr int kMaxNameLength = 32;
// A login ticket: 1 to this many printable ASCII characters.
inline constexpr int kMaxTicketLength = 64;
// The longest table chat message, its code byte included.
inline constexpr int kMaxChatBytes = 2048;
// The longest hall chat message, its code byte included.
inline constexpr int kMaxSayBytes = 2048;

}  // namespace xq
