#include "server/snapshot.h"

#include <algorithm>

#include "net/message_codes.h"

namespace xq::server {
namespace {

void put(Cmd& cmd, std::uint8_t b) {
    cmd.append(static_cast<char>(b));
}
void put(Cmd& cmd, const Triple& t) {
    for (std::uint8_t b : t)
        put(cmd, b);
}
void putTally(Cmd& cmd, const std::array<int, 2>& tally) {
    for (int w : tally) {
        for (std::uint8_t b : tallyBytes(w))
            put(cmd, b);
    }
}

}  // namespace

std::array<std::uint8_t, 2> tallyBytes(int wins) {
    wins = std::clamp(wins, 0, 255 * 255 + 254);
    return {static_cast<std::uint8_t>(wins / 255), static_cast<std::uint8_t>(wins % 255)};
}

Cmd waitingSnapshot(const WaitingState& s) {
    Cmd cmd;
    cmd.reserve(18);
    for (std::uint8_t b : {code::kSnapshot, std::uint8_t{0}, std::uint8_t{0}, std::uint8_t{0}})
        put(cmd, b);
    put(cmd, s.hands[0] ? 1 : 0);
    put(cmd, s.hands[1] ? 1 : 0);
    putTally(cmd, s.tally);
    put(cmd, s.bankLimit);
    put(cmd, s.stepTime);
    put(cmd, static_cast<std::uint8_t>(s.nextRed));
    put(cmd, 50);  // no game: the clients' idle phase
    return cmd;
}

Cmd runningSnapshot(const RunningState& s, const QiPuHistory& history) {
    Cmd cmd;
    cmd.reserve(22 + 4 * static_cast<qsizetype>(history.size()));
    for (std::uint8_t b : {code::kSnapshot, std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{0}})
        put(cmd, b);
    put(cmd, static_cast<std::uint8_t>(s.redSeat));
    put(cmd, static_cast<std::uint8_t>(s.toMove));
    put(cmd, s.bankLimit);
    put(cmd, s.stepTime);
    putTally(cmd, s.tally);
    put(cmd, s.banks[0]);
    put(cmd, s.banks[1]);
    for (std::size_t k = 1; k < history.size(); ++k) {
        const QiPuItem& m = history[k];
        for (std::uint8_t b : {m.bteFromPos, m.bteQiZi, m.bteToPos, m.bteEatQiZi})
            put(cmd, b);
    }
    return cmd;
}

}  // namespace xq::server
