#include "engine/zobrist.h"

#include <array>

namespace xq::engine {
namespace {

// Piece codes are side * 16 + kind, so 32 slots cover both sides.
struct Keys {
    std::array<std::array<std::uint64_t, kSquares>, 32> piece{};
    std::uint64_t blackToMove = 0;

    Keys() {
        // A fixed seed: keys are the same in every run, so stored hashes stay comparable.
        std::uint64_t state = 0x9E3779B97F4A7C15ULL;
        const auto next = [&state] {
            // splitmix64
            std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
            return z ^ (z >> 31);
        };
        for (auto& squares : piece) {
            for (auto& key : squares)
                key = next();
        }
        blackToMove = next();
    }
};

const Keys& keysInstance() {
    static const Keys keys;
    return keys;
}

}  // namespace

std::uint64_t pieceKey(Piece piece, int square) {
    if (piece == kNoPiece || piece >= 32 || square < 0 || square >= kSquares) return 0;
    return keysInstance().piece[piece][static_cast<std::size_t>(square)];
}

std::uint64_t blackToMoveKey() {
    return keysInstance().blackToMove;
}

std::uint64_t computeKey(const Position& pos) {
    std::uint64_t key = pos.sideToMove() == kBlack ? blackToMoveKey() : 0;
    for (int sq = 0; sq < kSquares; ++sq)
        key ^= pieceKey(pos.at(sq), sq);
    return key;
}

}  // namespace xq::engine
