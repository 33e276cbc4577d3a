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
// The longest table hello: "XQTABLE/1`", a name of two-byte characters, "`" and a ticket.
inline constexpr std::uint32_t kMaxHelloBytes = 10 + 2 * kMaxNameLength + 1 + kMaxTicketLength;
// A password: 1 to this many bytes (in UTF-8, which is never shorter than code page 936).
inline constexpr int kMaxPasswordBytes = 128;
// The longest hall hello: "XQHALL/2+`", a name of two-byte characters, "`" and a password.
inline constexpr std::uint32_t kMaxHallHelloBytes = 10 + 2 * kMaxNameLength + 1 + kMaxPasswordBytes;
// The longest first frame of any kind.
inline constexpr std::uint32_t kMaxFirstFrameBytes =
    kMaxHallHelloBytes > kMaxHelloBytes ? kMaxHallHelloBytes : kMaxHelloBytes;
// The login frame that follows the table hello is always this long.
inline constexpr std::uint32_t kLoginBytes = 12;
// A stored record goes up in chunks of at most this many moves, after a header of this many bytes
// (code, sub-code, seat, the total and the moves before the chunk).
inline constexpr int kRecordChunkMoves = 50;
inline constexpr int kRecordChunkHeader = 11;

}  // namespace xq
