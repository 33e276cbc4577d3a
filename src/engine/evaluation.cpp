#include "engine/evaluation.h"

#include <algorithm>

#include "engine/search_board.h"

namespace xq::engine {
namespace {

// Every advisor or elephant a side has lost costs more the more attackers the other side keeps.
int shelterPenalty(const SearchBoard& b, int side) {
    const int opp = Opponent(side);
    const int missing = std::max(0, 2 - b.count(makePiece(side, kAdvisor))) +
                        std::max(0, 2 - b.count(makePiece(side, kElephant)));
    const int attackers = 2 * b.count(makePiece(opp, kChariot)) + b.count(makePiece(opp, kHorse)) +
                          b.count(makePiece(opp, kCannon));
    return missing * attackers * 6;
}

bool hasAttackers(const SearchBoard& b, int side) {
    return b.majorPieces(side) + b.count(makePiece(side, kPawn)) > 0;
}

}  // namespace

bool isDeadDrawn(const SearchBoard& b) {
    return !hasAttackers(b, kRed) && !hasAttackers(b, kBlack);
}

int evaluate(const SearchBoard& b) {
    if (isDeadDrawn(b)) return 0;
    const int red = b.balance() - shelterPenalty(b, kRed) + shelterPenalty(b, kBlack);
    return b.sideToMove() == kRed ? red : -red;
}

}  // namespace xq::engine
