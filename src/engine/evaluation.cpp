#include "engine/evaluation.h"

#include <algorithm>

#include "engine/search_board.h"

namespace xq::engine {
namespace {

// Every advisor or elephant a side has lost costs more the more attackers the other side keeps.
int ShelterPenalty(const SearchBoard& b, int side) {
    const int opp = Opponent(side);
    const int missing = std::max(0, 2 - b.count(MakePiece(side, kAdvisor))) +
                        std::max(0, 2 - b.count(MakePiece(side, kElephant)));
    const int attackers = 2 * b.count(MakePiece(opp, kChariot)) + b.count(MakePiece(opp, kHorse)) +
                          b.count(MakePiece(opp, kCannon));
    return missing * attackers * 6;
}

bool HasAttackers(const SearchBoard& b, int side) {
    return b.majorPieces(side) + b.count(MakePiece(side, kPawn)) > 0;
}

}  // namespace

bool IsDeadDrawn(const SearchBoard& b) {
    return !HasAttackers(b, kRed) && !HasAttackers(b, kBlack);
}

int Evaluate(const SearchBoard& b) {
    if (IsDeadDrawn(b)) return 0;
    const int red = b.balance() - ShelterPenalty(b, kRed) + ShelterPenalty(b, kBlack);
    return b.sideToMove() == kRed ? red : -red;
}

}  // namespace xq::engine
