#include "server/bot/bot_game.h"

#include "net/message_codes.h"

namespace xq::server {
namespace {

// A packed point of a message as a square, or -1 when it is off the board.
int squareOfPacked(std::uint8_t packed) {
    const int r = packedRank(packed), f = packedFile(packed);
    return OnBoard(r, f) ? squareOf(r, f) : -1;
}

int Seconds(const tablemsg::Triple& t) {
    return tripleSeconds(t[0], t[1], t[2]);
}

}  // namespace

int tripleSeconds(std::uint8_t h, std::uint8_t m, std::uint8_t s) {
    return h * 3600 + m * 60 + s;
}

void BotGame::reset(int redSeat, int toMove) {
    running_ = true;
    redSeat_ = redSeat;
    toMove_ = toMove;
    banks_ = {0, 0};
    position_ = Position::Initial();
    moves_.clear();
    captured_.clear();
}

bool BotGame::start(const tablemsg::GameStart& m) {
    const int red = m.redSeat, first = m.firstToMove;
    if (red > 1 || first > 1) return false;
    reset(red, first);
    bankLimit_ = Seconds(m.bankLimit);
    stepAllowance_ = Seconds(m.stepTime);
    return true;
}

bool BotGame::resume(const tablemsg::RunningSnapshot& m) {
    if (m.arrived < tablemsg::RunningSnapshot::kFields) return false;
    const int red = m.redSeat, toMove = m.gameState;
    if (red > 1 || toMove > 1) return false;  // 10 + seat: a record is still on its way
    reset(red, red);
    bankLimit_ = Seconds(m.bankLimit);
    stepAllowance_ = Seconds(m.stepTime);
    // A move cut short is no move.
    for (const QiPuItem& item : m.moves) {
        const int from = squareOfPacked(item.bteFromPos), to = squareOfPacked(item.bteToPos);
        if (from < 0 || to < 0 || position_.at(from) == kNoPiece) {
            running_ = false;
            return false;
        }
        const Move mv{static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to)};
        captured_.push_back(position_.makeMove(mv));
        moves_.push_back(mv);
    }
    toMove_ = toMove;
    // The position's side to move follows the colour of the seat, not the count of moves.
    position_.setSideToMove(sideOf(toMove_));
    banks_ = {Seconds(m.banksUsed[0]), Seconds(m.banksUsed[1])};
    return true;
}

bool BotGame::play(int seat, std::uint8_t fromPacked, std::uint8_t toPacked) {
    const int from = squareOfPacked(fromPacked), to = squareOfPacked(toPacked);
    if (!running_ || seat != toMove_ || from < 0 || to < 0) return false;
    const Piece p = position_.at(from);
    if (p == kNoPiece || SideOf(p) != sideOf(seat)) return false;
    const Move mv{static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to)};
    captured_.push_back(position_.makeMove(mv));
    moves_.push_back(mv);
    toMove_ ^= 1;
    return true;
}

bool BotGame::applyEcho(const tablemsg::MoveEcho& m) {
    const int seat = m.seat;
    if (seat > 1 || !play(seat, m.from, m.to)) return false;
    banks_[static_cast<std::size_t>(seat)] = Seconds(m.bankUsed);
    return true;
}

bool BotGame::undoTwo() {
    if (!running_ || moves_.size() < 2) return false;
    for (int i = 0; i < 2; ++i) {
        position_.unmakeMove(moves_.back(), captured_.back());
        moves_.pop_back();
        captured_.pop_back();
    }
    return true;
}

engine::ClockState BotGame::clockOf(int seat) const {
    return engine::ClockState{bankUsed(seat), bankLimit_, stepAllowance_};
}

int BotGame::bankUsed(int seat) const {
    return seat == 0 || seat == 1 ? banks_[static_cast<std::size_t>(seat)] : 0;
}

}  // namespace xq::server
