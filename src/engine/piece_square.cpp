// Placement bonuses, written from red's side of the board: row 0 is black's back rank, row 9
// red's own. Black pieces read the table turned through half a turn. Every row is symmetric
// left to right, so a position and its mirror image score the same.

#include <array>

#include "engine/evaluation.h"
#include "rules/position.h"

namespace xq::engine {
namespace {

using Table = std::array<std::array<short, kFiles>, kRanks>;

// Chariots want open lines into the opponent's half and the ribs of his palace.
constexpr Table kChariotTable = {{
    {14, 14, 12, 18, 16, 18, 12, 14, 14},
    {16, 20, 18, 24, 26, 24, 18, 20, 16},
    {12, 12, 12, 18, 18, 18, 12, 12, 12},
    {12, 18, 16, 22, 22, 22, 16, 18, 12},
    {12, 14, 12, 18, 18, 18, 12, 14, 12},
    {12, 16, 14, 20, 20, 20, 14, 16, 12},
    {6, 10, 8, 14, 14, 14, 8, 10, 6},
    {4, 8, 6, 14, 12, 14, 6, 8, 4},
    {8, 4, 8, 16, 8, 16, 8, 4, 8},
    {-2, 10, 6, 14, 12, 14, 6, 10, -2},
}};

// Horses are weak on the edge and strong near the opponent's palace.
constexpr Table kHorseTable = {{
    {4, 8, 16, 12, 4, 12, 16, 8, 4},
    {4, 10, 28, 16, 8, 16, 28, 10, 4},
    {12, 14, 16, 20, 18, 20, 16, 14, 12},
    {8, 24, 18, 24, 20, 24, 18, 24, 8},
    {6, 16, 14, 18, 16, 18, 14, 16, 6},
    {4, 12, 16, 14, 12, 14, 16, 12, 4},
    {2, 6, 8, 6, 10, 6, 8, 6, 2},
    {4, 2, 8, 8, 4, 8, 8, 2, 4},
    {0, 2, 4, 4, -2, 4, 4, 2, 0},
    {0, -4, 0, 0, 0, 0, 0, -4, 0},
}};

// Cannons like the centre file, where they pin the opponent's king and its defenders.
constexpr Table kCannonTable = {{
    {6, 4, 0, -10, -12, -10, 0, 4, 6},
    {2, 2, 0, -4, -14, -4, 0, 2, 2},
    {2, 2, 0, -10, -8, -10, 0, 2, 2},
    {0, 0, -2, 4, 10, 4, -2, 0, 0},
    {0, 0, 0, 2, 8, 2, 0, 0, 0},
    {-2, 0, 4, 2, 6, 2, 4, 0, -2},
    {0, 0, 0, 2, 6, 2, 0, 0, 0},
    {4, 0, 8, 6, 12, 6, 8, 0, 4},
    {0, 2, 4, 6, 6, 6, 4, 2, 0},
    {0, 0, 2, 6, 6, 6, 2, 0, 0},
}};

// A pawn is worth little until it crosses the river, and most close to the opponent's palace;
// on the last rank it can only walk sideways.
constexpr Table kPawnTable = {{
    {10, 10, 15, 20, 20, 20, 15, 10, 10},
    {70, 90, 110, 130, 140, 130, 110, 90, 70},
    {70, 90, 110, 125, 130, 125, 110, 90, 70},
    {60, 75, 85, 95, 100, 95, 85, 75, 60},
    {50, 60, 70, 80, 80, 80, 70, 60, 50},
    {3, 0, 6, 0, 10, 0, 6, 0, 3},
    {-2, 0, -2, 0, 6, 0, -2, 0, -2},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
}};

// The king is safest at home in the middle of its palace; every step up exposes it.
constexpr Table kKingTable = {{
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, -30, -40, -30, 0, 0, 0},
    {0, 0, 0, -10, -12, -10, 0, 0, 0},
    {0, 0, 0, 2, 8, 2, 0, 0, 0},
}};

// Advisors and elephants guard best from the middle of their area.
constexpr Table kAdvisorTable = {{
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, -4, 0, -4, 0, 0, 0},
    {0, 0, 0, 0, 6, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
}};

constexpr Table kElephantTable = {{
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, -2, 0, 0, 0, -2, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {-4, 0, 0, 0, 6, 0, 0, 0, -4},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0},
}};

constexpr std::array<int, 8> kValues = {0, 950, 420, 430, 0, 200, 200, 100};

const Table* tableOf(int kind) {
    switch (kind) {
        case kChariot:
            return &kChariotTable;
        case kHorse:
            return &kHorseTable;
        case kCannon:
            return &kCannonTable;
        case kKing:
            return &kKingTable;
        case kAdvisor:
            return &kAdvisorTable;
        case kElephant:
            return &kElephantTable;
        case kPawn:
            return &kPawnTable;
        default:
            return nullptr;
    }
}

// All values precomputed per piece code and square.
struct Values {
    std::array<std::array<short, kSquares>, 32> v{};
    Values() {
        for (int side : {kBlack, kRed}) {
            for (int kind = kChariot; kind <= kPawn; ++kind) {
                const Table* t = tableOf(kind);
                for (int sq = 0; sq < kSquares; ++sq) {
                    int r = rankOfSquare(sq), f = fileOfSquare(sq);
                    if (side == kBlack) {
                        r = kRanks - 1 - r;
                        f = kFiles - 1 - f;
                    }
                    v[makePiece(side, kind)][static_cast<std::size_t>(sq)] =
                        static_cast<short>(kValues[static_cast<std::size_t>(kind)] + (*t)[r][f]);
                }
            }
        }
    }
};

const Values& valuesInstance() {
    static const Values values;
    return values;
}

}  // namespace

int kindValue(int kind) {
    return kind >= 0 && kind < 8 ? kValues[static_cast<std::size_t>(kind)] : 0;
}

int pieceSquareValue(Piece piece, int square) {
    if (piece >= 32 || square < 0 || square >= kSquares) return 0;
    return valuesInstance().v[piece][static_cast<std::size_t>(square)];
}

}  // namespace xq::engine
