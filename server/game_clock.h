#pragma once

#include <QtGlobal>
#include <array>
#include <cstdint>

namespace xq::server {

// The two bank clocks of a game, counted as the clients count them: each whole second of a move
// runs on the mover's step clock, and from the second at which the step clock reaches the free
// time per move every second also goes to the mover's bank.
class GameClock {
public:
    void start(qint64 nowMs, int mover, int stepAllowanceSeconds);
    // The mover's bank is fixed at its current value and the other seat's turn begins.
    void passTurn(qint64 nowMs);
    // A game carried over a restart: the banks as they were saved, stopped until resumeAt().
    void restore(int mover, int stepAllowanceSeconds, std::array<int, 2> banks);
    void resumeAt(qint64 nowMs);
    bool stopped() const { return stopped_; }

    int mover() const { return mover_; }
    int bankSeconds(int seat, qint64 nowMs) const;

    // Hours, minutes, seconds as the clients show them (hours wrap after 99 like theirs).
    static std::array<std::uint8_t, 3> triple(int seconds);

private:
    int chargedSoFar(qint64 nowMs) const;

    std::array<int, 2> bank_{};
    qint64 turnStartMs_ = 0;
    int mover_ = 0;
    int allowance_ = 0;
    bool stopped_ = false;
};

}  // namespace xq::server
