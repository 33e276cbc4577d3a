#include "server/bot/bot_game.h"

#include "net/message_codes.h"

namespace xq::server {
namespace {

constexpr qsizetype kStartLength = 19;
constexpr qsizetype kEchoLength = 10;
constexpr qsizetype kSnapshotMoves = 22;

// A packed point of a message as a square, or -1 when it is off the board.
int SquareOfPacked(std::uint8_t packed) {
    const int r = PackedRank(packed), f = PackedFile(packed);
    return OnBoard(r, f) ? SquareOf(r, f) : -1;
}

}  // namespace

int TripleSeconds(std::uint8_t h, std::uint8_t m, std::uint8_t s) {
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

bool BotGame::start(const Cmd& m) {
    if (m.size() != kStartLength || ByteAt(m, 0) != code::kGameStart) return false;
    const int red = ByteAt(m, 11), first = ByteAt(m, 12);
    if (red > 1 || first > 1) return false;
    reset(red, first);
    bankLimit_ = TripleSeconds(ByteAt(m, 13), ByteAt(m, 14), ByteAt(m, 15));
    stepAllowance_ = TripleSeconds(ByteAt(m, 16), ByteAt(m, 17), ByteAt(m, 18));
    return true;
}

bool BotGame::resume(const Cmd& m) {
    if (m.size() < kSnapshotMoves || ByteAt(m, 0) != code::kSnapshot || ByteAt(m, 2) == 0)
        return false;
    const int red = ByteAt(m, 4), toMove = ByteAt(m, 5);
    if (red > 1 || toMove > 1) return false;  // 10 + seat: a record is still on its way
    reset(red, red);
    bankLimit_ = TripleSeconds(ByteAt(m, 6), ByteAt(m, 7), ByteAt(m, 8));
    stepAllowance_ = TripleSeconds(ByteAt(m, 9), ByteAt(m, 10), ByteAt(m, 11));
    for (qsizetype at = kSnapshotMoves; at + 4 <= m.size(); at += 4) {
        const int from = SquareOfPacked(ByteAt(m, at)), to = SquareOfPacked(ByteAt(m, at + 2));
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
    banks_ = {TripleSeconds(ByteAt(m, 16), ByteAt(m, 17), ByteAt(m, 18)),
              TripleSeconds(ByteAt(m, 19), ByteAt(m, 20), ByteAt(m, 21))};
    return true;
}

bool BotGame::play(int seat, std::uint8_t fromPacked, std::uint8_t toPacked) {
    const int from = SquareOfPacked(fromPacked), to = SquareOfPacked(toPacked);
    if (!running_ || seat != toMove_ || from < 0 || to < 0) return false;
    const Piece p = position_.at(from);
    if (p == kNoPiece || SideOf(p) != sideOf(seat)) return false;
    const Move mv{static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to)};
    captured_.push_back(position_.makeMove(mv));
    moves_.push_back(mv);
    toMove_ ^= 1;
    return true;
}

bool BotGame::applyEcho(const Cmd& m) {
    if (m.size() != kEchoLength || ByteAt(m, 0) != code::kMove) return false;
    const int seat = ByteAt(m, 2);
    if (seat > 1 || !play(seat, ByteAt(m, 3), ByteAt(m, 5))) return false;
    banks_[static_cast<std::size_t>(seat)] =
        TripleSeconds(ByteAt(m, 7), ByteAt(m, 8), ByteAt(m, 9));
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
