#include "engine/transposition_table.h"

#include <algorithm>

#include "engine/score.h"

namespace xq::engine {
namespace {

int toStored(int score, int ply) {
    if (score > kMateBound) return score + ply;
    if (score < -kMateBound) return score - ply;
    return score;
}

int fromStored(int score, int ply) {
    if (score > kMateBound) return score - ply;
    if (score < -kMateBound) return score + ply;
    return score;
}

}  // namespace

TranspositionTable::TranspositionTable(std::size_t megabytes) {
    const std::size_t wanted =
        std::max<std::size_t>(1, megabytes) * 1024 * 1024 / sizeof(TableEntry);
    std::size_t slots = 1;
    while (slots * 2 <= wanted)
        slots *= 2;
    entries_.resize(slots);
    mask_ = slots - 1;
}

void TranspositionTable::clear() {
    std::fill(entries_.begin(), entries_.end(), TableEntry{});
}

std::optional<TableEntry> TranspositionTable::probe(std::uint64_t key, int ply) const {
    const TableEntry& e = entries_[key & mask_];
    if (e.bound == Bound::None || e.key != key) return std::nullopt;
    TableEntry found = e;
    found.score = static_cast<std::int16_t>(fromStored(e.score, ply));
    return found;
}

void TranspositionTable::store(std::uint64_t key, Move move, int score, int depth, Bound bound,
                               int ply) {
    TableEntry& e = entries_[key & mask_];
    const bool sameKey = e.key == key && e.bound != Bound::None;
    if (!sameKey && e.bound != Bound::None && e.age == age_ && e.depth > depth) return;
    if (sameKey && e.age == age_ && e.depth > depth + 2 && bound != Bound::Exact) return;
    // Keep a known best move when this result has none.
    if (sameKey && move == Move{}) move = e.move;
    e.key = key;
    e.move = move;
    e.score = static_cast<std::int16_t>(toStored(score, ply));
    e.depth = static_cast<std::int8_t>(std::clamp(depth, -1, 127));
    e.bound = bound;
    e.age = age_;
}

}  // namespace xq::engine
