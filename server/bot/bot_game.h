#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/time_budget.h"
#include "net/table_events.h"
#include "rules/position.h"

namespace xq::server {

// The game at the table as the bot's messages tell it: the moves from the opening position, who
// has red, whose turn it is, the terms of the clock and the banks the server reported. It never
// judges a move; it only keeps what the server echoed, with every point and seat checked before
// use.
class BotGame {
public:
    // A game start: false when a seat is out of range.
    bool start(const tablemsg::GameStart& start);
    // A running snapshot (also after a loaded record): false when it was cut short, describes a
    // record still being loaded, or holds a move that cannot be played.
    bool resume(const tablemsg::RunningSnapshot& snapshot);
    // A move echo: false when it does not fit the game (no game, not that seat's turn, no piece
    // of that seat's side on the from-point).
    bool applyEcho(const tablemsg::MoveEcho& echo);
    // Takes back the last two half-moves; the turn stays.
    bool undoTwo();
    void stop() { running_ = false; }

    bool running() const { return running_; }
    int toMove() const { return toMove_; }
    int redSeat() const { return redSeat_; }
    int sideOf(int seat) const { return seat == redSeat_ ? kRed : kBlack; }
    const Position& position() const { return position_; }
    const std::vector<Move>& moves() const { return moves_; }
    engine::ClockState clockOf(int seat) const;
    int bankUsed(int seat) const;

private:
    void reset(int redSeat, int toMove);
    bool play(int seat, std::uint8_t from, std::uint8_t to);

    bool running_ = false;
    int redSeat_ = 0;
    int toMove_ = 0;
    int bankLimit_ = 0;
    int stepAllowance_ = 0;
    std::array<int, 2> banks_{};
    Position position_ = Position::Initial();
    std::vector<Move> moves_;
    std::vector<Piece> captured_;
};

// Seconds of an hours-minutes-seconds triple as messages carry it.
int tripleSeconds(std::uint8_t h, std::uint8_t m, std::uint8_t s);

}  // namespace xq::server
