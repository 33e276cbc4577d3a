#pragma once

#include <cstdint>

namespace xq::code {

// Room side (byte 0), with their sub-codes (byte 1).
inline constexpr std::uint8_t kUser = 130;      // 0 login / spectator in, 1 reset or game begun,
                                                // 2 list, 3 identity, 4 arrival, 5 hide or show
inline constexpr std::uint8_t kPresence = 108;  // 0 back online, 3 offline, 4 spectator left,
                                                // 6 row update
inline constexpr std::uint8_t kLeave = 110;
inline constexpr std::uint8_t kTableSettings = 111;
inline constexpr std::uint8_t kHandUp = 112;
inline constexpr std::uint8_t kRoomChat = 105;
inline constexpr std::uint8_t kSnapshot = 109;

// Game side.
inline constexpr std::uint8_t kChat = 1;
inline constexpr std::uint8_t kCannotContinue = 5;
inline constexpr std::uint8_t kGameStart = 17;
inline constexpr std::uint8_t kRaiseHand = 18;
inline constexpr std::uint8_t kMove = 19;
inline constexpr std::uint8_t kUndo = 20;
inline constexpr std::uint8_t kDraw = 21;
inline constexpr std::uint8_t kResign = 22;  // sub-code 0 resignation, 1 time-out
inline constexpr std::uint8_t kLoad = 23;
inline constexpr std::uint8_t kNotice = 24;
inline constexpr std::uint8_t kGameEnd = 25;

// Sub-codes of requests and answers (undo, draw, load).
inline constexpr std::uint8_t kAsk = 0;
inline constexpr std::uint8_t kRefuse = 1;
inline constexpr std::uint8_t kAgree = 2;
inline constexpr std::uint8_t kRecordData = 3;  // load: the record's moves
inline constexpr std::uint8_t kLoadFailed = 4;

}  // namespace xq::code
