#pragma once

#include <array>
#include <cstdint>

#include "net/codec.h"
#include "rules/history.h"

namespace xq::server {

using Triple = std::array<std::uint8_t, 3>;

// The state of the table for a client that joins: room message 109.
struct WaitingState {
    std::array<bool, 2> hands{};
    std::array<int, 2> tally{};
    Triple bankLimit{};  // zeros before any terms were agreed
    Triple stepTime{};
    int nextRed = 0;
};

struct RunningState {
    int redSeat = 0;
    int toMove = 0;  // a seat, or 10 + the seat that uploads a record
    Triple bankLimit{};
    Triple stepTime{};
    std::array<int, 2> tally{};
    std::array<Triple, 2> banks{};
};

Cmd waitingSnapshot(const WaitingState& s);
Cmd runningSnapshot(const RunningState& s, const QiPuHistory& history);

// A tally in two bytes the way clients read it back: hi * 255 + lo.
std::array<std::uint8_t, 2> tallyBytes(int wins);

}  // namespace xq::server
