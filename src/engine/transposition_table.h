#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "rules/position.h"

namespace xq::engine {

enum class Bound : std::uint8_t { None, Exact, Lower, Upper };

struct TableEntry {
    std::uint64_t key = 0;
    Move move;
    std::int16_t score = 0;
    std::int8_t depth = 0;
    Bound bound = Bound::None;
    std::uint8_t age = 0;
};

// Remembers what earlier searches learned about positions, by hash key. One entry per slot;
// deeper results and results of the current search win a slot. Mate scores are stored relative
// to the position, not to the root, so they stay right wherever the position is met again.
class TranspositionTable {
public:
    explicit TranspositionTable(std::size_t megabytes);

    void clear();
    // A new search: older entries give way first.
    void newSearch() { ++age_; }

    std::optional<TableEntry> probe(std::uint64_t key, int ply) const;
    void store(std::uint64_t key, Move move, int score, int depth, Bound bound, int ply);

    std::size_t slotCount() const { return entries_.size(); }

private:
    std::vector<TableEntry> entries_;
    std::size_t mask_ = 0;
    std::uint8_t age_ = 0;
};

}  // namespace xq::engine
